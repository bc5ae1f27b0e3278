' Operators, precedence and the kinds of values
x = 1 + 2 * 3 - 4 / 2
y = (1 + 2) * -x
z = 7 / 2 + 00012 + 3000000000
truth = x < y AND NOT y = 3 OR x >= 1
sum = (x = 1) + (y <> 2) * 2
IF x THEN y = 1
name$ = "Zorvelin " + x + " " + (x + 1)
IF name$ < "b" AND name$ <> "" THEN PRINT name$ + CHR$(34), 0, 0
s$ = MID$(name$, 0, 3) + "\"
pi = ATAN(1, 1) * 4 + MOD(7, 2) + LEN(4) + KEY(200)

' Appending to the string itself: in place, the same result
s$ = s$ + "x"
s$ = s$ + x * 2
s$ = s$ + s$
s$ = s$ + "a" + name$

' Literals under several signs are doubles too: no int arithmetic
IF x = 0 THEN
ELSEIF 640 + - -2147483647 <= GETTIMER() THEN
  z = - -7 / 2 + - -65536 * 65536
ENDIF
