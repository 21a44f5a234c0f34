// How the program writes: text, whole lines, error lines, and the check
// that what it wrote arrived.
#ifndef OUTPUT_H
#define OUTPUT_H

#include <cstdio>
#include <string_view>

// Writes `text` as it stands, NUL bytes and all.
void write_text(std::FILE* out, std::string_view text);

// Ends every line the program writes: a newline, then a flush, so that a
// user watching the console sees each line as soon as it is complete.
void write_line(std::FILE* out);

// Writes "error: " and `message` on `err` as one line.
void write_error(std::FILE* err, std::string_view message);

// Output that could not be written (a full disk, a closed pipe) must not be
// reported as a success: writes `failure` on `err` and gives false where
// writing to `out` has failed, and gives true otherwise.
bool written_else_report(std::FILE* out, std::FILE* err,
                         std::string_view failure);

#endif
