#include "dialogue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include "reading_support.h"
#include "run_ending.h"

namespace {

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
  const std::string utf8_mark = "\xEF\xBB\xBF";
  const std::string answers = "4 30 10";
  const std::pair<std::string, std::string> runs[] = {
      {utf8_mark + "\n" + answers, ""},
      {"\xFF\xFE" + "4\0"s, utf16},
      {"\xFE\xFF\0"s + "4", utf16},
      {utf8_mark.substr(0, 2) + answers, people},
      {utf8_mark.substr(0, 1) + answers, people},
      {"\xFF" + answers, people},
      {"\xFE\xFE", people},
      {"\xFF\xFF", people},
      {" " + utf8_mark + answers, people},
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
  // A console gives more after a Ctrl-Z ends the input at a question: the
  // window's prompt waits for Enter on the console, not for a line more.
  std::stringstream typed("4 30", std::ios::in | std::ios::out | std::ios::app);
  std::istringstream console("\n");
  std::ostringstream out;
  std::ostringstream err;
  run_calculator(typed, out, err);
  typed.rdbuf()->sputn("next\n", 5);
  wait_for_enter_to_close(typed, err, console);
  EXPECT_EQ(unread(typed), "next\n");
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
