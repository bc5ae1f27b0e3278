' highscores: a table of the best ten scores kept in a line file,
' highscores.txt beside the program (one "name;score" a line). The command
' line names a new entry, "Name 1234": it joins the table at its place and
' the table is written back. The table is shown for a number of frames (300,
' or the third word of the command line); with a fourth word, the last
' picture is saved under that name.
KV_RESX = 640
KV_RESY = 480
KV_CAPTION = "High scores"

CONST FILE$ = "highscores.txt"
CONST PLACES = 10

TYPE Entry
  name$
  score
END TYPE

DIM table[PLACES + 1] AS Entry
count = Load()

words = SPLIT(TRIM$(GETCOMMANDLINE$), " ", word$)
IF words >= 2 THEN
  place = Insert(count, word$[0], VAL(word$[1]))
  IF count < PLACES THEN count = count + 1
  Save count
ENDIF
frames = 300
IF words >= 3 THEN frames = MAX(VAL(word$[2]), 1)

FOR frame = 1 TO frames
  Show count, place
  IF frame = frames AND words >= 4 THEN SAVEBMP word$[3]
  SHOWSCREEN
NEXT
END

' The SUBs and FUNCTIONs below work on the global table.

' Reads the table; lines that are empty or not "name;score" are skipped.
FUNCTION Load()
  LOCAL line$, parts$[], k, n
  FOR k = 0 TO PLACES - 1
    GETFILE FILE$, k, line$
    IF SPLIT(line$, ";", parts$) = 2 AND line$ <> "NO_DATA" THEN
      table[n].name$ = TRIM$(parts$[0])
      table[n].score = VAL(parts$[1])
      n = n + 1
    ENDIF
  NEXT
  RETURN n
END FUNCTION

SUB Save(n)
  LOCAL k
  ' PUTFILE only writes to a file that exists: the first save makes it.
  IF DOESFILEEXIST(FILE$) = 0 THEN CREATEFILE FILE$
  FOR k = 0 TO PLACES - 1
    IF k < n THEN PUTFILE FILE$, k, table[k].name$ + ";" + table[k].score ELSE PUTFILE FILE$, k, ""
  NEXT
END SUB

' Puts the entry at its place (after the equal scores already there) and
' returns that place; past the last place it is dropped (-1).
FUNCTION Insert(n, name$, score)
  LOCAL at, k
  at = n
  WHILE at > 0 AND table[at - 1].score < score
    at = at - 1
  WEND
  IF at >= PLACES THEN RETURN -1
  FOR k = MIN(n, PLACES - 1) TO at + 1 STEP -1
    table[k] = table[k - 1]
  NEXT
  table[at].name$ = LEFT$(name$, 12)
  table[at].score = score
  RETURN at
END FUNCTION

SUB Show(n, newPlace)
  LOCAL k
  FILLRECT 0, 0, 640, 480, RGB(30, 10, 40)
  PRINT "HIGH SCORES", 260, 40
  FOR k = 0 TO n - 1
    IF k = newPlace THEN FILLRECT 150, 88 + k * 30, 490, 108 + k * 30, RGB(90, 40, 110)
    PRINT FORMAT$(2, 0, k + 1) + ".  " + UCASE$(table[k].name$), 170, 90 + k * 30
    PRINT FORMAT$(8, 0, table[k].score), 380, 90 + k * 30
  NEXT
END SUB
