#!/usr/bin/env bash
# tamberlo run as a reply run: the reply on stdout, errors on stderr, exit codes.
set -u
tool="$1"
mails="$2"
. "$(dirname "$0")/check.sh"
clock=(--now "2026-12-06 09:05:03" --tz-bias -540)

printf 'From: a@example.com\r\nSubject: Hi\r\n\r\nHello,\nsee you.\r\n' >"$work/m.eml"
printf 'QUOTE("> ")\r\n' >"$work/quote.txt"
check quote 0 $'To: a@example.com\nSubject: Re: Hi\nDate: Sun, 6 Dec 2026 09:05:03 +0900\n\n> Hello,\n> see you.' "" \
  "$tool" run --utf8 --now "2026-12-06 09:05:03" --tz-bias -540 --mail "$work/m.eml" "$work/quote.txt"

# A reply of several hundred kilobytes arrives whole and in order.
awk 'BEGIN { printf "From: a@example.com\r\nSubject: Hi\r\n\r\n"; for (i = 1; i <= 20000; i++) printf "line %d\r\n", i }' >"$work/big.eml"
big=$'To: a@example.com\nSubject: Re: Hi\nDate: Sun, 6 Dec 2026 09:05:03 +0900\n\n'$(awk 'BEGIN { for (i = 1; i <= 20000; i++) print "> line " i }')
check big 0 "$big" "" "$tool" run "${clock[@]}" --mail "$work/big.eml" "$work/quote.txt"
check big-utf8 0 "$big" "" "$tool" run --utf8 "${clock[@]}" --mail "$work/big.eml" "$work/quote.txt"
# A line longer than a write block, between short ones.
long=$(awk 'BEGIN { while (n++ < 70000) printf "x" }')
printf 'From: a@example.com\r\nSubject: Hi\r\n\r\nbefore\r\n%s\r\nafter\r\n' "$long" >"$work/long.eml"
check long-line 0 $'To: a@example.com\nSubject: Re: Hi\nDate: Sun, 6 Dec 2026 09:05:03 +0900\n\n> before\n> '"$long"$'\n> after' "" \
  "$tool" run "${clock[@]}" --mail "$work/long.eml" "$work/quote.txt"

# A mail read from a pipe or from an empty file, not from a file of bytes.
check quote-pipe 0 $'To: a@example.com\nSubject: Re: Hi\nDate: Sun, 6 Dec 2026 09:05:03 +0900\n\n> Hello,\n> see you.' "" \
  sh -c 'cat "$2" | "$0" run --now "2026-12-06 09:05:03" --tz-bias -540 --mail /dev/stdin "$1"' "$tool" "$work/quote.txt" "$work/m.eml"
: >"$work/empty.eml"
check quote-empty 0 $'To: \nSubject: Re: \nDate: Sun, 6 Dec 2026 09:05:03 +0900' "" \
  "$tool" run "${clock[@]}" --mail "$work/empty.eml" "$work/quote.txt"

# Lines that hold a break of their own and empty lines come out as printed.
printf 'PRINT("a" & CHR(10) & "b")\r\nPRINT("")\r\nQUOTE("")\r\nPRINT("c")\r\n' >"$work/breaks.txt"
check inner-breaks 0 $'To: a@example.com\nSubject: Re: Hi\nDate: Sun, 6 Dec 2026 09:05:03 +0900\n\na\nb\n\nHello,\nsee you.\nc' "" \
  "$tool" run "${clock[@]}" --mail "$work/m.eml" "$work/breaks.txt"

# Shift-JIS in, Shift-JIS out; with --utf8 the output is UTF-8.
printf 'PRINT(REFGETBODY(0))\r\n' >"$work/first.txt"
check sjis 0 "$(printf 'To: reply@example.jp\nSubject: Re: Re: \x89\xef\x8b\x63\x82\xcc\x8c\x8f\nDate: Sun, 6 Dec 2026 09:05:03 +0900\n\n\x89\xd4\x8e\x71\x82\xb3\x82\xf1')" "" \
  "$tool" run "${clock[@]}" --mail "$mails/japanese.eml" "$work/first.txt"
iconv -f CP932 -t UTF-8 "$mails/japanese.eml" >"$work/japanese-utf8.eml"
check utf8 0 $'To: reply@example.jp\nSubject: Re: Re: 会議の件\nDate: Sun, 6 Dec 2026 09:05:03 +0900\n\n花子さん' "" \
  "$tool" run --utf8 "${clock[@]}" --mail "$work/japanese-utf8.eml" "$work/first.txt"

