// Any bytes as standard input, through the same run that main makes: the
// output begins with the banner, then either the whole report and status 0,
// or the prompts up to the failed question, one error line and status 1.
// Answers whose figures leave 64 bits are refused after the third question.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "dialogue.h"
#include "fuzz_support.h"
#include "reading_support.h"

namespace {

constexpr std::string_view HEADER =
    "Welcom to the municipal water generator thingie of science!\n"
    "-----------------------------------------------------------\n";

constexpr std::array<std::string_view, 3> PROMPTS{
    "How many people?", "How many days?", "Diameter or resivior?"};

// Each report line starts with its label and ends with its unit.
constexpr std::array<std::array<std::string_view, 2>, 11> REPORT_LINES{{
    {"Number of people: ", ""},
    {"Number of days: ", ""},
    {"Diameter of resiviour: ", ""},
    {"", ""},
    {"Total gallons needed: ", ""},
    {"Weight of total water: ", " pounds"},
    {"  or ", " tons"},
    {"Volume of water: ", " cubic feet"},
    {"Volume of ice: ", " cubic feet"},
    {"Height of water if liquid: ", " feet"},
    {"Height of frozen water: ", " feet"},
}};

bool starts_with(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool ends_with(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         text.substr(text.size() - suffix.size()) == suffix;
}

// A value is printed bare: one run of characters, no space, no newline.
bool is_report_line(std::string_view line, std::string_view label,
                    std::string_view unit) {
  if (!starts_with(line, label) || !ends_with(line, unit)) {
    return false;
  }
  const std::string_view value =
      line.substr(label.size(), line.size() - label.size() - unit.size());
  return label.empty()
             ? value.empty()
             : !value.empty() && value.find(' ') == std::string_view::npos;
}

void check_report(std::string_view report) {
  for (const auto& [label, unit] : REPORT_LINES) {
    const std::size_t end = report.find('\n');
    check(end != std::string_view::npos, "the report has all its lines");
    check(is_report_line(report.substr(0, end), label, unit),
          "each report line has its label, one value and its unit");
    report.remove_prefix(end + 1);
  }
  check(report.empty(), "nothing follows the report");
}

// The prompts asked before the run stopped, ending with `failed`.
std::string prompts_up_to(std::string_view failed) {
  std::string asked;
  for (const std::string_view prompt : PROMPTS) {
    asked.append(prompt).append(" ");
    if (prompt == failed) {
      return asked;
    }
  }
  return {};
}

void check_failure(std::string_view after_header, const std::string& error) {
  if (error == "error: " + std::string(FIGURES_TOO_LARGE) + "\n") {
    check(after_header == prompts_up_to(PROMPTS.back()) + "\n",
          "figures too large are refused once all three are answered");
    return;
  }
  for (const std::string_view prompt : PROMPTS) {
    for (const AnswerStatus status :
         {AnswerStatus::not_a_number, AnswerStatus::input_ended,
          AnswerStatus::utf16_text}) {
      if (error == unreadable_answer_error(status, prompt) &&
          after_header == prompts_up_to(prompt) + "\n") {
        return;  // stopped at the question the error names, or found UTF-16
      }
    }
  }
  check(false,
        "a failed run writes one error line, one of the dialogue's, and "
        "stops at the question it names");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const File in =
      file_of(std::string(reinterpret_cast<const char*>(data), size));
  const auto [output, error, status] = run_dialogue(in.get());
  check(starts_with(output, HEADER), "the output begins with the banner");
  const std::string_view after_header =
      std::string_view(output).substr(HEADER.size());
  if (status == EXIT_SUCCESS) {
    check(error.empty(), "a run that reports writes no error");
    const std::string prompts = prompts_up_to(PROMPTS.back()) + "\n";
    check(starts_with(after_header, prompts), "all three questions are asked");
    check_report(after_header.substr(prompts.size()));
  } else {
    check(status == EXIT_FAILURE, "the status is 0 or 1");
    check_failure(after_header, error);
  }
  return 0;
}
