10 REM The quoting reply: every line of the mail file, prefixed with "> ".
20 REM The bench script puts the file's name in place of MAILFILE.
30 OPEN "I", #1, "MAILFILE"
40 IF EOF(1) THEN GOTO 80
50 LINE INPUT #1, L$
60 PRINT "> "; L$
70 GOTO 40
80 CLOSE #1
90 SYSTEM
