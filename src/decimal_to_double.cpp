#include "decimal_to_double.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "natural.h"

namespace {

// Beyond these powers of ten every number overflows or underflows anyway;
// clamping keeps the integers below short.
constexpr std::int64_t POINT_LIMIT = 400;

constexpr int SIGNIFICAND_BITS = std::numeric_limits<double>::digits;  // 53
constexpr std::int64_t MAX_EXPONENT =
    std::numeric_limits<double>::max_exponent - 1;
// The weight of the last bit of the smallest subnormal, 2^-1074.
constexpr std::int64_t MIN_LAST_BIT =
    std::numeric_limits<double>::min_exponent - SIGNIFICAND_BITS;

// The double nearest to numerator / denominator, both positive: the
// quotient's bits are worked out one at a time, as many as the double
// holds, and the remainder decides the rounding.
double nearest_double(Natural numerator, Natural denominator) {
  // Scaled by a power of two so that 1/2 <= numerator / denominator < 1:
  // the quotient is then that times 2^(exponent + 1).
  std::int64_t exponent = bit_length(numerator) - bit_length(denominator);
  if (exponent > 0) {
    shift_left(denominator, exponent);
  } else {
    shift_left(numerator, -exponent);
  }
  if (compare(numerator, denominator) < 0) {
    --exponent;
  } else {
    shift_left(denominator, 1);
  }
  if (exponent > MAX_EXPONENT) {
    return std::numeric_limits<double>::infinity();
  }
  // The weight of the last bit a double keeps here: a normal one keeps 53
  // bits, a subnormal fewer, one below half the smallest none.
  const std::int64_t last_bit =
      std::max(exponent - (SIGNIFICAND_BITS - 1), MIN_LAST_BIT);
  const std::int64_t kept_bits = exponent - last_bit + 1;
  if (kept_bits < 0) {
    return 0.0;
  }
  std::uint64_t significand = fraction_bits(numerator, denominator, kept_bits);
  // What is left is below one unit of the last bit: more than half of it
  // rounds up, exactly half rounds to even.
  if (rounds_up(numerator, denominator, (significand & 1U) != 0)) {
    ++significand;
  }
  // Exact: at most 2^53, scaled by a power of two the double range holds,
  // or an infinity where rounding up passed the largest double.
  return std::ldexp(static_cast<double>(significand),
                    static_cast<int>(last_bit));
}

}  // namespace

double to_double(const DecimalNumber& number) {
  const double sign = number.negative ? -1.0 : 1.0;
  if (number.digits.empty()) {
    return sign * 0.0;
  }
  // A trailing 1 stands for the dropped digits: it lies strictly between
  // the same two halfway points as they do, so the rounding is unchanged.
  const std::string digits =
      number.digits + (number.dropped_nonzero ? "1" : "");
  // value = DIGITS x 10^exponent, as a quotient of two integers.
  const std::int64_t exponent =
      std::clamp(number.point, -POINT_LIMIT, POINT_LIMIT) -
      static_cast<std::int64_t>(digits.size());
  Natural numerator = natural_of_digits(digits);
  Natural denominator{1};
  multiply_by_power_of_ten(exponent > 0 ? numerator : denominator,
                           exponent > 0 ? exponent : -exponent);
  return sign * nearest_double(numerator, denominator);
}
