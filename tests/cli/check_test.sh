#!/usr/bin/env bash
# tamberlo check: structure errors, and warnings about what parses but is
# almost certainly a mistake; warnings change the exit code only with --strict.
set -u
tool="$1"
. "$(dirname "$0")/check.sh"

# Loops the pass limit cuts short, conditions that are never true, names
# read before anything assigns them.
cat >"$work/w.tam" <<'PROGRAM'
FOR I = 1 TO 1000
NEXT
FOR K = 0 TO 10 STEP 0.05
NEXT
N = 0
DO WHILE N < 300
  N = N + 1
LOOP
M = 500
DO
  M = M - 2
LOOP UNTIL M <= 0
P = 0
DO MAX 500
  P = P + 1
LOOP
IF 1
ELSEIF "yes"
ELSEIF N = 1 THEN
ENDIF
X = Totl + 1
FUNCTION F(A)
  RESULT A + B + OptionCount
ENDFUNCTION
IF N = 1 AND M = 2
ENDIF
Same = N = M
IF N > 1
ELSE IF N = 0
ENDIF
PROGRAM
limit="but a loop without MAX stops after 100 passes, silently"
counting="silently: a line without MAX allows 100 passes and the smaller MAX counts"
inside="(a function sees only its parameters and its own variables)"
want="$work/w.tam:1: warning: this loop would make 1000 passes, $limit; write \"FOR I = 1 TO 1000 MAX 1000\"
$work/w.tam:3: warning: this loop would make 201 passes, $limit; write \"FOR K = 0 TO 10 STEP 0.05 MAX 201\"
$work/w.tam:6: warning: this loop would make 300 passes, but it stops after 100, $counting; add \"MAX 300\" to this DO line and to its LOOP line (line 8)
$work/w.tam:10: warning: this loop would make 250 passes, but it stops after 100, $counting; add \"MAX 250\" to this DO line and to its LOOP line (line 12)
$work/w.tam:14: warning: MAX 500 counts only when the LOOP line (line 16) says MAX as well: a line without MAX allows 100 passes and the smaller counts, so this loop stops after 100; add \"MAX 500\" to line 16
$work/w.tam:17: warning: IF 1 never takes its branch: only the Boolean true counts, and 1 is a number; write a comparison such as \"IF X <> 0\"
$work/w.tam:18: warning: ELSEIF \"yes\" never takes its branch: only the Boolean true counts, and \"yes\" is a text; write a comparison such as \"ELSEIF X <> 0\"
$work/w.tam:19: warning: there is no THEN: the condition ends at the line's end; write \"ELSEIF N = 1\"
$work/w.tam:21: warning: Totl is read before anything assigns it, so the run stops here with \"No such function: Totl\"; assign it first, or check its spelling
$work/w.tam:23: warning: B is read before anything assigns it in FUNCTION F $inside, so the run stops here with \"No such function: B\"; assign it first, or check its spelling
$work/w.tam:23: warning: OptionCount is not seen inside FUNCTION F: a function sees only its parameters and its own variables; pass it as a parameter
$work/w.tam:25: warning: comparisons bind weaker than AND, OR and arithmetic and do not chain, so one comparison here compares the result of another; put each comparison in parentheses, such as \"(A = 1) AND (B = 2)\"
$work/w.tam:27: warning: a line is split at its last \"=\", so this assigns to a variable named \"Same = N\"; to store a comparison write \"Same = (N = M)\"
$work/w.tam:29: warning: ELSE takes no condition, so \"ELSE IF N = 0\" is a plain ELSE and \"IF N = 0\" is not read; write \"ELSEIF N = 0\""
check warnings 0 "" "$want" "$tool" check "$work/w.tam"
check warnings-strict 1 "" "$want" "$tool" check --strict "$work/w.tam"

# What is sound gives no warning: predefined variables, parameters, names
# assigned by FOR, by several targets, as elements, or in an earlier pass of
# the loop; functions of every library; loops within their limit or with MAX
# on both lines; loops whose passes the text cannot tell.
cat >"$work/sound.tam" <<'PROGRAM'
' every name here is known when it is read
N = OptionCount + LENGTH(AccountTitle & AccountUser & AccountAddress & AccountName)
IF OptionCount > 0
  First = Option(0)
