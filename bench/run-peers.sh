#!/usr/bin/env bash
# Runs the same small programs in tamberlo (release build), Lua 5.4, Python 3
# and bwBASIC side by side, several rounds, and prints a table of median wall
# times and of tamberlo's time divided by each peer's (below 1: tamberlo is
# faster). Not a test: it prints figures.
#   bench/run-peers.sh [ROUNDS]     (default 5)
# The programs are in bench/peers/NAME.{tam,lua,py,bas}; the quoting reply
# runs over a generated 5 MB mail (tamberlo: run --mail; the peers read the
# file and prefix each line).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-5}
build="$top/build/bench"
peers="$top/bench/peers"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

need=()
command -v lua5.4 >/dev/null || need+=(lua5.4)
command -v bwbasic >/dev/null || need+=(bwbasic)
command -v python3 >/dev/null || need+=(python3)
if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}" >/dev/null
fi
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAM_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target tamberlo >/dev/null
tam="$build/cli/tamberlo"
python=/usr/bin/python3  # Debian's own, not a version manager's wrapper
[ -x "$python" ] || python=$(command -v python3)

# A 5 MB mail: a plain-text body of 76-character CR LF lines.
mail="$work/mail.eml"
awk 'BEGIN {
  printf "From: bench@example.jp\r\nSubject: bench\r\nContent-Type: text/plain\r\n\r\n"
  line = "The quick brown fox jumps over the lazy dog; 0123456789 abcdefghijklmnopqrs"
  for (i = 0; i < 5 * 1048576 / 78; i++) printf "%s\r\n", line
}' >"$mail"
sed "s|MAILFILE|$mail|" "$peers/quote.bas" >"$work/quote.bas"

# command NAME LANGUAGE: the command line that runs program NAME.
command_of() {
  local extra=""
  [ "$1" = quote ] && extra="$mail"
  case "$2" in
    tamberlo)
      if [ "$1" = quote ]; then echo "$tam run --mail $mail $peers/quote.tam"; else echo "$tam run $peers/$1.tam"; fi
      ;;
    lua) echo "lua5.4 $peers/$1.lua $extra" ;;
    python) echo "$python $peers/$1.py $extra" ;;
    bwbasic)
      if [ "$1" = quote ]; then echo "bwbasic $work/quote.bas"; else echo "bwbasic $peers/$1.bas"; fi
      ;;
  esac
}

seconds() {  # wall time of one run, output discarded
  local start end
  start=$(date +%s.%N)
  $1 </dev/null >/dev/null 2>&1
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }'
}

median() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

languages="tamberlo lua python bwbasic"
programs="arith strings fib array quote"
# The answers (the last line printed; tamberlo prints the reply's header
# first) must agree before anything is timed.
answer() { $1 </dev/null | tr -d '\r' | grep . | tail -1 | tr -s ' ' ' ' | sed 's/^ //; s/ $//'; }
for p in $programs; do
  [ "$p" = quote ] && continue
  want=$(answer "$(command_of "$p" lua)")
  for l in $languages; do
    got=$(answer "$(command_of "$p" "$l")")
    [ "$got" = "$want" ] || { echo "$p in $l printed '$got', lua '$want'" >&2; exit 1; }
  done
done

declare -A times
for p in $programs; do
  for l in $languages; do times[$p.$l]=""; done
done
for round in $(seq "$rounds"); do
  for p in $programs; do
    for l in $languages; do times[$p.$l]+=" $(seconds "$(command_of "$p" "$l")")"; done
  done
done

printf '%s rounds, median wall seconds; ratio = tamberlo / peer\n\n' "$rounds"
printf '| %-8s | %8s | %8s | %8s | %8s | %8s | %8s | %8s |\n' program tamberlo lua python bwbasic 't/lua' 't/python' 't/bwbasic'
printf '|%s|%s|%s|%s|%s|%s|%s|%s|\n' ---------- ---------: ---------: ---------: ---------: ---------: ---------: ---------:
for p in $programs; do
  declare -A m
  for l in $languages; do m[$l]=$(echo "${times[$p.$l]}" | median); done
  ratio() { awk -v a="${m[tamberlo]}" -v b="$1" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
  printf '| %-8s | %8.3f | %8.3f | %8.3f | %8.3f | %8s | %8s | %8s |\n' "$p" "${m[tamberlo]}" "${m[lua]}" \
    "${m[python]}" "${m[bwbasic]}" "$(ratio "${m[lua]}")" "$(ratio "${m[python]}")" "$(ratio "${m[bwbasic]}")"
done
