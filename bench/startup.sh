#!/usr/bin/env bash
# Counts the instructions of one scripted run of the calculator, built as a
# plain Release build, and of a plain C program that asks, reads and writes
# the same with stdio, both under valgrind's callgrind and with the same
# input and an empty environment, then prints the two counts and their ratio.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source_dir="$(dirname "$here")"
work="$source_dir/build/bench"
answers="$here/answers.txt"

cmake -S "$source_dir" -B "$work/calculator" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/calculator" --target water_calculator >/dev/null
cc -std=c11 -O2 -Wall -Wextra -o "$work/reference" "$here/reference.c"

# The same work, or the comparison means nothing.
if ! cmp -s <("$work/calculator/water_calculator" <"$answers") \
            <("$work/reference" <"$answers"); then
  echo "the reference does not print what the calculator prints" >&2
  exit 1
fi

instructions() {
  env -i valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1" \
    <"$answers" 2>&1 >/dev/null | sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

calculator=$(instructions "$work/calculator/water_calculator")
reference=$(instructions "$work/reference")
printf 'calculator (C++, Release): %10d instructions\n' "$calculator"
printf 'reference (plain C):       %10d instructions\n' "$reference"
awk -v a="$calculator" -v b="$reference" \
  'BEGIN { printf "ratio:                     %10.2f\n", a / b }'
