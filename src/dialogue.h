// The dialogue: greeting, questions, answers, report and closing wait,
// over whatever streams the caller gives, so that it can be driven in-process.
#ifndef DIALOGUE_H
#define DIALOGUE_H

#include <iosfwd>
#include <string_view>

#include "number_reader.h"
#include "water_calculation.h"

struct AnswersRead {
  ReadStatus status;
  std::string_view failed_question;  // the question left unanswered, if any
  Answers answers;
};

// Asks the three questions in turn and stops at the first that gets no
// number. A UTF-8 byte-order mark at the very start of the input is skipped.
AnswersRead read_answers(std::istream& in, std::ostream& out);

// Waits for one more entry, an integer or anything not blank, and discards it.
void wait_for_closing_entry(std::istream& in, std::ostream& out);

// The whole run; returns the exit status.
int run_calculator(std::istream& in, std::ostream& out, std::ostream& err);

// Writes "error: " and `message` on `err` as one line.
void write_error(std::ostream& err, std::string_view message);

// Output that could not be written (a full disk, a closed pipe) must not be
// reported as a success: writes `failure` on `err` and gives false where
// `out` has failed, and gives true otherwise.
bool written_else_report(std::ostream& out, std::ostream& err,
                         std::string_view failure);

#endif
