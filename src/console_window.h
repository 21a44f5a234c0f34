// A console window of the program's own, as Windows opens for a program
// started from Explorer: it closes as the program ends, taking whatever
// the program last wrote with it.
#ifndef CONSOLE_WINDOW_H
#define CONSOLE_WINDOW_H

#include <fstream>
#include <iosfwd>

// The console's input opened afresh where standard input is a console that
// no other process shares: a window of the program's own. Elsewhere, and on
// every other platform, the stream is closed.
std::ifstream open_console_of_its_own();

// Ends a run that gave `status`. In a console window of its own, which
// closes as the program ends, the report or the error is kept on screen:
// the rest of the line that held the last answer read is discarded from
// `in`, then Enter is waited for on `console`, the same console read
// afresh, since on Windows input that a Ctrl-Z ended stays ended on `in`.
// Elsewhere a run that reported waits for its closing entry on `in`, and
// a failed one ends at once. Returns `status`.
int finish_run(int status, bool window_of_its_own, std::istream& in,
               std::ostream& out, std::istream& console, std::ostream& err);

#endif
