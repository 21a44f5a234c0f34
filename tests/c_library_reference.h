// The reading rule as the C library gives it, for tests to compare with:
// strtod's nearest double, then clamped into the normal floats.
#ifndef C_LIBRARY_REFERENCE_H
#define C_LIBRARY_REFERENCE_H

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

inline float clamped_to_normal_floats(double x) {
  constexpr auto largest =
      static_cast<double>(std::numeric_limits<float>::max());
  constexpr auto smallest =
      static_cast<double>(std::numeric_limits<float>::min());
  if (std::fabs(x) > largest) {
    return static_cast<float>(std::copysign(largest, x));
  }
  if (x != 0.0 && std::fabs(x) < smallest) {
    return static_cast<float>(std::copysign(smallest, x));
  }
  return static_cast<float>(x);
}

// Expects the C locale, the one a program starts in.
inline float reference_answer(const std::string& text) {
  return clamped_to_normal_floats(std::strtod(text.c_str(), nullptr));
}

// Equal, and with the same sign, so that 0 and -0 differ.
inline bool same(float a, float b) {
  return a == b && std::signbit(a) == std::signbit(b);
}

#endif
