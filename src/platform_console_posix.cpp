// The console on POSIX systems: a terminal or not, never a window of the
// program's own.
#include <unistd.h>

#include "platform_console.h"

std::FILE* open_console_of_its_own() { return nullptr; }

bool standard_input_is_terminal() { return isatty(STDIN_FILENO) != 0; }
