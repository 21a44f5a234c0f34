// The whole program as its entry point runs it: the command line, then the
// dialogue over the standard streams, then the wait that ends the run.
#include "program.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "dialogue.h"
#include "output.h"
#include "platform_console.h"
#include "run_ending.h"

namespace {

constexpr std::string_view USAGE =
    R"(Usage: water_calculator [--help | --version] [--] [ARGUMENT...]

Asks how many people, for how many days, and the diameter in feet of an
upright cylindrical reservoir, then reports the gallons of water they need
at 50 gallons per person per day, what that water weighs, the room it takes
as water and as ice, and how deep it stands in the reservoir, liquid and
frozen. It then reads one more entry, which it ignores, and ends.

The answers are read from standard input: typed at the questions, or
redirected from a file or a pipe. Several answers may share a line,
separated by blanks. A number must end at a blank, a line end or the end
of the input: 10,5 or 10ft or 1.2.3 is not a number.

  --help     print this text and exit
  --version  print the version and exit
  --         end the options: an option after it is ignored

Where both --help and --version are given, the first one counts. Any other
argument is ignored.

Exit status: 0 after a report, --help or --version; 1 if an answer is not
a number, if input ends before the third answer, if the input is UTF-16
text, if standard input cannot be read, if the answers give a figure
beyond the 64-bit range, or if standard output cannot be written.

The manual has the rest: "man water_calculator" once it is installed on
Linux, or water_calculator.html, beside water_calculator.exe in the Windows
zip and in share/doc/water_calculator/ in the Linux archives.)";

constexpr std::string_view VERSION_LINE =
    "water_calculator " WATER_CALCULATOR_VERSION;

// Writes what the command line asked for in place of the dialogue.
int print_text(std::string_view text) {
  write_text(stdout, text);
  write_line(stdout);
  return written_else_report(stdout, stderr,
                             "standard output could not be written")
             ? EXIT_SUCCESS
             : EXIT_FAILURE;
}

}  // namespace

// The first --help or --version before any -- answers instead of the
// dialogue; every other argument is ignored, as arguments always have been.
int run_program(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--") {
      break;
    }
    if (argument == "--help") {
      return print_text(USAGE);
    }
    if (argument == "--version") {
      return print_text(VERSION_LINE);
    }
  }
  const int status = run_calculator(stdin, stdout, stderr);
  // A window of the program's own keeps a report or an error on screen
  // until Enter, since it closes as the program ends; elsewhere only a
  // report waits, and an error ends at once.
  std::FILE* console = open_console_of_its_own();
  if (console != nullptr) {  // GCOVR_EXCL_BR_LINE: Windows alone opens one
    wait_for_enter_to_close(stdin, stderr, console);  // GCOVR_EXCL_LINE
    std::fclose(console);                             // GCOVR_EXCL_LINE
  } else if (status == EXIT_SUCCESS) {
    wait_for_closing_entry(stdin, stderr, standard_input_is_terminal());
  }
  return status;
}
