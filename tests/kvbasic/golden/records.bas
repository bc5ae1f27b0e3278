' Records: a TYPE with number, string and array fields, a record and an
' array of records.
CONST STEPS = 10
TYPE Enemy
  x, y, speed
  name$
  path[STEPS], grid$[2][3]
  class                         ' a C++ word: renamed in the C++
END TYPE

DIM player AS Enemy
DIM foes[20] AS Enemy
FOR i = 0 TO 19
  foes[i].x = i * 32 : foes[i].speed = 1 + i MOD 3
  foes[i].name$ = "guard " + i
NEXT
foes[3].x = foes[3].x + foes[3].speed
player.path[3] = 5
player.grid$[1][2] = foes[3].name$
player.class = LEN(player.grid$[1][2])
READ player.y, player.name$
DATA 140, "Zorvelin"
IF foes[2].x > player.x THEN player.x = foes[2].x
foes[19] = player                 ' every field copied
DIM player AS Enemy               ' new again: every field 0 or ""
