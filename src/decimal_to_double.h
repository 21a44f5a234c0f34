// A decimal number as the reader scanned it, and the double nearest to it,
// worked out exactly with integers: the same double from every compiler,
// standard library and locale.
#ifndef DECIMAL_TO_DOUBLE_H
#define DECIMAL_TO_DOUBLE_H

#include <cstddef>
#include <cstdint>
#include <string>

// Past this many significant digits the rest of a number can only tip its
// rounding by being nonzero: a double's halfway points need at most 768.
inline constexpr std::size_t KEPT_DIGITS = 800;

// value = 0.DIGITS x 10^point, with DIGITS free of leading zeros; no
// digits at all is a zero.
struct DecimalNumber {
  bool negative = false;
  std::string digits;  // at most KEPT_DIGITS
  std::int64_t point = 0;
  bool dropped_nonzero = false;  // a nonzero digit past KEPT_DIGITS
};

// Correctly rounded, ties to even: beyond the double range an infinity,
// below half the smallest subnormal a zero, each with the number's sign.
double to_double(const DecimalNumber& number);

#endif
