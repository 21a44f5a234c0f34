#!/usr/bin/env bash
# Counts the instructions of one scripted run of the calculator, built as a
# plain Release build (statically linked where the platform allows), and of
# a plain C program that asks, reads and writes the same with stdio, linked
# dynamically as C programs usually are and statically as the calculator
# is, all under valgrind's callgrind with the same input and an empty
# environment, then prints the counts and the ratio to each reference.
# Where emscripten, Chromium and the npm packages of web/ and tests/web are
# at hand, it then builds the page, and the C program in a page of the same
# design, prints their sizes, raw and gzipped, and times them in headless
# Chromium beside a blank page (bench/page_startup.mjs).
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
    [[ ! -d $source_dir/web/node_modules/google-closure-compiler ]] ||
    [[ ! -d $source_dir/tests/web/node_modules/puppeteer-core ]]; then
  echo "pages: skipped (needs emscripten, chromium, and npm ci in web and tests/web)"
  exit 0
fi
(cd "$source_dir" && cmake --preset web >/dev/null &&
  cmake --build --preset web --target web_page reference_page >/dev/null &&
  cmake --install build/web --prefix "$work/site" >/dev/null)
reference="$source_dir/build/web/bench/index.html"
for page in "$work/site/index.html" "$reference"; do
  printf '%s: %d bytes, %d gzipped (-9)\n' "${page#"$source_dir"/}" \
    "$(wc -c <"$page")" "$(gzip -9c "$page" | wc -c)"
done
node "$here/page_startup.mjs" "$work/site" "$reference"
