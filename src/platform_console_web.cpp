// The console in a browser page or under node, as web/stdio.js gives it:
// never a window of the program's own.
#include "platform_console.h"

// Defined in web/stdio.js: a page's console has a person at it; under
// node, standard input may be a terminal or a file.
extern "C" int water_calculator_input_is_terminal();

std::FILE* open_console_of_its_own() { return nullptr; }

bool standard_input_is_terminal() {
  return water_calculator_input_is_terminal() != 0;
}
