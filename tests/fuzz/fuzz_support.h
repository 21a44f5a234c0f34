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

#include "dialogue.h"

inline void check(bool holds, const char* property) {
  if (!holds) {
    std::fprintf(stderr, "property failed: %s\n", property);
    std::abort();
  }
}

// The error line, as the dialogue words it.
inline std::string unreadable_answer_error(AnswerStatus status,
                                           std::string_view question) {
  return "error: " + describe_failure({status, question, {}, {}}) + "\n";
}

#endif
