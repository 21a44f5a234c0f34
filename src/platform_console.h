// What the platform tells of the console the program runs in.
#ifndef PLATFORM_CONSOLE_H
#define PLATFORM_CONSOLE_H

#include <cstdio>

// The console's input opened afresh where standard input is a console that
// no other process shares: a window of the program's own. Whatever was
// typed ahead and not yet read is discarded first, so that an Enter
// pressed a moment after the last answer cannot close the window before
// the report is read. Elsewhere, and on every other platform, nothing
// (nullptr). The caller closes what it gets.
std::FILE* open_console_of_its_own();

// Whether standard input is a terminal, where a person waits and reads.
bool standard_input_is_terminal();

#endif
