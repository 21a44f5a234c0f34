#include "dialogue.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>

#include "reading_support.h"
#include "run_ending.h"

namespace {

// Output that cannot be written: a stream opened for reading only.
TEST(Dialogue, LostOutputIsAFailure) {
  const File in = file_of("4 30 10\n");
  const File out(std::fopen(__FILE__, "r"));
  const File err = file_of("");
  ASSERT_TRUE(out);
  EXPECT_EQ(run_calculator(in.get(), out.get(), err.get()), EXIT_FAILURE);
  EXPECT_EQ(written(err.get()),
            "error: the report could not be written to standard output\n");
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
    const File in = file_of(text);
    const DialogueRun run = run_dialogue(in.get());
    EXPECT_EQ(run.status, expected_err.empty() ? EXIT_SUCCESS : EXIT_FAILURE)
        << text;
    EXPECT_EQ(run.err, expected_err) << text;
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
      {"4 30 10 feet", {true, false}, prompt, ""},
      {"4 30 10 20\nnext", {true, false}, prompt, "next"},
      {"4 30 10\n", {true, true}, prompt, ""},
      {"4 30 10 7\nnext", {false, false}, "", "\nnext"},
      {"4 30 10 7\nnext", {false, true}, hint, "\nnext"}};
  for (const auto& [text, ending, expected_err, expected_rest] : runs) {
    const File in = file_of(text);
    const File console = file_of("\nlater");
    const File err = file_of("");
    run_dialogue(in.get());
    if (ending.window_of_its_own) {
      wait_for_enter_to_close(in.get(), err.get(), console.get());
    } else {
      wait_for_closing_entry(in.get(), err.get(), ending.at_terminal);
    }
    EXPECT_EQ(written(err.get()), expected_err) << text;
    EXPECT_EQ(unread(in.get()), expected_rest) << text;
    EXPECT_EQ(unread(console.get()),
              ending.window_of_its_own ? "later" : "\nlater")
        << text;
  }
}

// A console gives more after a Ctrl-Z ends the input: once ended at a
// question, or at the closing wait, the input is not read again, and the
// window's prompt waits for Enter on the console, not for a line more.
TEST(Dialogue, InputThatEndedStaysEnded) {
  const std::string answers[] = {"4 30", "4 30 10\n"};
  for (const std::string& typed : answers) {
    const File in = file_of(typed);
    const File console = file_of("\n");
    const File err = file_of("");
    if (run_dialogue(in.get()).status == EXIT_SUCCESS) {
      wait_for_closing_entry(in.get(), err.get(), false);
    }
    const auto end = static_cast<off_t>(typed.size());
    ASSERT_EQ(pwrite(fileno(in.get()), "7\n", 2, end), 2);
    wait_for_closing_entry(in.get(), err.get(), false);
    wait_for_enter_to_close(in.get(), err.get(), console.get());
    EXPECT_EQ(unread(in.get()), "7\n") << typed;
  }
}

// The closing wait takes one entry, an integer whole or anything else not
// at all, and leaves the rest.
TEST(Dialogue, ClosingWaitTakesOneEntry) {
  const std::pair<std::string, std::string> entries[] = {
      {"\n \n-12 x", " x"}, {"+7", ""}, {"x1", "x1"}, {"-x", "x"}, {"", ""}};
  const File err = file_of("");
  for (const auto& [text, expected_rest] : entries) {
    const File in = file_of(text);
    wait_for_closing_entry(in.get(), err.get(), false);
    EXPECT_EQ(unread(in.get()), expected_rest) << text;
  }
}

}  // namespace
