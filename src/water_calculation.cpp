#include "water_calculation.h"

#include <cfloat>
#include <cmath>
#include <initializer_list>
#include <limits>

// Each operation must round to double, not to a wider register format, or
// the truncated figures can differ. On 32-bit x86, build with SSE2
// arithmetic (-msse2 -mfpmath=sse).
static_assert(FLT_EVAL_METHOD == 0,
              "floating-point must evaluate in its own type");

namespace {

// 2^63, the first double past the largest 64-bit integer.
constexpr double INT64_LIMIT = 9223372036854775808.0;

// Halfway between the largest float and 2^128: from here on, rounding to
// nearest (ties to even) gives an infinity.
constexpr double FLOAT_OVERFLOW_THRESHOLD = 0x1.ffffffp127;

double widen(float x) { return static_cast<double>(x); }

// A narrowing conversion in general, past 2^53, but exact for every figure
// in range: each came from truncating a double, so it is a double's value
// already. Only a figure saturated at the 64-bit maximum rounds, to 2^63,
// and such a figure is never reported.
double figure_as_double(std::int64_t x) { return static_cast<double>(x); }

// Not-a-number is not in range either.
bool fits_in_int64(double x) { return x >= -INT64_LIMIT && x < INT64_LIMIT; }

}  // namespace

std::int64_t truncate_to_int64(double x) {
  if (std::isnan(x)) {
    return 0;
  }
  if (x >= INT64_LIMIT) {
    return std::numeric_limits<std::int64_t>::max();
  }
  if (x < -INT64_LIMIT) {
    return std::numeric_limits<std::int64_t>::min();
  }
  return static_cast<std::int64_t>(x);  // truncates toward zero
}

float narrow_to_float(double x) {
  if (x >= FLOAT_OVERFLOW_THRESHOLD) {
    return std::numeric_limits<float>::infinity();
  }
  if (x <= -FLOAT_OVERFLOW_THRESHOLD) {
    return -std::numeric_limits<float>::infinity();
  }
  return static_cast<float>(x);
}

// Each step reads the stored (narrowed or truncated) result of the one
// before, never an unrounded intermediate. The gallons are exact in any
// order (two floats of 24 bits and 50 multiply within the 53 of a double),
// but the floor area is not: the radius times pi is rounded before the
// second radius, and that order decides the depths' last bits.
std::optional<Figures> compute_figures(Answers answers) {
  Figures figures{};
  figures.reservoir_radius = narrow_to_float(widen(answers.reservoir_diameter) /
                                             widen(RADIUS_DIVISOR));
  const double gallons =
      (widen(answers.day_count) * widen(answers.person_count)) *
      widen(GALLONS_PER_PERSON_DAY);
  figures.gallons_needed = truncate_to_int64(gallons);
  const double pounds =
      figure_as_double(figures.gallons_needed) * POUNDS_PER_GALLON;
  figures.water_weight_pounds = truncate_to_int64(pounds);
  const double water =
      figure_as_double(figures.gallons_needed) / GALLONS_PER_CUBIC_FOOT;
  figures.water_volume_cubic_feet = truncate_to_int64(water);
  const double ice =
      figure_as_double(figures.water_volume_cubic_feet) * ICE_VOLUME_FACTOR;
  figures.ice_volume_cubic_feet = truncate_to_int64(ice);
  // A figure stopped at a 64-bit limit would look right and be wrong.
  for (const double whole : {gallons, pounds, water, ice}) {
    if (!fits_in_int64(whole)) {
      return std::nullopt;
    }
  }

  const double radius = widen(figures.reservoir_radius);
  const double cross_section = (radius * PI_VALUE) * radius;
  figures.liquid_height_feet = narrow_to_float(
      figure_as_double(figures.water_volume_cubic_feet) / cross_section);
  figures.frozen_height_feet = narrow_to_float(
      figure_as_double(figures.ice_volume_cubic_feet) / cross_section);
  return figures;
}
