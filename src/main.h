// The dialogue: greeting, questions, answers, report and closing wait,
// over whatever streams the caller gives, so that it can be driven in-process.
#ifndef MAIN_H
#define MAIN_H

#include <iosfwd>
#include <string_view>

#include "water_calculation.h"

enum class ReadStatus { number, not_a_number, input_ended };

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

// Asks the three questions in turn and stops at the first that gets no number.
AnswersRead read_answers(std::istream& in, std::ostream& out);

// Waits for one more entry, an integer or anything not blank, and discards it.
void wait_for_closing_entry(std::istream& in, std::ostream& out);

// The whole run; returns the exit status.
int run_calculator(std::istream& in, std::ostream& out, std::ostream& err);

#endif
