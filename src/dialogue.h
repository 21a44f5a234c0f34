// The dialogue: greeting, questions, answers, and the report or the error,
// over whatever streams the caller gives, so that it can be driven
// in-process.
#ifndef DIALOGUE_H
#define DIALOGUE_H

#include <iosfwd>
#include <string>
#include <string_view>

#include "water_calculation.h"

// Why input gave out: the system's reason where reading failed, or nothing
// where the input really ended. A stream cannot tell the two apart.
using ReadFailure = std::string (*)();

inline std::string input_really_ended() { return {}; }

enum class AnswersOutcome {
  answered,
  not_a_number,
  input_ended,
  read_failed,
  utf16_text
};

struct AnswersRead {
  AnswersOutcome outcome;
  std::string_view failed_question;  // the question left unanswered, if any
  Answers answers;                   // those read before any failure
  std::string read_failure;          // the system's reason, for read_failed
};

// Asks the three questions in turn and stops at the first that gets no
// number. A UTF-8 byte-order mark at the very start of the input is skipped.
AnswersRead read_answers(std::istream& in, std::ostream& out,
                         ReadFailure read_failure = input_really_ended);

// The run up to its report or its error; returns the exit status. How the
// run then ends is finish_run's to decide.
int run_calculator(std::istream& in, std::ostream& out, std::ostream& err,
                   ReadFailure read_failure = input_really_ended);

#endif
