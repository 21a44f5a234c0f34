// The dialogue: greeting, questions, answers, and the report or the error,
// over whatever streams the caller gives, so that it can be driven
// in-process.
#ifndef DIALOGUE_H
#define DIALOGUE_H

#include <cstdio>
#include <string>
#include <string_view>

#include "number_reader.h"
#include "water_calculation.h"

// The answers, or where and why reading them stopped.
struct AnswersRead {
  AnswerStatus status;               // answered once all three are
  std::string_view failed_question;  // the question left unanswered, if any
  Answers answers;                   // those read before any failure
  std::string read_failure;          // the system's reason, for read_failed
};

// Asks the three questions in turn and stops at the first that gets no
// number. A UTF-8 byte-order mark at the very start of the input is skipped.
// Input that gave out because reading it failed is read_failed, with the
// system's reason.
AnswersRead read_answers(std::FILE* in, std::FILE* out);

// What the error line says of answers that stopped short.
std::string describe_failure(const AnswersRead& read);

inline constexpr std::string_view FIGURES_TOO_LARGE =
    "the answers give figures too large to report";

// The run up to its report or its error; returns the exit status. The wait
// that ends the run is the caller's (run_ending.h).
int run_calculator(std::FILE* in, std::FILE* out, std::FILE* err);

#endif
