#!/usr/bin/env bash
# The tamberlo command line as users and outside checks see it: outputs,
# messages and exit codes.
set -u
tool="$1"
. "$(dirname "$0")/check.sh"

check eval 0 $'7 (Integer)\n8 (Double)\n-1 (Integer)' "" "$tool" eval "1 + 2 * 3" "2 ^ 3" "NOT 0"
check eval-array 0 $'String (String)\nInteger (String)' "" "$tool" eval 'TYPESTRINGOF("a", 1)'
check eval-error 1 "" "No such function: FOO" "$tool" eval "FOO(1)"
check eval-usage 2 "" "usage: tamberlo eval [--utf8] [--now TIME] [--answer TEXT]... EXPRESSION..." "$tool" eval

printf 'A = 1\r\nB = FOO\r\nC = 3\r\n' >"$work/p.tam"
reply=$'To: \nSubject: Re: \nDate: Mon, 7 Dec 2026 10:00:00 +0900'  # then an empty line
check run-abort 1 "$reply" $'2\x8d\x73\x96\xda\x82\xc5\x83\x47\x83\x89\x81\x5b\x82\xc5\x82\xb7\x81\x42\nNo such function: FOO' \
  "$tool" run --now "2026-12-07 10:00:00" --tz-bias -540 "$work/p.tam"
check run-ignore-vars 1 $'OptionCount = 0 (Integer)\nAccountTitle =  (String)\nAccountUser =  (String)\nAccountAddress =  (String)\nAccountName =  (String)\nA = 1 (Integer)\nC = 3 (Integer)' \
  $'2\x8d\x73\x96\xda\x82\xc5\x83\x47\x83\x89\x81\x5b\x82\xc5\x82\xb7\x81\x42\nNo such function: FOO' \
  "$tool" run --vars --on-error ignore "$work/p.tam"
check run-utf8 1 $'OptionCount = 0 (Integer)\nAccountTitle =  (String)\nAccountUser =  (String)\nAccountAddress =  (String)\nAccountName =  (String)\nA = 1 (Integer)' $'2行目でエラーです。\nNo such function: FOO' \
  "$tool" run --utf8 --vars "$work/p.tam"

printf 'IF X\r\n' >"$work/parse.tam"
check run-parse 2 "" "Mismatch on line 1." "$tool" run "$work/parse.tam"

printf 'S = "日本語"\r\nN = LENGTH(S)\r\n' >"$work/u.tam"
check run-utf8-text 0 $'OptionCount = 0 (Integer)\nAccountTitle =  (String)\nAccountUser =  (String)\nAccountAddress =  (String)\nAccountName =  (String)\nS = 日本語 (String)\nN = 3 (Integer)' "" "$tool" run --utf8 --vars "$work/u.tam"

vars_before=$'OptionCount = 0 (Integer)\nAccountTitle =  (String)\nAccountUser =  (String)\nAccountAddress =  (String)\nAccountName =  (String)'
printf 'X = 1 \\ 0\r\n' >"$work/fault.tam"
check run-fault 1 "$vars_before" $'1行目でエラーです。\nFault: Division by zero' "$tool" run --vars --utf8 "$work/fault.tam"

check answers 0 $'はい (String)\n6 (Integer)\nd (String)' "" \
  "$tool" eval --utf8 --answer "はい" --answer "Yes" 'INPUTBOX("c", "p", "d")' 'MESSAGEBOX("q", "t", 4)' 'INPUTBOX("c", "p", "d")'
check now 0 "2026/12/07 10:00:00 (Date)" "" "$tool" eval --now "2026-12-07 10:00:00" "NOW"
"$tool" eval --now "yesterday" NOW >/dev/null 2>&1
[ $? = 2 ] || { echo "FAIL now-usage"; failures=$((failures + 1)); }
"$tool" --help | grep -q "run \[options\] PROGRAM_FILE" || { echo "FAIL help"; failures=$((failures + 1)); }
# The help follows the terminal's code set: UTF-8 where the locale says so
# (installed or not), nothing but ASCII where the code set has no Japanese.
for loc in C.UTF-8 ja_JP.UTF-8; do
  LC_ALL=$loc "$tool" --help | grep -q '"N行目でエラーです。"' || { echo "FAIL help in $loc"; failures=$((failures + 1)); }
