10 REM Array elements written and read in a loop.
20 DIM T(20000)
30 FOR I = 1 TO 20000
40 T(I) = I * 2
50 NEXT I
60 S = 0
70 FOR I = 1 TO 20000
80 S = S + T(I)
90 NEXT I
100 PRINT S
110 SYSTEM
