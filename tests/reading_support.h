// What the reader's tests share: one answer read from a text, what the read
// left, and the reading rule as the C library gives it to compare with.
#ifndef READING_SUPPORT_H
#define READING_SUPPORT_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>

#include "number_reader.h"

// Everything still unread in `in`.
inline std::string unread(std::istream& in) {
  return {std::istreambuf_iterator<char>(in.rdbuf()), {}};
}

// Reads one answer from `text`; `rest` gets what is left unread.
inline AnswerRead read_one(const std::string& text,
                           std::string* rest = nullptr) {
  std::istringstream in(text);
  const AnswerRead answer = read_answer(in);
  if (rest != nullptr) {
    *rest = unread(in);
  }
  return answer;
}

// strtod's nearest double, clamped into the normal floats as answers are.
// Expects the C locale, the one a program starts in.
inline float reference_answer(const std::string& text) {
  const double x = std::strtod(text.c_str(), nullptr);
  const auto largest = static_cast<double>(std::numeric_limits<float>::max());
  const auto smallest = static_cast<double>(std::numeric_limits<float>::min());
  const double magnitude =
      std::clamp(std::fabs(x), x == 0.0 ? 0.0 : smallest, largest);
  return static_cast<float>(std::copysign(magnitude, x));
}

// Equal, and with the same sign, so that 0 and -0 differ.
template <typename T>
bool same(T a, T b) {
  return a == b && std::signbit(a) == std::signbit(b);
}

#endif
