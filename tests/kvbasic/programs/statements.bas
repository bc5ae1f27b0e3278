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
' MOD, ^ and \ as operators, with the precedence of other BASICs
IF 7 MOD 2 <> 1 OR 2 ^ 8 <> 256 OR -2 ^ 2 <> -4 OR 2 ^ 3 ^ 2 <> 64 OR 2 ^ -1 <> 0.5 THEN failed = failed + 1
IF 7 \ 2 <> 3 OR -7 \ 2 <> -3 OR 7 \ 0 <> 0 OR 1 + 7 MOD 4 * 2 <> 8 OR 17 \ 2 * 3 <> 2 THEN failed = failed + 1
IF BAND(12, 10) <> 8 OR BOR(12, 10) <> 14 OR BXOR(12, 10) <> 6 OR BNOT(0) <> -1 OR SHL(1, 4) <> 16 OR SHR(-16, 2) <> -4 THEN failed = failed + 1
IF INT(-1.5) <> -2 OR FIX(-1.5) <> -1 OR SGN(-3) <> -1 OR ROUND(2.5) <> 3 OR MIN(3, 4) <> 3 OR MAX(3, 4) <> 4 THEN failed = failed + 1
IF RGB(255, 128, 1) <> 65536 + 128 * 256 + 255 OR ABS(-2) <> 2 THEN failed = failed + 1
' Statements separated by ':', in a line and in the branches of a one-line IF
s = 0 : FOR i = 1 TO 4 : s = s + i : NEXT : IF s = 10 THEN s = 1 : t = 2 ELSE s = 0 : t = 0
IF s <> 1 OR t <> 2 THEN failed = failed + 1 : REM both branches hold two statements
' CONST, EXIT FOR out of a FOR, EXIT WHILE
CONST LIMIT = 2 ^ 3 : CONST HELLO$ = "Hallo " + LIMIT
s = 0 : FOR i = 1 TO 100 : IF i > LIMIT THEN EXIT FOR ELSE s = s + i
NEXT : WHILE 1 : s = s + 100 : EXIT WHILE : WEND
IF s <> 136 OR HELLO$ <> "Hallo 8" THEN failed = failed + 1
' DATA, READ and RESTORE
DATA 2, "zwei", -3 : READ a, b$ : RESTORE more : READ c, d$ : RESTORE : READ e
IF a <> 2 OR b$ <> "zwei" OR c <> 4 OR d$ <> "-3" OR e <> 2 THEN failed = failed + 1
more: DATA 4, -3
' SELECT CASE with lists, ranges, IS and CASE ELSE; BREAK inside it leaves the loop
s = 0 : FOR i = 1 TO 9 : SELECT CASE i : CASE 1, 2 : s = s + 1 : CASE 3 TO 5 : s = s + 10 : CASE IS >= 8 : BREAK
CASE ELSE : s = s + 100 : END SELECT : NEXT
IF s <> 232 THEN failed = failed + 1
' The string library; a name of a function may still be a variable
split = 2
t$ = "  Hallo Welt "
IF LEFT$(TRIM$(t$), 5) <> "Hallo" OR RIGHT$(t$, 5) <> "Welt " OR INSTR(t$, "l") <> 4 OR INSTR(t$, "l", 5) <> 5 OR INSTR(t$, "x") <> -1 THEN failed = failed + 1
IF UCASE$("straße") <> "STRAßE" OR LCASE$("ÄB") <> "äb" OR STR$(1.5) + "" <> "1.5" OR REPLACE$("a-b-c", "-", "+") <> "a+b+c" THEN failed = failed + 1
IF SPLIT("rot,grün,,blau", ",", colours$) <> 4 OR colours$[1] <> "grün" OR colours$[2] <> "" OR BOUNDS(colours$, 0) <> 4 OR split <> 2 THEN failed = failed + 1
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
IF GETCOMMANDLINE$ = "data" THEN READ a, a, a, a, a, a
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
