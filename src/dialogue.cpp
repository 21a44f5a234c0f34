#include "dialogue.h"

#include <array>
#include <cstdlib>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "number_reader.h"
#include "output.h"
#include "report.h"

namespace {

constexpr std::string_view BANNER =
    "Welcom to the municipal water generator thingie of science!";
constexpr std::string_view RULE =
    "-----------------------------------------------------------";

struct Question {
  std::string_view text;
  float Answers::*answer;
};

constexpr std::array<Question, 3> QUESTIONS{{
    {"How many people?", &Answers::person_count},
    {"How many days?", &Answers::day_count},
    {"Diameter or resivior?", &Answers::reservoir_diameter},
}};

// The outcome of a read that gave no number.
AnswersOutcome failure_of(AnswerStatus status) {
  if (status == AnswerStatus::utf16_text) {
    return AnswersOutcome::utf16_text;
  }
  if (status == AnswerStatus::input_ended) {
    return AnswersOutcome::input_ended;
  }
  return AnswersOutcome::not_a_number;
}

std::string describe_failure(const AnswersRead& read) {
  if (read.outcome == AnswersOutcome::read_failed) {
    return "standard input could not be read: " + read.read_failure;
  }
  if (read.outcome == AnswersOutcome::utf16_text) {
    return "standard input is UTF-16 text; save the answers as UTF-8 or "
           "ANSI text";
  }
  const std::string question = "\"" + std::string(read.failed_question) + "\"";
  if (read.outcome == AnswersOutcome::input_ended) {
    return "input ended before the answer to " + question;
  }
  // The typed text is not repeated: it may hold control characters.
  return "the answer to " + question + " is not a number";
}

}  // namespace

// Each question is asked once the one before it has its answer.
AnswersRead read_answers(std::istream& in, std::ostream& out,
                         ReadFailure read_failure) {
  AnswersRead read{AnswersOutcome::answered, {}, {}, {}};
  for (const Question& question : QUESTIONS) {
    out << question.text << ' ';
    const bool first = &question == &QUESTIONS.front();
    const AnswerRead answer =
        first ? read_first_answer(in, out) : read_answer(in, out);
    if (answer.status != AnswerStatus::number) {
      read.outcome = failure_of(answer.status);
      read.failed_question = question.text;
      if (read.outcome == AnswersOutcome::input_ended) {
        // Asked at once, before anything else can change the system's reason.
        read.read_failure = read_failure();
        if (!read.read_failure.empty()) {
          read.outcome = AnswersOutcome::read_failed;
        }
      }
      break;
    }
    read.answers.*question.answer = answer.value;
  }
  return read;
}

int run_calculator(std::istream& in, std::ostream& out, std::ostream& err,
                   ReadFailure read_failure) {
  out << BANNER;
  write_line(out);
  out << RULE;
  write_line(out);
  const AnswersRead read = read_answers(in, out, read_failure);
  write_line(out);  // closes the line of prompts
  if (read.outcome != AnswersOutcome::answered) {
    write_error(err, describe_failure(read));
    return EXIT_FAILURE;
  }
  const std::optional<Figures> figures = compute_figures(read.answers);
  if (!figures) {
    write_error(err, "the answers give figures too large to report");
    return EXIT_FAILURE;
  }
  print_report(out, read.answers, *figures);
  return written_else_report(
             out, err, "the report could not be written to standard output")
             ? EXIT_SUCCESS
             : EXIT_FAILURE;
}
