#!/usr/bin/env bash
# Prints user CPU time (best of three) and peak memory of the engine benchmark programs, run by
# a release build of tamberlo. Not a test: it prints figures.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build/bench"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAM_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target tamberlo >/dev/null
printf '%-14s %12s %12s\n' program cpu-seconds peak-KB
for p in "$top"/bench/engine/*.tam; do
  best=""
  for round in 1 2 3; do
    out=$( { /usr/bin/time -f '%U %M' "$build/cli/tamberlo" run "$p" >/dev/null; } 2>&1 | tail -1)
    secs=${out% *}
    if [ -z "$best" ] || awk "BEGIN{exit !($secs < ${best% *})}"; then best=$out; fi
  done
  printf '%-14s %12s %12s\n' "$(basename "$p" .tam)" "${best% *}" "${best#* }"
done
