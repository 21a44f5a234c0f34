// The dialogue: greeting, questions, answers, report and closing wait,
// over whatever streams the caller gives, so that it can be driven in-process.
#ifndef DIALOGUE_H
#define DIALOGUE_H

#include <iosfwd>
#include <string>
#include <string_view>

#include "number_reader.h"
#include "water_calculation.h"

// Why input gave out: the system's reason where reading failed, or nothing
// where the input really ended. A stream cannot tell the two apart.
using ReadFailure = std::string (*)();

inline std::string input_really_ended() { return {}; }

struct AnswersRead {
  ReadStatus status;
  std::string_view failed_question;  // the question left unanswered, if any
  Answers answers;
  std::string read_failure;  // where input gave out because a read failed
};

// Asks the three questions in turn and stops at the first that gets no
// number. A UTF-8 byte-order mark at the very start of the input is skipped.
AnswersRead read_answers(std::istream& in, std::ostream& out,
                         ReadFailure read_failure = input_really_ended);

// Waits for one more entry, an integer or anything not blank, and discards it.
void wait_for_closing_entry(std::istream& in, std::ostream& out);

// The run up to its report or its error; returns the exit status. How the
// run then ends is finish_run's to decide.
int run_calculator(std::istream& in, std::ostream& out, std::ostream& err,
                   ReadFailure read_failure = input_really_ended);

// Writes "error: " and `message` on `err` as one line.
void write_error(std::ostream& err, std::string_view message);

// Output that could not be written (a full disk, a closed pipe) must not be
// reported as a success: writes `failure` on `err` and gives false where
// `out` has failed, and gives true otherwise.
bool written_else_report(std::ostream& out, std::ostream& err,
                         std::string_view failure);

#endif
