' Every kind of statement, each checked by the program itself: the square
' at the top left turns green when every check passed, red otherwise, and
' the number of failed checks is printed beside it. With "array" on the
' command line the program ends on an array index out of bounds instead,
' with "expression" on one inside an expression in a loop.
KV_RESX = 320
KV_RESY = 240
KV_FULLSCREEN = 0
KV_CAPTION = "statements"
failed = 0
' FOR with a negative STEP, NEXT with its variable
s = 0
FOR i = 10 TO 1 STEP -3
  s = s + i
NEXT i
IF s <> 22 THEN failed = failed + 1
' WHILE with BREAK and CONTINUE
s = 0
n = 0
WHILE 1
  n = n + 1
  IF n > 10 THEN BREAK
  IF MOD(n, 2) = 0 THEN CONTINUE
  s = s + n
WEND
IF s <> 25 THEN failed = failed + 1
' REPEAT ... UNTIL
n = 0
REPEAT
  n = n + 2
UNTIL n >= 7
IF n <> 8 THEN failed = failed + 1
' IF ... ELSEIF ... ELSE ... ENDIF
FOR k = 1 TO 3
  IF k = 1
    a = 10
  ELSEIF k = 2
    a = a + 20
  ELSE
    a = a + 300
  ENDIF
NEXT
IF a <> 330 THEN failed = failed + 1
' Operators and precedence
IF 2 + 3 * 4 <> 14 OR (2 + 3) * 4 <> 20 OR 7 / 2 <> 3.5 OR -2 * -3 <> 6 THEN failed = failed + 1
IF NOT (1 < 2 AND 2 <= 2 AND 3 > 2 AND 3 >= 3 AND 1 <> 2) THEN failed = failed + 1
IF (1 = 1) + (2 = 2) <> 2 THEN failed = failed + 1
' Strings: appending, comparing, commands
t$ = "Level" + " " + 3
IF t$ <> "Level 3" OR LEN(t$) <> 7 OR MID$(t$, 6, 1) <> "3" THEN failed = failed + 1
IF "abc" >= "abd" OR VAL("12.5x") <> 12.5 THEN failed = failed + 1
' Arrays of numbers and strings, two dimensions
DIM m[3][4]
DIM w$[2]
FOR i = 0 TO 2
  FOR j = 0 TO 3
    m[i][j] = i * 10 + j
  NEXT
NEXT
w$[1] = "zwei"
IF m[2][3] <> 23 OR BOUNDS(m, 1) <> 4 OR w$[1] + w$[0] <> "zwei" THEN failed = failed + 1
' GOSUB, RETURN and GOTO
calls = 0
GOSUB count_twice
IF calls <> 2 THEN failed = failed + 1
n = 0
again:
n = n + 1
IF n < 5 THEN GOTO again
IF n <> 5 THEN failed = failed + 1
' Commands that store into variables
BOXCOLL hit, 0, 0, 10, 10, 5, 5, 10, 10
IF hit <> 1 THEN failed = failed + 1
'
IF GETCOMMANDLINE$ = "array" THEN m[3][0] = 1
IF GETCOMMANDLINE$ = "expression" THEN GOSUB read_past_the_end
FOR frame = 1 TO 5
  IF failed = 0 THEN FILLRECT 0, 0, 40, 40, 65280 ELSE FILLRECT 0, 0, 40, 40, 255
  PRINT failed, 50, 10
  SHOWSCREEN
NEXT
END
'
SUB count_twice:
  calls = calls + 1
  IF calls >= 2 THEN RETURN
  GOSUB count_twice
  calls = calls + 0
ENDSUB
' An index out of bounds in the middle of an expression, in a loop whose
' body has comment lines around it: the error names that statement's line.
SUB read_past_the_end:
  total = 0
  FOR i = 0 TO 5
    ' m has 3 rows: the fourth round reads past the end
    total = total + m[i][1] * 2
    '
  NEXT
ENDSUB
