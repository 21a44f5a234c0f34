#include "natural.h"

#include <cstddef>
#include <limits>

namespace {

constexpr int WORD_BITS = 32;
constexpr int CHUNK_DIGITS = 9;  // 10^9 is the largest power in a word
constexpr std::uint32_t CHUNK_BASE = 1'000'000'000;

std::uint32_t low_word(std::uint64_t x) {
  return static_cast<std::uint32_t>(x &
                                    std::numeric_limits<std::uint32_t>::max());
}

}  // namespace

void multiply_add(Natural& n, std::uint32_t factor, std::uint32_t addend) {
  std::uint64_t carry = addend;
  for (std::uint32_t& word : n) {
    const std::uint64_t product = std::uint64_t{word} * factor + carry;
    word = low_word(product);
    carry = product >> WORD_BITS;
  }
  if (carry != 0) {
    n.push_back(low_word(carry));
  }
}

// Nine digits at a time, each chunk one pass over the words.
Natural natural_of_digits(std::string_view digits) {
  Natural n;
  for (std::size_t at = 0; at < digits.size(); at += CHUNK_DIGITS) {
    std::uint32_t chunk = 0;
    std::uint32_t scale = 1;
    for (const char digit : digits.substr(at, CHUNK_DIGITS)) {
      chunk = chunk * DECIMAL_BASE + static_cast<std::uint32_t>(digit - '0');
      scale *= DECIMAL_BASE;
    }
    multiply_add(n, scale, chunk);
  }
  return n;
}

void multiply_by_power_of_ten(Natural& n, std::int64_t exponent) {
  for (; exponent >= CHUNK_DIGITS; exponent -= CHUNK_DIGITS) {
    multiply_add(n, CHUNK_BASE, 0);
  }
  for (; exponent > 0; --exponent) {
    multiply_add(n, DECIMAL_BASE, 0);
  }
}

std::int64_t bit_length(const Natural& n) {
  std::int64_t length = static_cast<std::int64_t>(n.size() - 1) * WORD_BITS;
  for (std::uint32_t top = n.back(); top != 0; top >>= 1U) {
    ++length;
  }
  return length;
}

void shift_left(Natural& n, std::int64_t bits) {
  const auto whole_words = static_cast<std::size_t>(bits / WORD_BITS);
  const auto rest = static_cast<unsigned>(bits % WORD_BITS);
  if (rest != 0) {
    std::uint32_t carry = 0;
    for (std::uint32_t& word : n) {
      const std::uint32_t shifted_out = word >> (WORD_BITS - rest);
      word = (word << rest) | carry;
      carry = shifted_out;
    }
    if (carry != 0) {
      n.push_back(carry);
    }
  }
  if (!n.empty()) {
    n.insert(n.begin(), whole_words, 0);
  }
}

int compare(const Natural& a, const Natural& b) {
  if (a.size() != b.size()) {
    return a.size() < b.size() ? -1 : 1;
  }
  for (std::size_t i = a.size(); i-- > 0;) {
    if (a[i] != b[i]) {
      return a[i] < b[i] ? -1 : 1;
    }
  }
  return 0;
}

void subtract(Natural& a, const Natural& b) {
  std::uint32_t borrow = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::uint64_t taken = std::uint64_t{i < b.size() ? b[i] : 0} + borrow;
    borrow = std::uint64_t{a[i]} < taken ? 1 : 0;
    a[i] = low_word(std::uint64_t{a[i]} - taken);
  }
  while (!a.empty() && a.back() == 0) {
    a.pop_back();
  }
}

std::uint64_t fraction_bits(Natural& numerator, const Natural& denominator,
                            std::int64_t count) {
  std::uint64_t bits = 0;
  for (std::int64_t i = 0; i < count; ++i) {
    shift_left(numerator, 1);
    bits <<= 1U;
    if (compare(numerator, denominator) >= 0) {
      subtract(numerator, denominator);
      bits |= 1U;
    }
  }
  return bits;
}

bool rounds_up(Natural remainder, const Natural& denominator,
               bool odd_quotient) {
  shift_left(remainder, 1);
  const int half = compare(remainder, denominator);
  return half > 0 || (half == 0 && odd_quotient);
}
