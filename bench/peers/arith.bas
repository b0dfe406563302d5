10 REM Integer arithmetic in nested loops.
20 S = 0
30 FOR I = 1 TO 600
40 FOR J = 1 TO 600
50 S = S + (I * J) MOD 7
60 NEXT J
70 NEXT I
80 PRINT S
90 SYSTEM
