#include "run_ending.h"

#include <cstdlib>
#include <istream>
#include <limits>
#include <ostream>
#include <string_view>

#include "number_reader.h"
#include "output.h"

namespace {

constexpr std::string_view CLOSING_HINT =
    "Type anything and press Enter to end.";
constexpr std::string_view WINDOW_PROMPT = "Press Enter to close this window.";

constexpr auto WHOLE_LINE = std::numeric_limits<std::streamsize>::max();

}  // namespace

void wait_for_closing_entry(std::istream& in, std::ostream& out) {
  out.flush();
  discard_entry(in);
}

int finish_run(int status, Console where, std::istream& in, std::ostream& out,
               std::ostream& err, std::istream& console) {
  if (!where.window_of_its_own) {
    if (status == EXIT_SUCCESS) {
      if (where.terminal) {
        err << CLOSING_HINT;
        write_line(err);
      }
      wait_for_closing_entry(in, out);
    }
    return status;
  }
  // Input that ended has no line left to discard.
  if (!in.eof()) {
    in.clear();
    in.ignore(WHOLE_LINE, '\n');
  }
  err << WINDOW_PROMPT;
  err.flush();
  console.ignore(WHOLE_LINE, '\n');
  return status;
}
