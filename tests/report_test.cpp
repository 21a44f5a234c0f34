#include "report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <random>
#include <string>

namespace {

constexpr std::int64_t MIN64 = std::numeric_limits<std::int64_t>::min();

TEST(Report, FormatsMatchTheCLibrary) {
  // Where the output is ours to choose rather than printf's.
  EXPECT_EQ(format_float(std::copysign(NAN, -1.0F)), "nan");
  EXPECT_EQ(format_float(1e6F), "1e+06");
  EXPECT_EQ(format_integer(MIN64), "-9223372036854775808");
  if (!WATER_CALCULATOR_FLOAT_TO_CHARS) {
    GTEST_SKIP() << "the report writes floats with printf itself here";
  }
  char expected[32];
  const auto printf_g = [&](double value) {
    std::snprintf(expected, sizeof expected, "%g", value);
    return std::string(expected);
  };
  // Every kind of float, by random bit patterns, against printf itself.
  std::mt19937 random(1);
  for (int i = 0; i < 2'000'000; ++i) {
    const auto bits = static_cast<std::uint32_t>(random());
    float value;
    std::memcpy(&value, &bits, sizeof value);
    const auto wide = static_cast<double>(value);
    ASSERT_EQ(format_float(value), std::isnan(value) ? "nan" : printf_g(wide))
        << bits;
  }
}

// Floats of every kind, those next to each power of ten among them, as
// glibc's printf writes them (tests/float_formats.cpp): the same texts
// wherever the report runs, and however it writes them.
TEST(Report, FormatsMatchATableWrittenNatively) {
  std::ifstream table(WATER_CALCULATOR_FLOAT_FORMATS);
  ASSERT_TRUE(table.is_open()) << WATER_CALCULATOR_FLOAT_FORMATS;
  int rows = 0;
  for (std::string bits_text, expected; table >> bits_text >> expected;
       ++rows) {
    const auto bits =
        static_cast<std::uint32_t>(std::stoul(bits_text, nullptr, 16));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    ASSERT_EQ(format_float(value), expected) << bits_text;
  }
  EXPECT_GT(rows, 3000);
}

}  // namespace
