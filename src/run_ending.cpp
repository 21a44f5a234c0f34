#include "run_ending.h"

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

// A person at a terminal would otherwise think the program hangs.
void wait_for_closing_entry(std::istream& in, std::ostream& err,
                            bool at_terminal) {
  if (at_terminal) {
    err << CLOSING_HINT;
    write_line(err);
  }
  discard_entry(in);
}

// Enter is read from `console`, the same console opened afresh, since on
// Windows input that a Ctrl-Z ended stays ended on `in`; and input that
// ended, marked so by the reader, has no line left to drop: `ignore` then
// does nothing.
void wait_for_enter_to_close(std::istream& in, std::ostream& err,
                             std::istream& console) {
  in.ignore(WHOLE_LINE, '\n');
  err << WINDOW_PROMPT;
  err.flush();
  console.ignore(WHOLE_LINE, '\n');
}
