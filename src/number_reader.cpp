#include "number_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

namespace {

constexpr int END = EOF;
constexpr std::int64_t DECIMAL_BASE = 10;

// Past this many significant digits the rest of a number can only tip its
// rounding by being nonzero: a double's halfway points need at most 768.
constexpr std::size_t KEPT_DIGITS = 800;

// Capping the exponent keeps its arithmetic from wrapping. A capped
// exponent still puts the number far beyond the double range, unless the
// number has some 10^17 digits (a hundred petabytes of input) to bring it
// back: the reader streams in fixed memory, so only time limits the length.
constexpr std::int64_t EXPONENT_CAP = 100'000'000'000'000'000;

// Beyond these powers of ten every number overflows or underflows anyway;
// clamping keeps the exponent handed on short.
constexpr std::int64_t POINT_LIMIT = 400;

// value = 0.DIGITS x 10^point, with DIGITS free of leading zeros; no
// digits at all is a zero.
struct DecimalNumber {
  bool negative = false;
  std::string digits;  // at most KEPT_DIGITS
  std::int64_t point = 0;
  bool dropped_nonzero = false;  // a nonzero digit past KEPT_DIGITS
};

// The C locale's white space, fixed here so the process locale cannot
// change it. A carriage return counts, so CRLF files read as they should.
bool is_white_space(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' ||
         c == '\f';
}

bool is_digit(int c) { return c >= '0' && c <= '9'; }

// The next byte, left unread; END where the input has ended or failed.
// An end stays an end even where a C library would read a terminal again
// (glibc did before 2.28): what a console gives after Ctrl-Z or Ctrl-D is
// not the answers' input.
int peek(std::FILE* in) {
  if (std::feof(in) != 0 || std::ferror(in) != 0) {
    return END;
  }
  const int c = std::getc(in);
  if (c != END) {
    std::ungetc(c, in);
  }
  return c;
}

// Takes the byte peeked at, and peeks at the one after it.
int advance(std::FILE* in) {
  std::getc(in);
  return peek(in);
}

// Returns the first byte that is not white space, still unread.
int skip_white_space(std::FILE* in) {
  int c = peek(in);
  while (is_white_space(c)) {
    c = advance(in);
  }
  return c;
}

void take_digit(DecimalNumber& number, int c, bool after_point) {
  if (number.digits.empty() && c == '0') {
    if (after_point) {
      --number.point;
    }
    return;
  }
  if (!after_point) {
    ++number.point;
  }
  if (number.digits.size() < KEPT_DIGITS) {
    number.digits.push_back(static_cast<char>(c));
  } else if (c != '0') {
    number.dropped_nonzero = true;
  }
}

// Reads an optional sign, digits with at most one point, and an optional
// exponent, leaving the character after them unread. Gives nothing when
// the mantissa or the exponent has no digit.
std::optional<DecimalNumber> scan_number(std::FILE* in) {
  DecimalNumber number;
  int c = peek(in);
  if (c == '+' || c == '-') {
    number.negative = c == '-';
    c = advance(in);
  }
  bool has_digit = false;
  for (bool after_point = false;; c = advance(in)) {
    if (is_digit(c)) {
      has_digit = true;
      take_digit(number, c, after_point);
    } else if (c == '.' && !after_point) {
      after_point = true;
    } else {
      break;
    }
  }
  if (!has_digit) {
    return std::nullopt;
  }
  if (c == 'e' || c == 'E') {
    c = advance(in);
    const bool negative_exponent = c == '-';
    if (c == '+' || c == '-') {
      c = advance(in);
    }
    if (!is_digit(c)) {
      return std::nullopt;
    }
    std::int64_t exponent = 0;
    for (; is_digit(c); c = advance(in)) {
      exponent = std::min(exponent * DECIMAL_BASE + (c - '0'), EXPONENT_CAP);
    }
    number.point += negative_exponent ? -exponent : exponent;
  }
  return number;
}

// The C library's strtod rounds correctly, ties to even, on every platform
// built for. It is handed a whole number with an exponent, which has no
// decimal point for a locale to change, and where digits were dropped a
// trailing 1 stands for them: it lies strictly between the same two
// halfway points as they do, so the rounding is unchanged.
double to_double(const DecimalNumber& number) {
  if (number.digits.empty()) {
    return number.negative ? -0.0 : 0.0;
  }
  std::string text = (number.negative ? "-" : "") + number.digits;
  std::int64_t exponent = std::clamp(number.point, -POINT_LIMIT, POINT_LIMIT) -
                          static_cast<std::int64_t>(number.digits.size());
  if (number.dropped_nonzero) {
    text += '1';
    --exponent;
  }
  text += 'e' + std::to_string(exponent);
  return std::strtod(text.c_str(), nullptr);
}

// Keeps answers inside the normal float range: the largest float for
// anything above it, the smallest normal float for anything below it but
// above zero, and the same on the negative side.
float clamp_to_float(double x) {
  constexpr float largest = std::numeric_limits<float>::max();
  constexpr float smallest = std::numeric_limits<float>::min();
  if (x > static_cast<double>(largest)) {
    return largest;
  }
  if (x < -static_cast<double>(largest)) {
    return -largest;
  }
  if (x > 0.0 && x < static_cast<double>(smallest)) {
    return smallest;
  }
  if (x < 0.0 && x > -static_cast<double>(smallest)) {
    return -smallest;
  }
  return static_cast<float>(x);
}

AnswerStatus status_after_number(int c) {
  if (c == END || is_white_space(c)) {
    return AnswerStatus::answered;
  }
  return c == '\0' ? AnswerStatus::utf16_text : AnswerStatus::not_a_number;
}

}  // namespace

