#include "general_notation.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "natural.h"

namespace {

constexpr int SIGNIFICAND_BITS = std::numeric_limits<double>::digits;  // 53
// From here on, "%g" writes the exponent form: below 10^-4, and at or
// above 10^precision.
constexpr int LOWEST_FIXED_EXPONENT = -4;
constexpr int EXPONENT_DIGITS = 2;  // at least, as printf writes them
// A quotient below 2^QUOTIENT_BITS: 10^9 for the digits kept, times 10 for
// a first guess of the exponent one too low.
constexpr int QUOTIENT_BITS = 34;

std::uint64_t power_of_ten(int exponent) {
  std::uint64_t power = 1;
  for (int i = 0; i < exponent; ++i) {
    power *= DECIMAL_BASE;
  }
  return power;
}

// numerator / denominator, cut to an integer, and whether the remainder
// rounds it up to nearest, ties to even.
struct Quotient {
  std::uint64_t whole;
  bool rounds_up;
};

// For a quotient below 2^QUOTIENT_BITS, which are the bits of the fraction
// numerator / (denominator x 2^QUOTIENT_BITS).
Quotient divide(Natural numerator, Natural denominator) {
  shift_left(denominator, QUOTIENT_BITS);
  const std::uint64_t whole =
      fraction_bits(numerator, denominator, QUOTIENT_BITS);
  return {whole, rounds_up(numerator, denominator, (whole & 1U) != 0)};
}

// The value's first `digits` significant digits, rounded, as an integer
// of that many digits, with the decimal exponent of the first one:
// magnitude = digits x 10^(exponent - digits + 1). For magnitude > 0.
struct Rounded {
  std::uint64_t digits;
  int exponent;
};

Rounded round_to_digits(double magnitude, int digits) {
  int binary_exponent = 0;
  const double fraction = std::frexp(magnitude, &binary_exponent);
  // magnitude = significand x 2^binary_exponent, exactly.
  const auto significand =
      static_cast<std::uint64_t>(std::ldexp(fraction, SIGNIFICAND_BITS));
  binary_exponent -= SIGNIFICAND_BITS;
  const std::uint64_t lowest = power_of_ten(digits - 1);
  // A first guess, corrected below where the logarithm rounds across a
  // power of ten.
  auto exponent = static_cast<int>(std::floor(std::log10(magnitude)));
  for (;;) {
    const int scale = digits - 1 - exponent;  // digits = magnitude x 10^scale
    Natural numerator = natural_of(significand);
    Natural denominator = natural_of(1);
    shift_left(binary_exponent > 0 ? numerator : denominator,
               std::abs(binary_exponent));
    multiply_by_power_of_ten(scale > 0 ? numerator : denominator,
                             std::abs(scale));
    const Quotient quotient = divide(numerator, denominator);
    // One digit too few means the guess was one too high, one too many one
    // too low (which a log10 rounded as glibc's never gives).
    const int correction =
        static_cast<int>(quotient.whole >= lowest * DECIMAL_BASE) -
        static_cast<int>(quotient.whole < lowest);
    if (correction != 0) {
      exponent += correction;
      continue;
    }
    const std::uint64_t rounded =
        quotient.whole + (quotient.rounds_up ? 1U : 0U);
    if (rounded == lowest * DECIMAL_BASE) {
      return {lowest, exponent + 1};  // up to the next power of ten
    }
    return {rounded, exponent};
  }
}

std::string without_trailing_zeros(std::string fraction) {
  while (!fraction.empty() && fraction.back() == '0') {
    fraction.pop_back();
  }
  return fraction.empty() ? fraction : "." + fraction;
}

std::string exponent_text(int exponent) {
  std::string digits = std::to_string(std::abs(exponent));
  digits.insert(0,
                static_cast<std::size_t>(std::max(
                    0, EXPONENT_DIGITS - static_cast<int>(digits.size()))),
                '0');
  return (exponent < 0 ? "e-" : "e+") + digits;
}

}  // namespace

std::string general_notation(double value, int significant_digits) {
  const std::string sign = std::signbit(value) ? "-" : "";
  if (std::isnan(value)) {
    return sign + "nan";
  }
  if (std::isinf(value)) {
    return sign + "inf";
  }
  if (value == 0.0) {
    return sign + "0";
  }
  const Rounded rounded = round_to_digits(std::fabs(value), significant_digits);
  const std::string digits = std::to_string(rounded.digits);
  const int exponent = rounded.exponent;
  if (exponent < LOWEST_FIXED_EXPONENT || exponent >= significant_digits) {
    return sign + digits.substr(0, 1) +
           without_trailing_zeros(digits.substr(1)) + exponent_text(exponent);
  }
  if (exponent < 0) {
    const std::string zeros(static_cast<std::size_t>(-exponent - 1), '0');
    return sign + "0" + without_trailing_zeros(zeros + digits);
  }
  const auto whole = static_cast<std::size_t>(exponent) + 1;
  return sign + digits.substr(0, whole) +
         without_trailing_zeros(digits.substr(whole));
}
