// For any bytes: a number the reader takes is what the C library makes of
// exactly the characters taken, clamped into the normal floats, and the
// character after them is the next one unread. Input it refuses holds no
// decimal number where the reader looked, and the dialogue ends with the
// error for an unreadable first answer.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
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
}

void check_refusal(const std::string& text, std::size_t start) {
  const std::string from_start = text.substr(start);
  const std::size_t length = c_library_length(from_start.c_str());
  // Where the C library's number is followed by an exponent marker, and
  // perhaps a sign, with no digit after them, the reader refuses the whole.
  std::size_t after = length;
  const auto next_is_one_of = [&](std::string_view characters) {
    return after < from_start.size() &&
           characters.find(from_start[after]) != std::string_view::npos;
  };
  bool exponent_without_digits = false;
  if (next_is_one_of("eE")) {
    ++after;
    if (next_is_one_of("+-")) {
      ++after;
    }
    exponent_without_digits = !next_is_one_of("0123456789");
  }
  check(length == 0 || is_other_form(from_start) || exponent_without_digits,
        "a refused answer holds no decimal number");
}

// A byte-order mark at the start is the dialogue's to handle, not the
// reader's: the reader refuses it, the dialogue may skip it.
void check_dialogue_error(const std::string& text, ReadStatus status) {
  for (const std::string_view mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
    if (text.compare(0, mark.size(), mark) == 0) {
      return;
    }
  }
  std::istringstream in(text);
  std::ostringstream out;
  std::ostringstream err;
  check(run_calculator(in, out, err) == EXIT_FAILURE &&
            err.str() == unreadable_answer_error(status, "How many people?"),
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
  if (answer.status == ReadStatus::number) {
    check_number(text, start, rest.size(), answer.value);
    return 0;
  }
  if (answer.status == ReadStatus::input_ended) {
    check(start == text.size(), "input ends only after white space alone");
  } else {
    check(start < text.size(), "a refused answer is not blank");
    check_refusal(text, start);
  }
  check_dialogue_error(text, answer.status);
  return 0;
}
