#include "output.h"

#include <ostream>

void write_line(std::ostream& out) {
  out.put('\n');
  out.flush();
}

void write_error(std::ostream& err, std::string_view message) {
  err << "error: " << message;
  write_line(err);
}

bool written_else_report(std::ostream& out, std::ostream& err,
                         std::string_view failure) {
  if (!out) {
    write_error(err, failure);
  }
  return static_cast<bool>(out);
}
