// The dialogue: greeting, questions, answers, report and closing wait,
// over whatever streams the caller gives, so that it can be driven in-process.
#ifndef MAIN_H
#define MAIN_H

#include <iosfwd>
#include <string_view>

#include "water_calculation.h"

// utf16_text: standard input began with a UTF-16 byte-order mark.
enum class ReadStatus { number, not_a_number, input_ended, utf16_text };

struct AnswerRead {
  ReadStatus status;
  float value;  // 0 unless a number was read
};

struct AnswersRead {
  ReadStatus status;
  std::string_view failed_question;  // the question left unanswered, if any
  Answers answers;
};

// Flushes `out`, skips white space, then reads the longest run that forms a
// decimal number, leaving the character after it unread. The value is
// rounded to double, then clamped into the normal float range.
AnswerRead read_answer(std::istream& in, std::ostream& out);

// Asks the three questions in turn and stops at the first that gets no
// number. A UTF-8 byte-order mark at the very start of the input is skipped.
AnswersRead read_answers(std::istream& in, std::ostream& out);

// Waits for one more entry, an integer or anything not blank, and discards it.
void wait_for_closing_entry(std::istream& in, std::ostream& out);

// The whole run; returns the exit status.
int run_calculator(std::istream& in, std::ostream& out, std::ostream& err);

// Returns `status`, after a failed run in a console window of its own, which
// closes as the program ends, has kept the error on screen: the rest of the
// line that held the bad answer is discarded from `in`, then Enter is waited
// for on `console`, the same console read afresh, since on Windows input
// that a Ctrl-Z ended stays ended on `in`.
int finish_run(int status, bool window_of_its_own, std::istream& in,
               std::istream& console, std::ostream& err);

#endif