ENDIF
FOR I = 1 TO 100
  IF I > 1
    Sum = Sum + Prev
  ELSE
    Sum = 0
  ENDIF
  Prev = I
NEXT
FOR J = 1 TO 1000 MAX 1000
NEXT
FOR K = 1 TO REFGETBODYCOUNT MAX 1000
NEXT
FOR L = 10 TO 1 STEP -1
NEXT
FOR Z = 1 TO 5 STEP 0
NEXT
Y, M, D = DECODEDATE(NOW)
T(1) = Y
C = 0
DO WHILE C < 1000 MAX 1000
  C = C + 1
LOOP MAX 1000
E = 0
DO WHILE E < 1000
  E = E + 1
  IF E = 50
    EXIT
  ENDIF
LOOP
G = 0
DO UNTIL G >= 1000
  IF M > 0
    G = G + 1
  ENDIF
LOOP
H = 0
DO WHILE H < 100
  H = H + 1
LOOP
IF (1 = 1) AND TRUE
ENDIF
FUNCTION Add(A, B)
  Local = A + B
  RESULT Local, Add2(Local)
ENDFUNCTION
FUNCTION Add2(A)
  RESULT A
ENDFUNCTION
S = Add(1, 2) + EVALUATE("1+2") + Add2
PRINT(CITE("T", 1, 1), M, D, First, Sum, N, S)
IF (C = 1) AND (E = 2) OR C < E
ENDIF
Flag = ((C = E) = TRUE)
PROGRAM
check sound 0 "" "" "$tool" check --strict "$work/sound.tam"

# The parse error stays as it was; with --utf8 names and messages are UTF-8.
printf 'IF X\r\n' >"$work/parse.tam"
check parse 1 "" "$work/parse.tam: Mismatch on line 1." "$tool" check "$work/sound.tam" "$work/parse.tam"
printf '合計 = 小計 + 1\n' >"$work/名前.tam"
check utf8 0 "" "$work/名前.tam:1: warning: 小計 is read before anything assigns it, so the run stops here with \"No such function: 小計\"; assign it first, or check its spelling" \
  "$tool" check --utf8 "$work/名前.tam"
# A UTF-8 program read as Shift-JIS is named, before the error it causes.
printf 'S = "日本語"\r\n' >"$work/utf8.tam"
check utf8-hint 1 "" "$work/utf8.tam: warning: this looks like UTF-8 text, but is read as Shift-JIS: give --utf8
$work/utf8.tam: Unmatched quotation on line 1." "$tool" check "$work/utf8.tam"
check utf8-run-hint 2 "" "tamberlo run: '$work/utf8.tam' looks like UTF-8 text, but is read as Shift-JIS: give --utf8
Unmatched quotation on line 1." "$tool" run "$work/utf8.tam"
check utf8-eval-hint 1 "" $'No such function: "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e", 2\ntamberlo eval: the expression looks like UTF-8 text, but is read as Shift-JIS: give --utf8' \
  "$tool" eval 'LEFT("日本語", 2)'
# Many loops, many names and deep nesting are checked in bounded time, each
# unknown name told once.
awk 'BEGIN { printf "DO\r\n"; for (k = 0; k < 20000; k++) printf "X%d = Y%d + Z + W\r\nI = 0\r\nDO WHILE I < 900000\r\nI = I + 1\r\nLOOP\r\n", k, k % 100;
             printf "Z = 1\r\nLOOP\r\n"; for (k = 0; k < 5000; k++) printf "IF W\r\n"; for (k = 0; k < 5000; k++) printf "ENDIF\r\n" }' >"$work/many.tam"
timeout 60 "$tool" check "$work/many.tam" 2>"$work/err"
[ $? = 0 ] && [ "$(grep -c "is read before anything assigns it" "$work/err")" = 101 ] ||
  { echo "FAIL many: $(wc -l <"$work/err") lines"; failures=$((failures + 1)); }
check usage 2 "" "usage: tamberlo check [--utf8] [--strict] PROGRAM..." "$tool" check --strict

[ "$failures" = 0 ] && echo "all check command-line checks passed"
exit "$failures"
