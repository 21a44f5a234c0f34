#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "reading_support.h"
#include "water_calculation.h"

namespace {

using std::int64_t;
constexpr int64_t MAX64 = std::numeric_limits<int64_t>::max();
constexpr int64_t MIN64 = std::numeric_limits<int64_t>::min();

TEST(Calculation, TruncationSaturatesAndNarrowingOverflowsToInfinity) {
  const double two63 = std::ldexp(1.0, 63);
  const std::pair<double, int64_t> truncations[] = {
      {std::nan(""), 0},
      {INF, MAX64},
      {-INF, MIN64},
      {two63, MAX64},
      {std::nextafter(two63, 0), 9223372036854774784},
      {-two63, MIN64},
      {std::nextafter(-two63, -INF), MIN64},
      {2.9, 2},
      {-2.9, -2},
      {-0.5, 0}};
  for (const auto& [x, expected] : truncations) {
    EXPECT_EQ(truncate_to_int64(x), expected) << x;
  }
  const double midpoint = 0x1.ffffffp127;  // halfway from FMAX to 2^128
  EXPECT_EQ(narrow_to_float(midpoint), INF);
  EXPECT_EQ(narrow_to_float(std::nextafter(midpoint, 0)), FMAX);
}

}  // namespace
