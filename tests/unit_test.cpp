#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

#include "dialogue.h"
#include "reading_support.h"
#include "report.h"
#include "run_ending.h"
#include "water_calculation.h"

namespace {

using std::int64_t;
constexpr int64_t MAX64 = std::numeric_limits<int64_t>::max();
constexpr int64_t MIN64 = std::numeric_limits<int64_t>::min();
constexpr float FMAX = std::numeric_limits<float>::max();
constexpr float FMIN = std::numeric_limits<float>::min();
constexpr double INF = std::numeric_limits<double>::infinity();

TEST(Calculation, TruncationSaturatesAndNarrowingOverflowsToInfinity) {
  const double two63 = std::ldexp(1.0, 63);
  const std::pair<double, int64_t> truncations[] = {
      {std::nan(""), 0},
      {INF, MAX64},
      {-INF, MIN64},
      {two63, MAX64},
      {std::nextafter(two63, 0), 9223372036854774784},
      {-two63, MIN64},
      {std::nextafter(-two63, -INF), MIN64},
      {2.9, 2},
      {-2.9, -2},
      {-0.5, 0}};
  for (const auto& [x, expected] : truncations) {
    EXPECT_EQ(truncate_to_int64(x), expected) << x;
  }
  const double midpoint = 0x1.ffffffp127;  // halfway from FMAX to 2^128
  EXPECT_EQ(narrow_to_float(midpoint), INF);
  EXPECT_EQ(narrow_to_float(std::nextafter(midpoint, 0)), FMAX);
}

TEST(Report, FormatsMatchTheCLibrary) {
  // Where the output is ours to choose rather than printf's.
  EXPECT_EQ(format_float(std::copysign(NAN, -1.0F)), "nan");
  EXPECT_EQ(format_float(1e6F), "1e+06");
  EXPECT_EQ(format_integer(MIN64), "-9223372036854775808");
  if (!WATER_CALCULATOR_FLOAT_TO_CHARS) {
    GTEST_SKIP() << "the report writes floats with printf itself here";
  }
  char expected[32];
  const auto printf_g = [&](double value) {
    std::snprintf(expected, sizeof expected, "%g", value);
    return std::string(expected);
  };
  // Every kind of float, by random bit patterns, against printf itself.
  std::mt19937 random(1);
  for (int i = 0; i < 2'000'000; ++i) {
    const auto bits = static_cast<std::uint32_t>(random());
    float value;
    std::memcpy(&value, &bits, sizeof value);
    const auto wide = static_cast<double>(value);
    ASSERT_EQ(format_float(value), std::isnan(value) ? "nan" : printf_g(wide))
        << bits;
  }
  // Next to each power of ten, where rounding carries into a new digit.
  for (int exponent = -45; exponent <= 38; ++exponent) {
    const float power = std::pow(10.0F, static_cast<float>(exponent));
    for (const float value :
         {std::nextafter(power, 0.0F), power, std::nextafter(power, FMAX),
          power * 0.9999995F, -power * 9.999995F}) {
      ASSERT_EQ(format_float(value), printf_g(static_cast<double>(value)))
          << value;
    }
  }
}

// Floats of every kind, each as its bits and the text a native build's
// to_chars gives, which its C library's "%g" gave too: the same texts
// wherever the report runs, and however it writes them.
TEST(Report, FormatsMatchATableWrittenNatively) {
  std::ifstream table(WATER_CALCULATOR_FLOAT_FORMATS);
  ASSERT_TRUE(table.is_open()) << WATER_CALCULATOR_FLOAT_FORMATS;
  int rows = 0;
  for (std::string bits_text, expected; table >> bits_text >> expected;
       ++rows) {
    const auto bits =
        static_cast<std::uint32_t>(std::stoul(bits_text, nullptr, 16));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    ASSERT_EQ(format_float(value), expected) << bits_text;
  }
  EXPECT_GT(rows, 3000);
}

// A number must end at white space or at the end of the input, which
// is left unread; anything else written against it makes it no number.
TEST(Reader, ReadsANumberEndedByWhiteSpace) {
  using namespace std::string_literals;
  const std::string nines(1000, '9');
  const std::string tiny = "0." + std::string(60, '0') + "1";
  const std::tuple<std::string, float, std::string> cases[] = {
      {" \n\t\r\v\f42 x", 42, " x"},
      {"4 30 10", 4, " 30 10"},
      {"-2.50e+1\t;", -25, "\t;"},
      {".5", 0.5F, ""},
      {"5.", 5, ""},
      {"1e39", FMAX, ""},
      {"-1e39", -FMAX, ""},
      {"1e-39", FMIN, ""},
      {"-1e-39", -FMIN, ""},
      {"1e-400", 0, ""},
      {"1e-1000000000", 0, ""},
      {"1e-18446744073709551617", 0, ""},
      {"-0", -0.0F, ""},
      {"+7E0\r\n", 7, "\r\n"},
      {nines, FMAX, ""},
      {tiny, FMIN, ""},
      {"1e99999999999999999999", FMAX, ""},
      {"2.4703282292062327e-324", 0, ""},
      {"2.4703282292062328e-324", FMIN, ""}};
  for (const auto& [text, value, expected_rest] : cases) {
    std::string rest;
    const AnswerRead answer = read_one(text, &rest);
    EXPECT_EQ(answer.status, AnswerStatus::number) << text;
    EXPECT_TRUE(same(answer.value, value))
        << text << " read as " << answer.value;
    EXPECT_EQ(rest, expected_rest) << text;
  }
  const std::pair<std::string, AnswerStatus> refused[] = {
      {"", AnswerStatus::input_ended},
      {" \r\n ", AnswerStatus::input_ended},
      {"4\0"s, AnswerStatus::utf16_text},
      {"-1.5e3\0 \0"s, AnswerStatus::utf16_text}};
  for (const auto& [text, status] : refused) {
    EXPECT_EQ(read_one(text).status, status) << text;
  }
  for (const char* text :
       {"-", ".", "+.", "-.e1", "1e", "1e+", "abc", "e5", "--1", "1.2.3",
        "0x10", "10ft", "10,5", "30x 10", "1e5;", "7\x1B"}) {
    EXPECT_EQ(read_one(text).status, AnswerStatus::not_a_number) << text;
  }
}

// A point is the decimal separator whatever the process locale, here one
// whose numbers are written with a comma, where the machine has one: in
// the answers read and in the report written.
TEST(ReaderAndReport, IgnoreTheLocale) {
  std::locale comma;
  try {
    comma = std::locale("de_DE.UTF-8");
  } catch (const std::runtime_error&) {
    GTEST_SKIP() << "no de_DE.UTF-8 locale here";
  }
  const std::locale before = std::locale::global(comma);
  const char comma_point = *std::localeconv()->decimal_point;
  std::string rest;
  const AnswerRead answer = read_one("2.5 2,5", &rest);
  const std::string written = format_float(2.5F);
  std::locale::global(before);
  EXPECT_EQ(written, "2.5");
  if (comma_point != ',') {
    // musl (emscripten's C library) takes the name but keeps its point.
    GTEST_SKIP() << "this C library writes a point in de_DE.UTF-8 too";
  }
  EXPECT_TRUE(same(answer.value, 2.5F)) << answer.value;
  EXPECT_EQ(rest, " 2,5");
}

// Random texts of the number grammar, short and very long, and exact
// halfway points between doubles with a far-off digit that breaks the tie.
TEST(Reader, AgreesWithTheCLibraryOnHugeInputSets) {
  ASSERT_TRUE(std::setlocale(LC_NUMERIC, "C"));
  std::mt19937_64 random(2);
  const auto pick = [&](int n) {
    return static_cast<int>(random() % static_cast<unsigned>(n));
  };
  const auto digits = [&](int n) {
    std::string s;
    for (int i = pick(n); i > 0; --i) {
      s += static_cast<char>('0' + pick(pick(2) == 0 ? 2 : 10));
    }
    return s;
  };
  for (int i = 0; i < 300'000; ++i) {
    const int length = i % 100 == 0 ? 2000 : 25;  // one in a hundred very long
    std::string text = std::string(pick(3) == 0 ? "-" : "") + digits(length);
    text += "." + digits(length);
    if (text.find_first_of("0123456789") == std::string::npos) {
      text += "0";
    }
    if (pick(2) == 0) {
      text += "e" + std::to_string(pick(800) - 400);
    }
    std::string rest;
    ASSERT_TRUE(
        same(read_one(text + " ", &rest).value, reference_answer(text)) &&
        rest == " ")
        << text;
    // The double itself, before clamping hides a wrong one far below the
    // smallest float or beyond the largest.
    ASSERT_TRUE(same(scanned_double(text), std::strtod(text.c_str(), nullptr)))
        << text;
  }
  // Around float halfway points, where a wrong double flips the float.
  char exact[2000];
  for (int i = 0; i < 20'000; ++i) {
    const float f = std::ldexp(static_cast<float>(random() >> 40 | 1U << 23),
                               pick(250) - 149);
    const double tie = (static_cast<double>(f) + std::nextafter(f, FMAX)) / 2;
    for (const double other :
         {std::nextafter(tie, 0.0), std::nextafter(tie, INF)}) {
      std::snprintf(exact, sizeof exact, "%.1200Le",
                    (static_cast<long double>(tie) + other) / 2);
      for (const char* tail :
           {"", "000000000000000000000000000000000000000000001"}) {
        std::string text = exact;
        text.insert(text.find('e'), tail);
        ASSERT_TRUE(
            same(read_one(text).value, reference_answer(text)) &&
            same(scanned_double(text), std::strtod(text.c_str(), nullptr)))
            << text;
      }
    }
  }
}

TEST(Dialogue, LostOutputIsAFailure) {
  std::istringstream in("4 30 10\n");
  std::ostringstream out;
  std::ostringstream err;
  out.setstate(std::ios::badbit);
  EXPECT_EQ(run_calculator(in, out, err), EXIT_FAILURE);
  EXPECT_EQ(err.str(),
            "error: the report could not be written to standard output\n");
}

// Where input gives out, the system is asked why, and a failed read is
// named as one; an answer that is not a number needs no such question.
TEST(Dialogue, AFailedReadIsNamed) {
  const ReadFailure failed = [] { return std::string("Is a directory"); };
  const std::pair<std::string, std::string> runs[] = {
      {"4 30", "standard input could not be read: Is a directory"},
      {"4 x", "the answer to \"How many days?\" is not a number"}};
  for (const auto& [text, expected_error] : runs) {
    std::istringstream in(text);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(run_calculator(in, out, err, failed), EXIT_FAILURE) << text;
    EXPECT_EQ(err.str(), "error: " + expected_error + "\n") << text;
  }
}

// A byte-order mark counts only at the very start of the input, and one
// left unfinished is not a number. Status and error line of whole runs.
TEST(Dialogue, ByteOrderMarks) {
  using namespace std::string_literals;
  const std::string utf16 =
      "error: standard input is UTF-16 text; save the answers as UTF-8 or "
      "ANSI text\n";
  const std::string people =
      "error: the answer to \"How many people?\" is not a number\n";
  const std::pair<std::string, std::string> runs[] = {
      {"\xEF\xBB\xBF\n4 30 10", ""},
      {"\xFF\xFE"
       "4\0"s,
       utf16},
      {"\xFE\xFF\0"
       "4"s,
       utf16},
      {"\xEF\xBB"
       "4 30 10",
       people},
      {"\xEF"
       "4 30 10",
       people},
      {"\xFF"
       "4 30 10",
       people},
      {"\xFE\xFE", people},
      {"\xFF\xFF", people},
      {" \xEF\xBB\xBF"
       "4 30 10",
       people},
      {"4\0 \0"s, utf16},
      {"4 30\0"s, utf16}};
  for (const auto& [text, expected_err] : runs) {
    std::istringstream in(text);
    std::ostringstream out;
    std::ostringstream err;
    const int status = run_calculator(in, out, err);
    EXPECT_EQ(status, expected_err.empty() ? EXIT_SUCCESS : EXIT_FAILURE)
        << text;
    EXPECT_EQ(err.str(), expected_err) << text;
  }
}

// In a window of its own a run waits for Enter on the console, after
// dropping the rest of the line that held the last answer read; elsewhere
// a run that reported waits for its closing entry on the input, and says
// so at a terminal.
TEST(Dialogue, EachRunEndsAsItsConsoleNeeds) {
  const std::string prompt = "Press Enter to close this window.";
  const std::string hint = "Type anything and press Enter to end.\n";
  struct Ending {
    bool window_of_its_own;
    bool at_terminal;
  };
  const std::tuple<std::string, Ending, std::string, std::string> runs[] = {
      {"4 x rest\nnext", {true, false}, prompt, "next"},
      {"4 30", {true, true}, prompt, ""},
      {"4 30 10 feet\nnext", {true, false}, prompt, "next"},
      {"4 30 10 20\nnext", {true, false}, prompt, "next"},
      {"4 30 10\n", {true, true}, prompt, ""},
      {"4 30 10 7\nnext", {false, false}, "", "\nnext"},
      {"4 30 10 7\nnext", {false, true}, hint, "\nnext"}};
  for (const auto& [text, ending, expected_err, expected_rest] : runs) {
    std::istringstream in(text);
    std::istringstream console("\nlater");
    std::ostringstream out;
    std::ostringstream err;
    run_calculator(in, out, err);
    const std::string before = err.str();
    if (ending.window_of_its_own) {
      wait_for_enter_to_close(in, err, console);
    } else {
      wait_for_closing_entry(in, err, ending.at_terminal);
    }
    EXPECT_EQ(err.str(), before + expected_err) << text;
    EXPECT_EQ(unread(in), expected_rest) << text;
    EXPECT_EQ(unread(console), ending.window_of_its_own ? "later" : "\nlater")
        << text;
  }
}

// The closing wait takes one entry, an integer whole or anything else not
// at all, and leaves the rest. A stream with no buffer, or one already
// failed, has nothing to give: the wait returns at once, touching nothing.
TEST(Dialogue, ClosingWaitTakesOneEntry) {
  const std::pair<std::string, std::string> entries[] = {
      {"\n \n-12 x", " x"}, {"+7", ""}, {"x1", "x1"}, {"-x", "x"}, {"", ""}};
  std::ostringstream err;
  for (const auto& [text, expected_rest] : entries) {
    std::istringstream in(text);
    wait_for_closing_entry(in, err, false);
    EXPECT_EQ(unread(in), expected_rest) << text;
  }
  std::istringstream failed("7 x");
  failed.setstate(std::ios::failbit);
  wait_for_closing_entry(failed, err, false);
  EXPECT_EQ(failed.rdbuf()->in_avail(), 3);

  std::istream no_buffer(nullptr);
  wait_for_closing_entry(no_buffer, err, false);
  std::ostringstream out;
  EXPECT_EQ(run_calculator(no_buffer, out, err), EXIT_FAILURE);
  EXPECT_EQ(err.str(),
            "error: input ended before the answer to \"How many people?\"\n");
}

}  // namespace
