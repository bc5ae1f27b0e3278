' Run under the debugger by debugger_test.cpp, which names these lines by number
KV_RESX = 64
KV_RESY = 64
KV_FULLSCREEN = 0
TYPE Enemy
  x, hp
  name$
  hist[4]
END TYPE
INCLUDE "result.bas"
DIM foes[3] AS Enemy
DIM player AS Enemy
DIM grid[2][3]
level$ = "cave"
total = 0
mode$ = GETCOMMANDLINE$
foes[1].x = 7 : foes[1].name$ = "bat"
player.hist[2] = 5
grid[1][2] = 12
Tally 3
total = total + Twice(4)
seen = total
IF mode$ = "busy" THEN GOSUB Busy
IF mode$ = "wait" THEN KEYWAIT
IF mode$ = "error" THEN total = Outer(2)
WriteResult "seen " + seen + " level " + level$ + " x " + foes[1].x
END
SUB Tally(n)
  LOCAL k, word$
  word$ = "tally"
  FOR k = 1 TO n
    total = total + k
  NEXT
END SUB
FUNCTION Twice(v)
  RETURN v * 2
END FUNCTION
FUNCTION Outer(a)
  RETURN Inner(a + 1) + 1
END FUNCTION
FUNCTION Inner(b)
  LOCAL cells[]
  DIM cells[3]
  RETURN cells[b + 5]
END FUNCTION
SUB Busy:
  WHILE spin >= 0
    spin = spin + 1
  WEND
ENDSUB
