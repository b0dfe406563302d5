10 REM Strings built by concatenation, searched with INSTR and cut with MID$.
20 N = 0
30 L = 0
40 FOR I = 1 TO 20000
50 S$ = "name" + MID$(STR$(I), 2) + "@example.jp; other" + MID$(STR$(I * 7), 2) + "@example.com"
60 P = INSTR(S$, "@")
70 Q = INSTR(P + 1, S$, "@")
80 IF MID$(S$, Q + 1, 7) = "example" THEN N = N + 1
90 L = L + LEN(MID$(S$, P + 1, Q - P))
100 NEXT I
110 PRINT N; L
120 SYSTEM
