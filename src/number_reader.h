// The number reader: one answer at a time from the input, as a float,
// read the same way whatever the platform, its library or its locale.
#ifndef NUMBER_READER_H
#define NUMBER_READER_H

#include <cstdio>
#include <optional>

// answered: a number was read. utf16_text: the input is UTF-16, by its
// byte-order mark or by a NUL right after a number, as UTF-16 without a
// mark writes one. read_failed: the input gave out because reading it
// failed, which the reader takes for its end (input_ended); the dialogue
// tells the two apart by the stream's error indicator.
enum class AnswerStatus {
  answered,
  not_a_number,
  input_ended,
  utf16_text,
  read_failed
};

struct AnswerRead {
  AnswerStatus status;
  float value;  // 0 unless answered
};

// Skips white space, then reads a decimal number, which must end at white
// space or at the end of the input: "10ft", "10,5" and "1.2.3" are not
// numbers. The value is rounded to the nearest double, then clamped into
// the normal float range. Input that has ended or failed gives nothing
// more, to this or to any later read. Never gives read_failed.
AnswerRead read_answer(std::FILE* in);

// Looks for a byte-order mark where the input starts: a UTF-8 one, as
// Notepad writes, is skipped (nothing is refused); a UTF-16 one gives
// utf16_text, and one left unfinished not_a_number.
std::optional<AnswerStatus> refuse_byte_order_mark(std::FILE* in);

// Skips white space, then one entry: a signed integer is taken whole, and
// anything else is left where it stands. Input that has ended or failed is
// left untouched.
void discard_entry(std::FILE* in);

// Drops the rest of the line, its newline included. Input that has ended
// or failed is left untouched.
void discard_line(std::FILE* in);

#endif
