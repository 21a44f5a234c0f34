// The report: the answers as understood, then the figures with their units.
#ifndef REPORT_H
#define REPORT_H

#include <cstdint>
#include <cstdio>
#include <string>

#include "water_calculation.h"

inline constexpr std::int32_t POUNDS_PER_TON = 2000;

// A float in the "%g" form at 6 significant digits, as the C locale writes
// it whatever the process locale is. Not-a-number is always "nan".
std::string format_float(float value);

// Plain decimal digits with a leading minus when negative; no grouping.
std::string format_integer(std::int64_t value);

void print_report(std::FILE* out, Answers answers, Figures figures);

#endif
