' Several statements on a line, separated by ':'
x = 1 : y = 2 : SHOWSCREEN : REM the rest is a comment: 100% so
FOR i = 1 TO 3 : x = x + i : NEXT i
IF x > 3 THEN x = 0 : y = y + 1 ELSE y = 0 : x = 1
IF y THEN PRINT "y", 0, 0 : REM a comment after a branch
again: x = x - 1 : IF x > 0 THEN GOTO again
WHILE x < 3 : x = x + 1 : WEND :
GOSUB tick : END
SUB tick:
  y = y * 2 : RETURN
ENDSUB
