// How a run ends once its report or its error is written: it waits, where
// a person may still be reading, then gives its exit status.
#ifndef RUN_ENDING_H
#define RUN_ENDING_H

#include <iosfwd>

// Where the run's text is being read.
struct Console {
  bool window_of_its_own;  // a Windows window that closes as the run ends
  bool terminal;           // standard input is a terminal
};

// Waits for one more entry: an integer is taken whole; anything else not
// blank ends the wait and is left unread. Returns at once where `in` has
// failed or ended.
void wait_for_closing_entry(std::istream& in, std::ostream& out);

// Ends a run that gave `status` and returns it. In a console window of its
// own every run keeps its report or its error on screen: the rest of the
// line that held the last answer read is discarded from `in`, then Enter
// is waited for on `console`, the same console read afresh, since on
// Windows input that a Ctrl-Z ended stays ended on `in`. Elsewhere a run
// that reported waits for its closing entry on `in`, saying so on `err`
// where a person at a terminal would otherwise think it hangs, and a
// failed run ends at once.
int finish_run(int status, Console where, std::istream& in, std::ostream& out,
               std::ostream& err, std::istream& console);

#endif
