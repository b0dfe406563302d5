#!/usr/bin/env bash
# Prints the instructions (callgrind) and allocations (valgrind) per unit of
# work of the two engine programs that measure calls and loop passes, run by
# a release build of tamberlo, less what a one-line program costs (the
# start). Instruction counts travel between machines; wall times do not.
#   bench/run-engine-counts.sh [BUILD_DIR]   (default build/bench)
# Not a test: it prints figures.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/bench}
command -v valgrind >/dev/null || { echo "valgrind is needed (apt-get install valgrind)" >&2; exit 1; }
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAM_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target tamberlo >/dev/null
tam="$build/cli/tamberlo"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo 'X = 1' >"$work/start.tam"

instructions() {
  valgrind --tool=callgrind --callgrind-out-file="$work/cg" "$tam" run "$1" 2>&1 >/dev/null |
    sed -n 's/.*Collected : *\([0-9]*\).*/\1/p'
}
allocations() {
  valgrind "$tam" run "$1" 2>&1 >/dev/null | sed -n 's/.*total heap usage: *\([0-9,]*\) allocs.*/\1/p' | tr -d ,
}

start_i=$(instructions "$work/start.tam")
start_a=$(allocations "$work/start.tam")
# program, units of work: fib(20) makes 21,891 calls; the loop runs 100,000 passes.
printf '%-10s %10s %16s %16s\n' program units instructions/unit allocations/unit
for entry in "fib 21891" "text_loop 100000"; do
  set -- $entry
  i=$(instructions "$top/bench/engine/$1.tam")
  a=$(allocations "$top/bench/engine/$1.tam")
  awk -v n="$1" -v u="$2" -v i="$i" -v si="$start_i" -v a="$a" -v sa="$start_a" \
    'BEGIN { printf "%-10s %10d %16.0f %16.2f\n", n, u, (i - si) / u, (a - sa) / u }'
done
