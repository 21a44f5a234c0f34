#include "dialogue.h"

#include <array>
#include <cstddef>
#include <cstdlib>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

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

void ask(std::ostream& out, const Question& question) {
  out << question.text << ' ';
}

std::string describe_failure(const AnswersRead& read) {
  if (!read.read_failure.empty()) {
    return "standard input could not be read: " + read.read_failure;
  }
  if (read.status == ReadStatus::utf16_text) {
    return "standard input is UTF-16 text; save the answers as UTF-8 or ANSI "
           "text";
  }
  const std::string question = "\"" + std::string(read.failed_question) + "\"";
  if (read.status == ReadStatus::input_ended) {
    return "input ended before the answer to " + question;
  }
  // The typed text is not repeated: it may hold control characters.
  return "the answer to " + question + " is not a number";
}

}  // namespace

AnswersRead read_answers(std::istream& in, std::ostream& out,
                         ReadFailure read_failure) {
  // A file's byte-order mark is looked for once, before the first answer
  // and with the first question already on screen, since a console gives
  // no byte until the user answers. Each later question is asked once the
  // one before it has its answer.
  std::size_t asked = 0;
  ask(out, QUESTIONS[asked]);
  ReadStatus status = skip_byte_order_mark(in, out);
  Answers answers{};
  while (status == ReadStatus::number) {
    const Question& question = QUESTIONS[asked];
    const AnswerRead answer = read_answer(in, out);
    status = answer.status;
    if (status == ReadStatus::input_ended) {
      // Asked at once, before anything else can change the system's reason.
      return {status, question.text, answers, read_failure()};
    }
    if (status != ReadStatus::number) {
      break;
    }
    answers.*question.answer = answer.value;
    if (++asked == QUESTIONS.size()) {
      return {status, {}, answers, {}};
    }
    ask(out, QUESTIONS[asked]);
  }
  return {status, QUESTIONS[asked].text, answers, {}};
}

void wait_for_closing_entry(std::istream& in, std::ostream& out) {
  out.flush();
  // Whatever comes is discarded; an integer is taken whole, as a number
  // read would take it, and anything else ends the wait where it stands.
  discard_entry(in);
}

void write_error(std::ostream& err, std::string_view message) {
  err << "error: " << message;
  write_line(err);
}

bool written_else_report(std::ostream& out, std::ostream& err,
                         std::string_view failure) {
  if (!out) {
    write_error(err, failure);
  }
  return static_cast<bool>(out);
}

int run_calculator(std::istream& in, std::ostream& out, std::ostream& err,
                   ReadFailure read_failure) {
  out << BANNER;
  write_line(out);
  out << RULE;
  write_line(out);
  const AnswersRead read = read_answers(in, out, read_failure);
  write_line(out);  // closes the line of prompts
  if (read.status != ReadStatus::number) {
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
