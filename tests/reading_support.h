// What the reader's and the dialogue's tests share: texts as streams to
// read, one answer or a whole dialogue read from one, what the read left,
// the reading rule as the C library gives it to compare with, and the
// float limits that answers are clamped to.
#ifndef READING_SUPPORT_H
#define READING_SUPPORT_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>

#include "dialogue.h"
#include "number_reader.h"

constexpr float FMAX = std::numeric_limits<float>::max();
constexpr double INF = std::numeric_limits<double>::infinity();

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A stream that holds `text`, read from its start and written at its end:
// a temporary file, the one stream of bytes that standard C makes.
inline File file_of(const std::string& text) {
  File file(std::tmpfile());
  if (!file) {
    std::abort();
  }
  std::fwrite(text.data(), 1, text.size(), file.get());
  std::rewind(file.get());
  return file;
}

// Everything in `file` from where reading stands, an end seen or not.
inline std::string unread(std::FILE* file) {
  std::clearerr(file);
  std::string text;
  for (int c = std::getc(file); c != EOF; c = std::getc(file)) {
    text.push_back(static_cast<char>(c));
  }
  return text;
}

// Everything written to `file`, which stays open for more.
inline std::string written(std::FILE* file) {
  std::rewind(file);
  std::string text = unread(file);
  std::fseek(file, 0, SEEK_END);
  return text;
}

// Reads one answer from `text`; `rest` gets what is left unread.
inline AnswerRead read_one(const std::string& text,
                           std::string* rest = nullptr) {
  const File in = file_of(text);
  const AnswerRead answer = read_answer(in.get());
  if (rest != nullptr) {
    *rest = unread(in.get());
  }
  return answer;
}

// A whole dialogue over `in`, which stays open for what it left unread.
struct DialogueRun {
  std::string out;
  std::string err;
  int status;
};

inline DialogueRun run_dialogue(std::FILE* in) {
  const File out = file_of("");
  const File err = file_of("");
  const int status = run_calculator(in, out.get(), err.get());
  return {written(out.get()), written(err.get()), status};
}

// strtod's nearest double, clamped into the normal floats as answers are.
// Expects the C locale, the one a program starts in.
inline float reference_answer(const std::string& text) {
  const double x = std::strtod(text.c_str(), nullptr);
  const auto largest = static_cast<double>(FMAX);
  const auto smallest = static_cast<double>(std::numeric_limits<float>::min());
  const double magnitude =
      std::clamp(std::fabs(x), x == 0.0 ? 0.0 : smallest, largest);
  return static_cast<float>(std::copysign(magnitude, x));
}

// Equal, and with the same sign, so that 0 and -0 differ.
template <typename T>
bool same(T a, T b) {
  return a == b && std::signbit(a) == std::signbit(b);
}

#endif
