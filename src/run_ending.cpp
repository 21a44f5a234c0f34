#include "run_ending.h"

#include <string_view>

#include "number_reader.h"
#include "output.h"

namespace {

constexpr std::string_view CLOSING_HINT =
    "Type anything and press Enter to end.";
constexpr std::string_view WINDOW_PROMPT = "Press Enter to close this window.";

}  // namespace

// A person at a terminal would otherwise think the program hangs.
void wait_for_closing_entry(std::FILE* in, std::FILE* err, bool at_terminal) {
  if (at_terminal) {
    write_text(err, CLOSING_HINT);
    write_line(err);
  }
  discard_entry(in);
}

// Enter is read from `console`, the same console opened afresh, since on
// Windows input that a Ctrl-Z ended stays ended on `in`.
void wait_for_enter_to_close(std::FILE* in, std::FILE* err,
                             std::FILE* console) {
  discard_line(in);
  write_text(err, WINDOW_PROMPT);
  std::fflush(err);
  discard_line(console);
}
