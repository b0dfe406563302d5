#!/usr/bin/env bash
# Runs the same small programs in tamberlo (release build), Lua 5.4, Python 3
# and bwBASIC side by side, several rounds, and prints a table of median wall
# times and of tamberlo's time divided by each peer's (below 1: tamberlo is
# faster). Not a test: it prints figures.
#   bench/run-peers.sh [ROUNDS]     (default 5)
#   bench/run-peers.sh --count      instructions executed (callgrind), one run
#                                   each, bwBASIC left out: figures that a busy
#                                   machine does not move
#   PEER_PROGRAMS="fib loop" bench/run-peers.sh   only the programs named
# The programs are in bench/peers/NAME.{tam,lua,py,bas}; a peer without the
# file does not run that program ("-"). The quoting reply runs over a
# generated 5 MB mail (tamberlo: run --mail; the peers read the file and
# prefix each line).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
count=no
if [ "${1:-}" = --count ]; then
  count=yes
  shift
fi
rounds=${1:-5}
[ $count = no ] || rounds=1
build="$top/build/bench"
peers="$top/bench/peers"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

need=()
command -v lua5.4 >/dev/null || need+=(lua5.4)
command -v bwbasic >/dev/null || need+=(bwbasic)
command -v python3 >/dev/null || need+=(python3)
[ $count = no ] || command -v valgrind >/dev/null || need+=(valgrind)
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
# Empty when the language has no such program.
command_of() {
  local extra=""
  local ext
  case "$2" in tamberlo) ext=tam ;; lua) ext=lua ;; python) ext=py ;; bwbasic) ext=bas ;; esac
  [ -f "$peers/$1.$ext" ] || return 0
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

seconds() {  # wall time of one run (instructions with --count), output discarded
  local start end
  [ -n "$1" ] || { echo -; return; }
  if [ $count = yes ]; then
    valgrind --tool=callgrind --callgrind-out-file="$work/cg" $1 </dev/null 2>&1 >/dev/null |
      sed -n 's/.*Collected : *\([0-9]*\).*/\1/p'
    return
  fi
  start=$(date +%s.%N)
  $1 </dev/null >/dev/null 2>&1
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }'
}

# The median of the figures given, empty when there are none ("-").
median() { tr ' ' '\n' | awk '$1 != "" && $1 != "-"' | sort -g | awk '{ v[NR] = $1 } END { if (NR) print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

languages="tamberlo lua python bwbasic"
# bwBASIC takes minutes under callgrind and is far behind: not counted.
[ $count = no ] || languages="tamberlo lua python"
programs=${PEER_PROGRAMS:-"arith strings fib array quote fib25 loop"}
# The answers (the last line printed; tamberlo prints the reply's header
# first) must agree before anything is timed.
answer() { $1 </dev/null | tr -d '\r' | grep . | tail -1 | tr -s ' ' ' ' | sed 's/^ //; s/ $//'; }
for p in $programs; do
  [ "$p" = quote ] && continue
  want=$(answer "$(command_of "$p" lua)")
  for l in $languages; do
    c=$(command_of "$p" "$l")
    [ -n "$c" ] || continue
    got=$(answer "$c")
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

if [ $count = yes ]; then
  printf 'millions of instructions executed (callgrind), whole process; ratio = tamberlo / peer\n\n'
else
  printf '%s rounds, median wall seconds; ratio = tamberlo / peer\n\n' "$rounds"
fi
printf '| %-8s | %8s | %8s | %8s | %8s | %8s | %8s | %8s |\n' program tamberlo lua python bwbasic 't/lua' 't/python' 't/bwbasic'
printf '|%s|%s|%s|%s|%s|%s|%s|%s|\n' ---------- ---------: ---------: ---------: ---------: ---------: ---------: ---------:
for p in $programs; do
  declare -A m
  for l in tamberlo lua python bwbasic; do m[$l]=""; done
  for l in $languages; do m[$l]=$(echo "${times[$p.$l]}" | median); done
  ratio() { awk -v a="${m[tamberlo]}" -v b="$1" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
  shown() {
    if [ -z "$1" ]; then echo -
    elif [ $count = yes ]; then awk -v v="$1" 'BEGIN { printf "%.1f", v / 1e6 }'
    else awk -v v="$1" 'BEGIN { printf "%.3f", v }'; fi
  }
  printf '| %-8s | %8s | %8s | %8s | %8s | %8s | %8s | %8s |\n' "$p" "$(shown "${m[tamberlo]}")" "$(shown "${m[lua]}")" \
    "$(shown "${m[python]}")" "$(shown "${m[bwbasic]}")" "$(ratio "${m[lua]}")" "$(ratio "${m[python]}")" "$(ratio "${m[bwbasic]}")"
done
