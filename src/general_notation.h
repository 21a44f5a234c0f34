// A double in the general notation of printf's "%g", worked out exactly
// with integers: for standard libraries without a floating-point to_chars
// (libc++ before 14, older Apple systems, emscripten's), and the same in
// every locale.
#ifndef GENERAL_NOTATION_H
#define GENERAL_NOTATION_H

#include <string>

// `significant_digits` from 1 to 9. Rounded to nearest, ties to even, on
// the double's exact value, as printf rounds. Infinities are "inf" and
// "-inf", not-a-number "nan" or "-nan".
std::string general_notation(double value, int significant_digits);

#endif
