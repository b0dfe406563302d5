10 REM A recursive subroutine: fib(22), with GOSUB and its own stack of
20 REM arguments and partial sums, as classic BASIC writes recursion.
30 DIM A(50), B(50)
40 SP = 0
50 N = 22
60 GOSUB 100
70 PRINT R
80 SYSTEM
100 IF N >= 2 THEN GOTO 130
110 R = N
120 RETURN
130 SP = SP + 1
140 A(SP) = N
150 N = N - 1
160 GOSUB 100
170 B(SP) = R
180 N = A(SP) - 2
190 GOSUB 100
200 R = B(SP) + R
210 SP = SP - 1
220 RETURN
