#!/usr/bin/env bash
# Prints the lines of the program (the sources built into the executables), the lines of
# the tests (test sources, fuzz harnesses and test support) and their ratio.
#   --check  exits non-zero when the tests exceed 0.40 of the program's lines
set -euo pipefail
cd "$(dirname "$0")/.."

count_lines() {
  find "$@" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 cat | wc -l
}

program=$(count_lines app display grapher help logging meter platform sim ui)
tests=$(count_lines tests)
ratio=$(awk -v t="$tests" -v p="$program" 'BEGIN { printf "%.3f", t / p }')

echo "program lines: $program"
echo "test lines:    $tests"
echo "ratio:         $ratio (limit 0.40)"

if [ "${1:-}" = "--check" ] && awk -v t="$tests" -v p="$program" 'BEGIN { exit !(t > 0.40 * p) }'; then
  echo "test lines exceed 0.40 of program lines" >&2
  exit 1
fi
