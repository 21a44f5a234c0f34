// What both fuzz targets share: a failed property stops the run with the
// input's finding, under libFuzzer and under the replay driver alike; and
// the error line a dialogue ends with when a question gets no number.
// UTF-16 text is refused with one line, whichever question found it.
#ifndef FUZZ_SUPPORT_H
#define FUZZ_SUPPORT_H

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "number_reader.h"

inline void check(bool holds, const char* property) {
  if (!holds) {
    std::fprintf(stderr, "property failed: %s\n", property);
    std::abort();
  }
}

inline std::string unreadable_answer_error(AnswerStatus status,
                                           std::string_view question) {
  if (status == AnswerStatus::utf16_text) {
    return "error: standard input is UTF-16 text; save the answers as UTF-8 "
           "or ANSI text\n";
  }
  const std::string quoted = "\"" + std::string(question) + "\"";
  return status == AnswerStatus::input_ended
             ? "error: input ended before the answer to " + quoted + "\n"
             : "error: the answer to " + quoted + " is not a number\n";
}

#endif
