// How a run ends once its report or its error is written: it waits, where
// a person may still be reading.
#ifndef RUN_ENDING_H
#define RUN_ENDING_H

#include <cstdio>

// After a report: waits for one more entry on `in`, and at a terminal says
// so on `err`. An integer is taken whole; anything else not blank ends the
// wait and is left unread.
void wait_for_closing_entry(std::FILE* in, std::FILE* err, bool at_terminal);

// Drops the rest of the line that held the last answer, then waits for
// Enter on `console`, as open_console_of_its_own gives it.
void wait_for_enter_to_close(std::FILE* in, std::FILE* err, std::FILE* console);

#endif
