// The number reader: one answer at a time from the input, as a float,
// read the same way whatever the platform, its library or its locale.
#ifndef NUMBER_READER_H
#define NUMBER_READER_H

#include <iosfwd>

// utf16_text: standard input began with a UTF-16 byte-order mark.
enum class ReadStatus { number, not_a_number, input_ended, utf16_text };

struct AnswerRead {
  ReadStatus status;
  float value;  // 0 unless a number was read
};

// Flushes `out`, skips white space, then reads the longest run that forms a
// decimal number, leaving the character after it unread. The value is
// rounded to the nearest double, then clamped into the normal float range.
// Anything but a number puts `in` in its failed state.
AnswerRead read_answer(std::istream& in, std::ostream& out);

// For the very start of the input, once `out` is flushed: skips a UTF-8
// byte-order mark. A UTF-16 mark, or a mark left unfinished, puts `in` in
// its failed state and gives utf16_text or not_a_number.
ReadStatus skip_byte_order_mark(std::istream& in, std::ostream& out);

// Skips white space, then one entry: a signed integer is taken whole, and
// anything else is left where it stands. A failed `in` is left untouched.
void discard_entry(std::istream& in);

#endif
