#!/usr/bin/env bash
# Counts the instructions of one scripted run of the calculator, built as a
# plain Release build (statically linked where the platform allows), and of
# a plain C program that asks, reads and writes the same with stdio, linked
# dynamically as C programs usually are and statically as the calculator
# is, all under valgrind's callgrind with the same input and an empty
# environment, then prints the counts and the ratio to each reference.
# Where emscripten, Chromium and tests/web's npm packages are at hand, it
# then builds the page and prints its size, raw and gzipped, and, from
# headless Chromium, the time it takes to show its first question beside
# the time a blank page takes to open.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source_dir="$(dirname "$here")"
work="$source_dir/build/bench"
answers="$here/answers.txt"

cmake -S "$source_dir" -B "$work/calculator" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/calculator" --target water_calculator >/dev/null
cc -std=c11 -O2 -Wall -Wextra -o "$work/reference" "$here/reference.c"
cc -std=c11 -O2 -Wall -Wextra -static -o "$work/reference-static" \
  "$here/reference.c"

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
dynamic=$(instructions "$work/reference")
static=$(instructions "$work/reference-static")
printf 'calculator (C++, Release):  %10d instructions\n' "$calculator"
printf 'reference (C, dynamic):     %10d instructions\n' "$dynamic"
printf 'reference (C, static):      %10d instructions\n' "$static"
awk -v a="$calculator" -v b="$dynamic" -v c="$static" 'BEGIN {
  printf "ratio to the dynamic one:   %10.2f\n", a / b
  printf "ratio to the static one:    %10.2f\n", a / c
}'

if ! command -v em++ >/dev/null || [[ ! -x /usr/bin/chromium ]] ||
    [[ ! -d $source_dir/tests/web/node_modules/puppeteer-core ]]; then
  echo "page: skipped (needs emscripten, chromium and npm ci in tests/web)"
  exit 0
fi
(cd "$source_dir" && cmake --preset web >/dev/null &&
  cmake --build --preset web --target web_page >/dev/null)
page="$source_dir/build/web/index.html"
printf 'page:                       %10d bytes\n' "$(wc -c <"$page")"
printf 'page, gzipped (-9):         %10d bytes\n' "$(gzip -9c "$page" | wc -c)"
node "$here/page_startup.mjs" "$page"
