#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale>
#include <random>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>

#include "reading_support.h"
#include "report.h"

namespace {

constexpr float FMIN = std::numeric_limits<float>::min();

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
    EXPECT_EQ(answer.status, AnswerStatus::answered) << text;
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
// halfway points between doubles with a far-off digit that breaks the tie:
// what the reader keeps of a long number rounds as the whole text does.
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
        ASSERT_TRUE(same(read_one(text).value, reference_answer(text))) << text;
      }
    }
  }
}

}  // namespace
