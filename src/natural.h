// Nonnegative integers of any size, the few operations that the reader's
// exact conversion from decimal to binary needs.
#ifndef NATURAL_H
#define NATURAL_H

#include <cstdint>
#include <string_view>
#include <vector>

inline constexpr std::uint32_t DECIMAL_BASE = 10;

// In base 2^32, least significant word first, with no zero word at the
// top: zero has no words.
using Natural = std::vector<std::uint32_t>;

// The integer that decimal `digits` ('0' to '9' only) write.
Natural natural_of_digits(std::string_view digits);

// n = n * factor + addend
void multiply_add(Natural& n, std::uint32_t factor, std::uint32_t addend);

// n = n * 10^exponent, for exponent >= 0
void multiply_by_power_of_ten(Natural& n, std::int64_t exponent);

// The number of bits up to the highest one set, for n > 0.
std::int64_t bit_length(const Natural& n);

// n = n * 2^bits, for bits >= 0
void shift_left(Natural& n, std::int64_t bits);

// -1, 0 or 1 as a is less than, equal to or greater than b.
int compare(const Natural& a, const Natural& b);

// a = a - b, for a >= b
void subtract(Natural& a, const Natural& b);

// For numerator < denominator: the first `count` bits (at most 64) of the
// fraction numerator / denominator, as an integer. The numerator is left
// holding the remainder, below the denominator.
std::uint64_t fraction_bits(Natural& numerator, const Natural& denominator,
                            std::int64_t count);

// Whether a quotient that left `remainder` rounds up to the next integer,
// to nearest: past half the denominator, or at exactly half where the
// quotient is odd (ties to even).
bool rounds_up(Natural remainder, const Natural& denominator,
               bool odd_quotient);

#endif