done
[ "$(LC_ALL=C "$tool" --help | LC_ALL=C tr -d '\000-\177' | wc -c)" = 0 ] || { echo "FAIL help in C"; failures=$((failures + 1)); }
LC_ALL=C "$tool" 2>&1 | grep -q 'a Japanese line "error on line N"' || { echo "FAIL usage in C"; failures=$((failures + 1)); }
"$tool" frobnicate >/dev/null 2>&1
[ $? = 2 ] || { echo "FAIL unknown command"; failures=$((failures + 1)); }
"$tool" run --on-error sometimes "$work/p.tam" >/dev/null 2>&1
[ $? = 2 ] || { echo "FAIL bad policy"; failures=$((failures + 1)); }

# Files that are folders or cannot be read are refused with the system's reason.
check run-folder 2 "" "tamberlo run: cannot read '$work': is a folder" "$tool" run "$work"
check run-missing-mail 2 "" "tamberlo run: cannot read '$work/none.eml': No such file or directory" \
  "$tool" run --mail "$work/none.eml" "$work/p.tam"
check run-folder-bundle 2 "" "tamberlo run: cannot read '$work': is a folder" "$tool" run --bundle "$work"
# An editor's UTF-8 byte-order mark is no part of the first line.
printf '\xef\xbb\xbfA = 1\n' >"$work/bom.tam"
check run-bom 0 "$vars_before"$'\nA = 1 (Integer)' "" "$tool" run --utf8 --vars "$work/bom.tam"
check check-ok 0 "" "" "$tool" check --utf8 "$work/bom.tam"
check check-parse 1 "" "$work/bom.tam: warning: this looks like UTF-8 text, but is read as Shift-JIS: give --utf8
$work/parse.tam: Mismatch on line 1." "$tool" check "$work/bom.tam" "$work/parse.tam"
check sin-large 0 $'0.971310175792939 (Double)\n-0.852200849767189 (Double)' "" "$tool" eval "SIN(-2147483648)" "SIN(10000000000000000000000)"
"$tool" --version | grep -q "Ver\." || { echo "FAIL version"; failures=$((failures + 1)); }
for sub in run eval settings check; do
  "$tool" $sub --help | grep -q "$sub" || { echo "FAIL $sub --help"; failures=$((failures + 1)); }
done
"$tool" --help | grep -q "a fault" || { echo "FAIL help on --on-error"; failures=$((failures + 1)); }

# Shift-JIS shown on a terminal of another code set gets a note on how to see
# it; output to a pipe or with --utf8 gets none.
printf 'PRINT("\x82\xa0")\r\n' >"$work/sjis.tam"
printf '#!/bin/sh\nexec "%s" "$@" 2>&1\n' "$tool" >"$work/both.sh"
chmod +x "$work/both.sh"
if command -v script >/dev/null; then
  LC_ALL=C.UTF-8 script -qc "'$work/both.sh' run '$work/sjis.tam'" /dev/null >"$work/tty"
  grep -q "the text above is Shift-JIS, as the mail client stores it; give --utf8" "$work/tty" ||
    { echo "FAIL Shift-JIS note"; failures=$((failures + 1)); }
  LC_ALL=C.UTF-8 script -qc "'$work/both.sh' run --utf8 '$work/sjis.tam'" /dev/null >"$work/tty"
  grep -q "Shift-JIS" "$work/tty" && { echo "FAIL Shift-JIS note with --utf8"; failures=$((failures + 1)); }
fi
LC_ALL=C.UTF-8 "$tool" run "$work/sjis.tam" 2>&1 | grep -q "Shift-JIS" && { echo "FAIL Shift-JIS note in a pipe"; failures=$((failures + 1)); }

# Memory that runs out while the mail is read ends the tool with a message.
head -c 60000000 /dev/zero | tr '\0' 'a' >"$work/big.eml"
if (ulimit -v 100000 && "$tool" --version) >/dev/null 2>&1; then  # sanitizer builds need more address space
  check out-of-memory 1 "" "Out of memory." sh -c "ulimit -v 100000; exec \"\$0\" run --mail '$work/big.eml' '$work/p.tam'" "$tool"
fi
rm -f "$work/big.eml"

[ "$failures" = 0 ] && echo "all command-line checks passed"
exit "$failures"
