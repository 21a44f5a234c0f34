// For any bytes: a number the reader takes is what the C library makes of
// exactly the characters taken, clamped into the normal floats, and the
// character after them, the next one unread, is white space, if any. Input
// it refuses holds no decimal number where the reader looked, or one that
// runs into something else: a NUL there means UTF-16 text. The dialogue
// ends with the error for an unreadable first answer.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "dialogue.h"
#include "fuzz_support.h"
#include "reading_support.h"

namespace {

bool is_c_space(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// How many characters at `text` the C library reads as a number.
std::size_t c_library_length(const char* text) {
  char* end = nullptr;
  static_cast<void>(std::strtod(text, &end));
  return static_cast<std::size_t>(end - text);
}

// Forms the C library reads that are not decimal numbers: hexadecimal,
// infinity and not-a-number.
bool is_other_form(const std::string& text) {
  const std::size_t at = text[0] == '+' || text[0] == '-' ? 1 : 0;
  const char first =
      static_cast<char>(std::tolower(static_cast<unsigned char>(text[at])));
  const char second = at + 1 < text.size() ? text[at + 1] : '\0';
  return first == 'i' || first == 'n' ||
         (first == '0' && (second == 'x' || second == 'X'));
}

void check_number(const std::string& text, std::size_t start,
                  std::size_t rest_size, float value) {
  check(start + rest_size < text.size(), "a number takes characters");
  const std::string taken = text.substr(start, text.size() - rest_size - start);
  check(c_library_length(taken.c_str()) == taken.size(),
        "the C library reads every character taken");
  check(same(value, reference_answer(taken)),
        "the value is the C library's, clamped into normal floats");
  const std::string from_start = text.substr(start);
  check(c_library_length(from_start.c_str()) == taken.size() ||
            is_other_form(from_start),
        "the reader stops where the C library stops");
  check(rest_size == 0 || is_c_space(text[text.size() - rest_size]),
        "a number taken ends at white space or at the end");
}

void check_refusal(const std::string& text, std::size_t start,
                   AnswerStatus status) {
  const std::string from_start = text.substr(start);
  // strtod stops at a NUL as at the end of its string.
  const std::size_t length = c_library_length(from_start.c_str());
  const bool decimal = length > 0 && !is_other_form(from_start);
  if (status == AnswerStatus::utf16_text) {
    check(decimal && length < from_start.size() && from_start[length] == '\0',
          "UTF-16 text is found by a NUL right after a number");
    return;
  }
  // An exponent marker with no digit after it runs on too: "1e" and "1e+"
  // are refused whole.
  const bool runs_on = length < from_start.size() &&
                       !is_c_space(from_start[length]) &&
                       from_start[length] != '\0';
  check(!decimal || runs_on,
        "a refused answer holds no decimal number ended by white space");
}

// A byte-order mark at the start is the dialogue's to handle, not the
// reader's: the reader refuses it, the dialogue may skip it.
void check_dialogue_error(const std::string& text, AnswerStatus status) {
  for (const std::string_view mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
    if (text.compare(0, mark.size(), mark) == 0) {
      return;
    }
  }
  const File in = file_of(text);
  const DialogueRun run = run_dialogue(in.get());
  check(run.status == EXIT_FAILURE &&
            run.err == unreadable_answer_error(status, "How many people?"),
        "an unreadable first answer ends the dialogue with its error");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string rest;
  const AnswerRead answer = read_one(text, &rest);

  std::size_t start = 0;
  while (start < text.size() && is_c_space(text[start])) {
    ++start;
  }
  if (answer.status == AnswerStatus::answered) {
    check_number(text, start, rest.size(), answer.value);
    return 0;
  }
  if (answer.status == AnswerStatus::input_ended) {
    check(start == text.size(), "input ends only after white space alone");
  } else {
    check(start < text.size(), "a refused answer is not blank");
    check_refusal(text, start, answer.status);
  }
  check_dialogue_error(text, answer.status);
  return 0;
}
