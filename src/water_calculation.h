// The water calculation: the user's answers in, the report's figures out.
#ifndef WATER_CALCULATION_H
#define WATER_CALCULATION_H

#include <cstdint>
#include <optional>

// The three answers, in the order they are asked.
struct Answers {
  float person_count;
  float day_count;
  float reservoir_diameter;  // feet
};

// What the calculation works out from the answers: the report prints every
// figure but the radius, and the tons from the pounds. The integer figures
// are 64-bit so that large towns and long periods are counted, not
// wrapped; answers that would take one beyond 64 bits get no figures.
struct Figures {
  float reservoir_radius;  // feet
  std::int64_t gallons_needed;
  std::int64_t water_weight_pounds;
  std::int64_t water_volume_cubic_feet;
  std::int64_t ice_volume_cubic_feet;
  float liquid_height_feet;
  float frozen_height_feet;
};

inline constexpr float RADIUS_DIVISOR = 2.0F;
inline constexpr float GALLONS_PER_PERSON_DAY = 50.0F;
inline constexpr double POUNDS_PER_GALLON = 8.34;
inline constexpr double GALLONS_PER_CUBIC_FOOT = 7.48;
inline constexpr double ICE_VOLUME_FACTOR = 1.095;  // ice per unit of water
inline constexpr double PI_VALUE = 3.14159;

// Truncates toward zero, for every double: saturates at the 64-bit limits
// and maps not-a-number to 0, where a plain conversion is undefined.
std::int64_t truncate_to_int64(double x);

// Rounds to the nearest float as the hardware does, giving an infinity
// beyond the float range instead of leaving the conversion undefined.
float narrow_to_float(double x);

// Pure: every input, zero, negative, huge or tiny, gives figures, unless a
// whole-number figure (gallons, pounds, cubic feet of water or of ice)
// would leave the 64-bit range, where any figure held would be wrong.
std::optional<Figures> compute_figures(Answers answers);

#endif
