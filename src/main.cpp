#include "main.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <limits>
#include <optional>
#include <string>
#include <system_error>

#include "report.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX  // keeps std::min free of the min macro
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace {

constexpr std::string_view BANNER =
    "Welcom to the municipal water generator thingie of science!";
constexpr std::string_view RULE =
    "-----------------------------------------------------------";

struct Question {
  std::string_view text;
  float Answers::*answer;
};

constexpr std::array<Question, 3> QUESTIONS{{
    {"How many people?", &Answers::person_count},
    {"How many days?", &Answers::day_count},
    {"Diameter or resivior?", &Answers::reservoir_diameter},
}};

constexpr int END = std::char_traits<char>::eof();

constexpr std::int64_t DECIMAL_BASE = 10;

// Past this many significant digits the rest of a number can only tip its
// rounding by being nonzero: a double's halfway points need at most 767.
// Keeping a bounded prefix reads a number of any length in fixed memory.
constexpr std::size_t KEPT_DIGITS = 800;

// An exponent this large already puts any number that fits in memory far
// beyond the double range; capping it keeps the arithmetic from wrapping.
constexpr std::int64_t EXPONENT_CAP = 100'000'000'000'000'000;

// Beyond these powers of ten every double conversion overflows or
// underflows anyway; clamping keeps the text we convert short.
constexpr std::int64_t POINT_LIMIT = 400;

// value = 0.DIGITS x 10^point, with DIGITS free of leading zeros.
struct DecimalNumber {
  bool negative = false;
  std::string digits;
  std::int64_t point = 0;
  bool dropped_nonzero = false;  // a nonzero digit past KEPT_DIGITS
};

// The C locale's white space, fixed here so the process locale cannot
// change it. A carriage return counts, so CRLF files read as they should.
bool is_white_space(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' ||
         c == '\f';
}

bool is_digit(int c) { return c >= '0' && c <= '9'; }

// Returns the first character that is not white space, still unread.
int skip_white_space(std::streambuf& input) {
  int c = input.sgetc();
  while (is_white_space(c)) {
    c = input.snextc();
  }
  return c;
}

void take_digit(DecimalNumber& number, int c, bool after_point) {
  if (number.digits.empty() && c == '0') {
    if (after_point) {
      --number.point;
    }
    return;
  }
  if (!after_point) {
    ++number.point;
  }
  if (number.digits.size() < KEPT_DIGITS) {
    number.digits.push_back(static_cast<char>(c));
  } else if (c != '0') {
    number.dropped_nonzero = true;
  }
}

// Reads an optional sign, digits with at most one point, and an optional
// exponent. Gives nothing when the mantissa or the exponent has no digit.
std::optional<DecimalNumber> scan_number(std::streambuf& input) {
  DecimalNumber number;
  int c = input.sgetc();
  if (c == '+' || c == '-') {
    number.negative = c == '-';
    c = input.snextc();
  }
  bool has_digit = false;
  for (bool after_point = false;; c = input.snextc()) {
    if (is_digit(c)) {
      has_digit = true;
      take_digit(number, c, after_point);
    } else if (c == '.' && !after_point) {
      after_point = true;
    } else {
      break;
    }
  }
  if (!has_digit) {
    return std::nullopt;
  }
  if (c == 'e' || c == 'E') {
    c = input.snextc();
    const bool negative_exponent = c == '-';
    if (c == '+' || c == '-') {
      c = input.snextc();
    }
    if (!is_digit(c)) {
      return std::nullopt;
    }
    std::int64_t exponent = 0;
    for (; is_digit(c); c = input.snextc()) {
      exponent = std::min(exponent * DECIMAL_BASE + (c - '0'), EXPONENT_CAP);
    }
    number.point += negative_exponent ? -exponent : exponent;
  }
  return number;
}

// Correctly rounded to the nearest double, as a C library would convert the
// same text: beyond the double range an infinity, below it a zero.
double to_double(const DecimalNumber& number) {
  const double sign = number.negative ? -1.0 : 1.0;
  if (number.digits.empty()) {
    return sign * 0.0;
  }
  const std::int64_t point =
      std::clamp(number.point, -POINT_LIMIT, POINT_LIMIT);
  // A trailing 1 stands for the dropped digits: it lies strictly between
  // the same two halfway points as they do, so the rounding is unchanged.
  const std::string text = "0." + number.digits +
                           (number.dropped_nonzero ? "1" : "") + "e" +
                           std::to_string(point);
  double magnitude = 0.0;
  const auto result =
      std::from_chars(text.data(), text.data() + text.size(), magnitude);
  if (result.ec == std::errc::result_out_of_range) {
    magnitude = point > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return sign * magnitude;
}

// Keeps answers inside the normal float range: the largest float for
// anything above it, the smallest normal float for anything below it but
// above zero, and the same on the negative side.
float clamp_to_float(double x) {
  constexpr float largest = std::numeric_limits<float>::max();
  constexpr float smallest = std::numeric_limits<float>::min();
  if (x > static_cast<double>(largest)) {
    return largest;
  }
  if (x < -static_cast<double>(largest)) {
    return -largest;
  }
  if (x > 0.0 && x < static_cast<double>(smallest)) {
    return smallest;
  }
  if (x < 0.0 && x > -static_cast<double>(smallest)) {
    return -smallest;
  }
  return static_cast<float>(x);
}

// Notepad and PowerShell begin a UTF-8 file with a byte-order mark, which
// is skipped so that their answer files read like any others. A UTF-16
// mark means text that cannot be read as numbers at all. A mark left
// unfinished is not a number either; any other start is left to the reader.
ReadStatus skip_byte_order_mark(std::streambuf& input) {
  constexpr int UTF8_MARK[] = {0xEF, 0xBB, 0xBF};
  constexpr int UTF16_MARK[] = {0xFF, 0xFE};  // either way round
  const int first = input.sgetc();
  if (first == UTF8_MARK[0]) {
    if (input.snextc() == UTF8_MARK[1] && input.snextc() == UTF8_MARK[2]) {
      input.sbumpc();
      return ReadStatus::number;
    }
    return ReadStatus::not_a_number;
  }
  if (first == UTF16_MARK[0] || first == UTF16_MARK[1]) {
    const int second = input.snextc();
    const bool marked =
        first != second && (second == UTF16_MARK[0] || second == UTF16_MARK[1]);
    return marked ? ReadStatus::utf16_text : ReadStatus::not_a_number;
  }
  return ReadStatus::number;
}

// The first answer is where a file's byte-order mark would be; the prompt
// is on screen before the first byte is looked at.
AnswerRead read_first_answer(std::istream& in, std::ostream& out) {
  out.flush();
  if (in.rdbuf() != nullptr) {
    const ReadStatus mark = skip_byte_order_mark(*in.rdbuf());
    if (mark != ReadStatus::number) {
      in.setstate(std::ios::failbit);
      return {mark, 0.0F};
    }
  }
  return read_answer(in, out);
}

std::string describe_failure(const AnswersRead& read) {
  if (read.status == ReadStatus::utf16_text) {
    return "standard input is UTF-16 text; save the answers as UTF-8 or ANSI "
           "text";
  }
  const std::string question = "\"" + std::string(read.failed_question) + "\"";
  if (read.status == ReadStatus::input_ended) {
    return "input ended before the answer to " + question;
  }
  // The typed text is not repeated: it may hold control characters.
  return "the answer to " + question + " is not a number";
}

void write_error(std::ostream& err, const std::string& message) {
  err << "error: " << message;
  write_line(err);
}

// Output that could not be written (a full disk, a closed pipe) must not be
// reported as a success: writes `failure` on `err` and gives false.
bool written(std::ostream& out, std::ostream& err, const std::string& failure) {
  if (!out) {
    write_error(err, failure);
  }
  return static_cast<bool>(out);
}

}  // namespace

AnswerRead read_answer(std::istream& in, std::ostream& out) {
  out.flush();
  std::streambuf* input = in.rdbuf();
  if (input == nullptr || skip_white_space(*input) == END) {
    in.setstate(std::ios::eofbit | std::ios::failbit);
    return {ReadStatus::input_ended, 0.0F};
  }
  const std::optional<DecimalNumber> number = scan_number(*input);
  if (!number) {
    in.setstate(std::ios::failbit);
    return {ReadStatus::not_a_number, 0.0F};
  }
  return {ReadStatus::number, clamp_to_float(to_double(*number))};
}

AnswersRead read_answers(std::istream& in, std::ostream& out) {
  AnswersRead read{ReadStatus::number, {}, Answers{}};
  for (const Question& question : QUESTIONS) {
    out << question.text << ' ';
    const AnswerRead answer = &question == QUESTIONS.data()
                                  ? read_first_answer(in, out)
                                  : read_answer(in, out);
    if (answer.status != ReadStatus::number) {
      read.status = answer.status;
      read.failed_question = question.text;
      break;
    }
    read.answers.*question.answer = answer.value;
  }
  return read;
}

void wait_for_closing_entry(std::istream& in, std::ostream& out) {
  out.flush();
  // A stream without a buffer is never good, so a good one has a buffer.
  if (!in) {
    return;
  }
  std::streambuf& input = *in.rdbuf();
  // Whatever comes is discarded; an integer is taken whole, as a number
  // read would take it, and anything else ends the wait where it stands.
  int c = skip_white_space(input);
  if (c == '+' || c == '-') {
    c = input.snextc();
  }
  while (is_digit(c)) {
    c = input.snextc();
  }
}

int run_calculator(std::istream& in, std::ostream& out, std::ostream& err) {
  out << BANNER;
  write_line(out);
  out << RULE;
  write_line(out);
  const AnswersRead read = read_answers(in, out);
  write_line(out);  // closes the line of prompts
  if (read.status != ReadStatus::number) {
    write_error(err, describe_failure(read));
    return EXIT_FAILURE;
  }
  print_report(out, read.answers, compute_figures(read.answers));
  if (!written(out, err,
               "the report could not be written to standard output")) {
    return EXIT_FAILURE;
  }
  wait_for_closing_entry(in, out);
  return EXIT_SUCCESS;
}

int finish_run(int status, bool window_of_its_own, std::istream& in,
               std::istream& console, std::ostream& err) {
  if (status == EXIT_SUCCESS || !window_of_its_own) {
    return status;
  }
  constexpr auto whole_line = std::numeric_limits<std::streamsize>::max();
  // Input that ended has no line left to discard.
  if (!in.eof()) {
    in.clear();
    in.ignore(whole_line, '\n');
  }
  err << "Press Enter to close this window.";
  err.flush();
  console.ignore(whole_line, '\n');
  return status;
}

#ifndef WATER_CALCULATOR_NO_ENTRY_POINT
namespace {

constexpr std::string_view USAGE =
    R"(Usage: water_calculator [--help | --version] [--] [ARGUMENT...]

Asks how many people, for how many days, and the diameter in feet of an
upright cylindrical reservoir, then reports the gallons of water they need
at 50 gallons per person per day, what that water weighs, the room it takes
as water and as ice, and how deep it stands in the reservoir, liquid and
frozen. It then reads one more entry, which it ignores, and ends.

The answers are read from standard input: typed at the questions, or
redirected from a file or a pipe. Several answers may share a line.

  --help     print this text and exit
  --version  print the version and exit
  --         end the options: an option after it is ignored

Where both --help and --version are given, the first one counts. Any other
argument is ignored.

Exit status: 0 after a report, --help or --version; 1 if an answer is not
a number, if input ends before the third answer, if the input is UTF-16
text, or if standard output cannot be written.

The manual has the rest: "man water_calculator" once it is installed on
Linux, or water_calculator.html, beside water_calculator.exe in the Windows
zip and in share/doc/water_calculator/ in the Linux archives.)";

constexpr std::string_view VERSION_LINE =
    "water_calculator " WATER_CALCULATOR_VERSION;

// Opens the console's input afresh where standard input is a console that
// no other process shares: the program was started in a window of its own
// (from Explorer, say), which closes as the program ends. Elsewhere, and
// on every other platform, the stream stays closed.
std::ifstream open_console_of_its_own() {
  std::ifstream console;
#ifdef _WIN32
  DWORD mode = 0;
  std::array<DWORD, 2> processes{};  // room to tell one from more
  if (GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0 &&
      GetConsoleProcessList(processes.data(),
                            static_cast<DWORD>(processes.size())) == 1) {
    console.open("CONIN$");  // the console's input, by its Windows name
  }
#endif
  return console;
}

// Writes what the command line asked for in place of the dialogue.
int write_text(std::string_view text) {
  std::cout << text;
  write_line(std::cout);
  return written(std::cout, std::cerr, "standard output could not be written")
             ? EXIT_SUCCESS
             : EXIT_FAILURE;
}

}  // namespace

// The first --help or --version before any -- answers instead of the
// dialogue; every other argument is ignored, as arguments always have been.
int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--") {
      break;
    }
    if (argument == "--help") {
      return write_text(USAGE);
    }
    if (argument == "--version") {
      return write_text(VERSION_LINE);
    }
  }
  const int status = run_calculator(std::cin, std::cout, std::cerr);
  std::ifstream console = open_console_of_its_own();
  return finish_run(status, console.is_open(), std::cin, console, std::cerr);
}
#endif
