#include "dialogue.h"

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

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

// A question on screen before the program waits for its answer.
void ask(std::FILE* out, const Question& question) {
  write_text(out, question.text);
  std::fputc(' ', out);
  std::fflush(out);
}

}  // namespace

std::string describe_failure(const AnswersRead& read) {
  if (read.status == AnswerStatus::read_failed) {
    return "standard input could not be read: " + read.read_failure;
  }
  if (read.status == AnswerStatus::utf16_text) {
    return "standard input is UTF-16 text; save the answers as UTF-8 or "
           "ANSI text";
  }
  const std::string question = "\"" + std::string(read.failed_question) + "\"";
  if (read.status == AnswerStatus::input_ended) {
    return "input ended before the answer to " + question;
  }
  // The typed text is not repeated: it may hold control characters.
  return "the answer to " + question + " is not a number";
}

// Each question is asked once the one before it has its answer. The
// byte-order mark is looked for with the first question on screen, since
// a console gives no byte until the user answers.
AnswersRead read_answers(std::FILE* in, std::FILE* out) {
  AnswersRead read{AnswerStatus::answered, {}, {}, {}};
  std::size_t asked = 0;  // the question on screen
  ask(out, QUESTIONS[asked]);
  std::optional<AnswerStatus> refusal = refuse_byte_order_mark(in);
  while (!refusal) {
    const AnswerRead answer = read_answer(in);
    if (answer.status != AnswerStatus::answered) {
      refusal = answer.status;
      break;
    }
    read.answers.*QUESTIONS[asked].answer = answer.value;
    if (++asked == QUESTIONS.size()) {
      return read;
    }
    ask(out, QUESTIONS[asked]);
  }
  read.status = *refusal;
  read.failed_question = QUESTIONS[asked].text;
  if (read.status == AnswerStatus::input_ended) {
    // Taken at once, before anything else can change the system's reason;
    // the stream's error indicator tells a failed read from the end.
    const int error = errno;
    if (std::ferror(in) != 0) {
      read.status = AnswerStatus::read_failed;
      read.read_failure = std::strerror(error);
    }
  }
  return read;
}

int run_calculator(std::FILE* in, std::FILE* out, std::FILE* err) {
  write_text(out, BANNER);
  write_line(out);
  write_text(out, RULE);
  write_line(out);
  const AnswersRead read = read_answers(in, out);
  write_line(out);  // closes the line of prompts
  if (read.status != AnswerStatus::answered) {
    write_error(err, describe_failure(read));
    return EXIT_FAILURE;
  }
  const std::optional<Figures> figures = compute_figures(read.answers);
  if (!figures) {
    write_error(err, FIGURES_TOO_LARGE);
    return EXIT_FAILURE;
  }
  print_report(out, read.answers, *figures);
  return written_else_report(
             out, err, "the report could not be written to standard output")
             ? EXIT_SUCCESS
             : EXIT_FAILURE;
}
