#include "output.h"

void write_text(std::FILE* out, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), out);
}

void write_line(std::FILE* out) {
  std::fputc('\n', out);
  std::fflush(out);
}

void write_error(std::FILE* err, std::string_view message) {
  write_text(err, "error: ");
  write_text(err, message);
  write_line(err);
}

// The stream's error indicator stays set from the first failed write or
// flush, so one look at the end covers them all.
bool written_else_report(std::FILE* out, std::FILE* err,
                         std::string_view failure) {
  const bool written = std::ferror(out) == 0;
  if (!written) {
    write_error(err, failure);
  }
  return written;
}