# The predefined variables; an assignment to one is refused.
printf 'AccountName = "x"\r\nN = OptionCount\r\n' >"$work/vars.txt"
check vars 1 $'Option(0) = a (String)\nOption(1) = b (String)\nOptionCount = 2 (Integer)\nAccountTitle = t (String)\nAccountUser = u (String)\nAccountAddress = u@example.jp (String)\nAccountName = 佐藤 (String)\nN = 2 (Integer)' \
  $'1行目でエラーです。\nAccountName is read-only.' \
  "$tool" run --utf8 --vars --on-error ignore --option " a  b " --account-title t --account-user u \
  --account-address u@example.jp --account-name 佐藤 "$work/vars.txt"

# Errors: abort keeps the reply built so far; a fault ends the run.
printf 'PRINT("one")\r\nX = NOSUCH\r\nPRINT("three")\r\n' >"$work/error.txt"
check abort 1 $'To: a@example.com\nSubject: Re: Hi\nDate: Sun, 6 Dec 2026 09:05:03 +0900\n\none' \
  $'2行目でエラーです。\nNo such function: NOSUCH' "$tool" run --utf8 "${clock[@]}" --mail "$work/m.eml" "$work/error.txt"
check ignore 1 $'To: a@example.com\nSubject: Re: Hi\nDate: Sun, 6 Dec 2026 09:05:03 +0900\n\none\nthree' \
  $'2行目でエラーです。\nNo such function: NOSUCH' \
  "$tool" run --utf8 --on-error ignore "${clock[@]}" --mail "$work/m.eml" "$work/error.txt"
printf 'PRINT("kept")\r\nX = 1 \\ 0\r\nPRINT("never")\r\n' >"$work/fault.txt"
check fault 1 $'To: \nSubject: Re: \nDate: Sun, 6 Dec 2026 09:05:03 +0900\n\nkept' \
  $'2行目でエラーです。\nFault: Division by zero' "$tool" run --utf8 "${clock[@]}" --mail /dev/null "$work/fault.txt"
printf 'IF X\r\n' >"$work/parse.txt"
check parse 2 "" "Mismatch on line 1." "$tool" run "${clock[@]}" --mail "$work/m.eml" "$work/parse.txt"

# A debug bundle brings mail, program, option and account; options given
# on the command line win.
printf '[Mail]\r\nFrom: b@example.com\r\nSubject: S\r\n\r\nbody\r\n[Program]\r\nPRINT(Option(0), AccountName)\r\nQUOTE("|")\r\n[Option]\r\nopt\r\n[AccountTitle]\r\n\r\n[AccountUser]\r\n\r\n[AccountAddress]\r\n\r\n[AccountName]\r\nNm\r\n' >"$work/bundle.tmp"
check bundle 0 $'To: b@example.com\nSubject: Re: S\nDate: Sun, 6 Dec 2026 09:05:03 +0900\n\noptNm\n|body' "" \
  "$tool" run "${clock[@]}" --bundle "$work/bundle.tmp"
check bundle-override 0 $'To: b@example.com\nSubject: Re: S\nDate: Sun, 6 Dec 2026 09:05:03 +0900\n\nzNm\n|body' "" \
  "$tool" run "${clock[@]}" --option z --bundle "$work/bundle.tmp"

check bundle-and-program 2 "" "tamberlo run: give either a program file or --bundle FILE" \
  "$tool" run --bundle "$work/bundle.tmp" "$work/quote.txt"
check bad-bias 2 "" "tamberlo run: --tz-bias takes minutes between -1440 and 1440 (Japan: -540)" \
  "$tool" run --tz-bias 9x "$work/quote.txt"
# A folder is no mail, and a missing mail is named with the reason.
check mail-folder 2 "" "tamberlo run: cannot read '$work': is a folder" \
  "$tool" run "${clock[@]}" --mail "$work" "$work/quote.txt"
check no-mail 2 "" "tamberlo run: cannot read '$work/none.eml': No such file or directory" \
  "$tool" run --mail "$work/none.eml" "$work/quote.txt"

[ "$failures" = 0 ] && echo "all reply command-line checks passed"
exit "$failures"