AnswerRead read_answer(std::FILE* in) {
  if (skip_white_space(in) == END) {
    return {AnswerStatus::input_ended, 0.0F};
  }
  const std::optional<DecimalNumber> number = scan_number(in);
  if (!number) {
    return {AnswerStatus::not_a_number, 0.0F};
  }
  // An answer ends where its number ends: a decimal comma or a unit
  // written against it must not leave a shorter number silently taken.
  const AnswerStatus status = status_after_number(peek(in));
  if (status != AnswerStatus::answered) {
    return {status, 0.0F};
  }
  return {status, clamp_to_float(to_double(*number))};
}

// Notepad and PowerShell begin a UTF-8 file with a byte-order mark, which
// is skipped so that their answer files read like any others. A UTF-16
// mark means text that cannot be read as numbers at all. A mark left
// unfinished is not a number either; any other start is left to the reader.
std::optional<AnswerStatus> refuse_byte_order_mark(std::FILE* in) {
  constexpr int UTF8_MARK[] = {0xEF, 0xBB, 0xBF};
  constexpr int UTF16_MARK[] = {0xFF, 0xFE};  // either way round
  const int first = peek(in);
  if (first == UTF8_MARK[0]) {
    const bool whole =
        advance(in) == UTF8_MARK[1] && advance(in) == UTF8_MARK[2];
    if (!whole) {
      return AnswerStatus::not_a_number;
    }
    std::getc(in);
  } else if (first == UTF16_MARK[0] || first == UTF16_MARK[1]) {
    const int second = advance(in);
    const bool marked =
        first != second && (second == UTF16_MARK[0] || second == UTF16_MARK[1]);
    return marked ? AnswerStatus::utf16_text : AnswerStatus::not_a_number;
  }
  return std::nullopt;
}

void discard_entry(std::FILE* in) {
  int c = skip_white_space(in);
  if (c == '+' || c == '-') {
    c = advance(in);
  }
  while (is_digit(c)) {
    c = advance(in);
  }
}

void discard_line(std::FILE* in) {
  int c = peek(in);
  while (c != END && c != '\n') {
    c = advance(in);
  }
  if (c == '\n') {
    std::getc(in);
  }
}
