// How the program writes: whole lines, error lines, and the check that
// what it wrote arrived.
#ifndef OUTPUT_H
#define OUTPUT_H

#include <iosfwd>
#include <string_view>

// Ends every line the program writes: a newline, then a flush, so that a
// user watching the console sees each line as soon as it is complete.
void write_line(std::ostream& out);

// Writes "error: " and `message` on `err` as one line.
void write_error(std::ostream& err, std::string_view message);

// Output that could not be written (a full disk, a closed pipe) must not be
// reported as a success: writes `failure` on `err` and gives false where
// `out` has failed, and gives true otherwise.
bool written_else_report(std::ostream& out, std::ostream& err,
                         std::string_view failure);

#endif
