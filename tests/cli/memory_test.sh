#!/usr/bin/env bash
# Memory that runs out anywhere from reading the files to printing the reply
# ends the tool with "Out of memory." and exit 1, never with an abort: the
# tool runs under several address-space limits over a large mail, a mail of
# many lines, and programs that build huge texts.
set -u
tool="$1"
. "$(dirname "$0")/check.sh"

if ! (ulimit -v 100000 && "$tool" --version) >/dev/null 2>&1; then
  echo "skipped: the sanitizer build needs more address space than the limits leave"
  exit 0
fi

head -c 60000000 /dev/zero | tr '\0' 'a' >"$work/big.eml"
awk 'BEGIN { printf "From: a@example.com\r\nSubject: Hi\r\n\r\n"; for (i = 1; i <= 300000; i++) printf "line %d of the body, with some text\r\n", i }' >"$work/lines.eml"
printf 'S = "x"\r\nFOR I = 1 TO 40\r\n  S = S & S\r\nNEXT\r\nPRINT(S)\r\n' >"$work/double.tam"
printf 'S = "x"\r\nFOR I = 1 TO 25\r\n  S = S & S\r\nNEXT\r\nFOR J = 1 TO 12\r\n  PRINT(S)\r\nNEXT\r\n' >"$work/print.tam"
printf 'QUOTE("> ")\r\nQUOTE("> ")\r\nB = REFGETBODYSTRING\r\nC = B & B & B\r\n' >"$work/quote.tam"

runs=0
for limit in 30000 90000 250000; do
  for args in "run $work/double.tam" "run --utf8 --on-error ignore $work/print.tam" \
    "run --mail $work/big.eml --utf8 $work/double.tam" "run --mail $work/lines.eml $work/quote.tam" \
    "run --utf8 --vars --mail $work/lines.eml $work/quote.tam" "check $work/big.eml"; do
    # shellcheck disable=SC2086
    (ulimit -v $limit && exec "$tool" $args) >/dev/null 2>"$work/err"
    code=$?
    last=$(tail -n 1 "$work/err")
    runs=$((runs + 1))
    if [ "$code" -gt 1 ] || { [ "$code" = 1 ] && [ "$last" != "Out of memory." ]; }; then
      echo "FAIL under ulimit -v $limit: tamberlo $args: exit $code, last message: $last"
      failures=$((failures + 1))
    fi
  done
  (ulimit -v $limit && exec "$tool" eval 'LENGTH(STRINGREPEAT("ab", 30000000) & STRINGREPEAT("cd", 30000000))') \
    >/dev/null 2>"$work/err"
  code=$?
  if [ "$code" != 0 ] && [ "$(tail -n 1 "$work/err")" != "Out of memory." ]; then
    echo "FAIL under ulimit -v $limit: eval: exit $code, $(tail -n 1 "$work/err")"
    failures=$((failures + 1))
  fi
done
# Memory so short that the program barely starts, where even the exception
# that tells it cannot be made: the message still comes (or the system's
# loader refuses to start the program at all).
for limit in $(seq 5800 100 7400); do
  for args in "--version" "run $work/double.tam"; do
    # shellcheck disable=SC2086
    (ulimit -v $limit && exec "$tool" $args) >/dev/null 2>"$work/err"
    code=$?
    runs=$((runs + 1))
    case "$code:$(tail -n 1 "$work/err")" in
      # 127: the system's loader could not start the program (shared
      # libraries, thread data); the tool itself never ends so.
      0:* | "1:Out of memory." | 127:*) ;;
      *)
        echo "FAIL under ulimit -v $limit: tamberlo $args: exit $code, $(tail -n 1 "$work/err")"
        failures=$((failures + 1))
        ;;
    esac
  done
done
# The smallest limit does run out: the message is there.
check double-text 1 "" $'3\x8d\x73\x96\xda\x82\xc5\x83\x47\x83\x89\x81\x5b\x82\xc5\x82\xb7\x81\x42\nOut of memory.' \
  sh -c 'ulimit -v 30000; exec "$0" run "$1" >/dev/null' "$tool" "$work/double.tam"
check big-mail 1 "" "Out of memory." sh -c 'ulimit -v 30000; exec "$0" run --mail "$1" "$2"' "$tool" "$work/big.eml" "$work/quote.tam"

# Thousands of nested calls in a program of many loops: each call holds
# records of its own loops only, so the run needs little memory.
awk 'BEGIN { for (i = 0; i < 1500; i++) printf "FOR J%d = 1 TO 1\r\nNEXT\r\n", i
  printf "PRINT(F(3900))\r\nFUNCTION F(N)\r\nFOR K = 1 TO 1\r\nNEXT\r\nIF N = 0\r\nRESULT 0\r\nELSE\r\n"
  printf "RESULT F(N - 1) + 1\r\nENDIF\r\nENDFUNCTION\r\n" }' >"$work/deep.tam"
check deep-calls 0 "3900" "" sh -c 'ulimit -v 100000; "$0" run "$1" | tail -n 1 | tr -d "\r"' "$tool" "$work/deep.tam"

[ "$failures" = 0 ] && echo "all $runs memory-limit runs ended soundly"
exit "$failures"
