// Writes tests/float_formats.txt, which the report's test reads on every
// platform: floats of every kind, each as its bits and the C library's
// "%g" of it, a NaN as "nan" whatever its sign. Run it natively, with glibc:
// c++ -std=c++17 tests/float_formats.cpp -o ff && ./ff >tests/float_formats.txt
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

namespace {

void write_row(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  if (std::isnan(value)) {
    std::printf("%08x nan\n", bits);
  } else {
    std::printf("%08x %g\n", bits, static_cast<double>(value));
  }
}

}  // namespace

int main() {
  // Random bit patterns: every sign, exponent and kind of float.
  std::mt19937 random(2026);
  for (int i = 0; i < 3000; ++i) {
    const auto bits = static_cast<std::uint32_t>(random());
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    write_row(value);
  }
  // Next to each power of ten, where rounding carries into a new digit.
  constexpr float FMAX = std::numeric_limits<float>::max();
  for (int exponent = -45; exponent <= 38; ++exponent) {
    const float power = std::pow(10.0F, static_cast<float>(exponent));
    for (const float value :
         {std::nextafter(power, 0.0F), power, std::nextafter(power, FMAX),
          power * 0.9999995F, -power * 9.999995F}) {
      write_row(value);
    }
  }
}
