#include "report.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <system_error>

#include "output.h"

namespace {

constexpr int SIGNIFICANT_DIGITS = 6;

// Enough for "-1.17549e-38", "-9223372036854775808" and any other value.
constexpr std::size_t FORMAT_BUFFER_SIZE = 32;
using FormatBuffer = std::array<char, FORMAT_BUFFER_SIZE>;

// The buffer holds the longest value there is, so to_chars cannot run out
// of room; were it ever to, the value would be lost, and a report that
// leaves one out must not be written at all.
std::string text_of(const FormatBuffer& buffer, std::to_chars_result result) {
  if (result.ec != std::errc{}) {  // GCOVR_EXCL_BR_LINE: cannot happen
    std::abort();                  // GCOVR_EXCL_LINE
  }
  return {buffer.data(), static_cast<const char*>(result.ptr)};
}

void write_entry(std::FILE* out, std::string_view label,
                 const std::string& value, std::string_view unit = {}) {
  write_text(out, label);
  write_text(out, value);
  write_text(out, unit);
  write_line(out);
}

}  // namespace

std::string format_float(float value) {
  const double wide = static_cast<double>(value);
  // A NaN's sign bit means nothing to a reader; "-nan" would only confuse.
  if (std::isnan(wide)) {
    return "nan";
  }
#if WATER_CALCULATOR_FLOAT_TO_CHARS
  FormatBuffer buffer{};
  return text_of(
      buffer, std::to_chars(buffer.data(), buffer.data() + buffer.size(), wide,
                            std::chars_format::general, SIGNIFICANT_DIGITS));
#else
  // Where the library has no floating-point to_chars (emscripten's), the C
  // library's "%g": musl's is exact too and writes what to_chars writes. It
  // would write the locale's decimal separator, but the program never sets
  // a locale. Elsewhere to_chars stays: it ignores the locale whatever the
  // host does, and other C libraries' "%g" differ (msvcrt's writes
  // three-digit exponents). A failed or cut-short "%g" is lost as a failed
  // to_chars is.
  FormatBuffer buffer{};
  const int length = std::snprintf(buffer.data(), buffer.size(), "%.*g",
                                   SIGNIFICANT_DIGITS, wide);
  if (length < 0 || static_cast<std::size_t>(length) >= buffer.size()) {
    std::abort();
  }
  return {buffer.data(), static_cast<std::size_t>(length)};
#endif
}

std::string format_integer(std::int64_t value) {
  FormatBuffer buffer{};
  return text_of(buffer, std::to_chars(buffer.data(),
                                       buffer.data() + buffer.size(), value));
}

void print_report(std::FILE* out, Answers answers, Figures figures) {
  write_entry(out, "Number of people: ", format_float(answers.person_count));
  write_entry(out, "Number of days: ", format_float(answers.day_count));
  write_entry(
      out, "Diameter of resiviour: ", format_float(answers.reservoir_diameter));
  write_line(out);
  write_entry(out,
              "Total gallons needed: ", format_integer(figures.gallons_needed));
  write_entry(out, "Weight of total water: ",
              format_integer(figures.water_weight_pounds), " pounds");
  // Integer division: truncates toward zero, so -8340 pounds are -4 tons.
  write_entry(out, "  or ",
              format_integer(figures.water_weight_pounds /
                             static_cast<std::int64_t>(POUNDS_PER_TON)),
              " tons");
  write_entry(out, "Volume of water: ",
              format_integer(figures.water_volume_cubic_feet), " cubic feet");
  write_entry(out,
              "Volume of ice: ", format_integer(figures.ice_volume_cubic_feet),
              " cubic feet");
  write_entry(out, "Height of water if liquid: ",
              format_float(figures.liquid_height_feet), " feet");
  write_entry(out, "Height of frozen water: ",
              format_float(figures.frozen_height_feet), " feet");
}
