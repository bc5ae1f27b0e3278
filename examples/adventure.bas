' adventure: a small text adventure. The rooms come from DATA lines into
' an array of records; a command is cut into words with the string library
' and chosen with SELECT CASE. Commands are typed (INPUT, Return ends one);
' for a scripted run they come from the command line instead, separated
' by ";" (adventure "north;take lamp;south"), and the program ends when
' they run out. With a second part after "|", the last picture is saved
' under that name (adventure "north|shot.bmp").
KV_RESX = 640
KV_RESY = 480
KV_CAPTION = "Adventure"

CONST ROOMS = 4
CONST LINES = 22

TYPE Room
  name$, text$
  exits[4]                        ' north, east, south, west: a room, or -1
  item$                           ' what lies here, or ""
END TYPE

DIM rooms[ROOMS] AS Room
FOR r = 0 TO ROOMS - 1
  READ rooms[r].name$, rooms[r].text$, rooms[r].item$
  FOR d = 0 TO 3
    READ rooms[r].exits[d]
  NEXT
NEXT

'    name        what one sees                                   item    N   E   S   W
DATA "Hall", "A cold hall. Doors lead north and east.", "", 1, 2, -1, -1
DATA "Library", "Dusty shelves up to the ceiling.", "lamp", -1, -1, 0, -1
DATA "Kitchen", "It smells of old bread. A trapdoor leads south.", "key", -1, -1, 3, 0
DATA "Cellar", "Damp stone walls. Stairs lead north.", "flag", 2, -1, -1, -1

DIM direction$[4]
direction$[0] = "north" : direction$[1] = "east" : direction$[2] = "south" : direction$[3] = "west"

DIM shown$[LINES]                 ' the last lines said, oldest first
said = 0
here = 0
carried$ = ""                     ' the items carried, as "lamp,key"
moves = 0
done = 0

' An argument with blanks comes quoted: the quotes go.
parts = SPLIT(REPLACE$(GETCOMMANDLINE$, CHR$(34), ""), "|", part$)
scripted = parts > 0 AND TRIM$(part$[0]) <> ""
IF scripted THEN planned = SPLIT(part$[0], ";", plan$)
shot$ = ""
IF parts > 1 THEN shot$ = TRIM$(part$[1])
nextStep = 0

Say "Welcome! Commands: north, east, south, west, look, take ..., inventory, quit."
Look
WHILE NOT done
  command$ = NextCommand$()
  IF command$ = "" AND scripted THEN EXIT WHILE
  Say "> " + command$
  Obey LCASE$(TRIM$(command$))
WEND
Say "You made " + moves + " moves."
Show
IF shot$ <> "" THEN SAVEBMP shot$
SHOWSCREEN
END

' The next command: from the script while it lasts, else typed.
FUNCTION NextCommand$()
  LOCAL typed$
  IF scripted THEN
    IF nextStep >= planned THEN RETURN ""
    nextStep = nextStep + 1
    RETURN plan$[nextStep - 1]
  ENDIF
  Show
  INPUT typed$, 8, 460
  RETURN typed$
END FUNCTION

SUB Obey(command$)
  LOCAL verb$, rest$, gap, d
  gap = INSTR(command$, " ")
  IF gap < 0 THEN
    verb$ = command$
  ELSE
    verb$ = LEFT$(command$, gap)
    rest$ = TRIM$(MID$(command$, gap + 1, 1000))
  ENDIF
  SELECT CASE verb$
    CASE "n", "north", "e", "east", "s", "south", "w", "west"
      d = Direction(verb$)
      IF rooms[here].exits[d] < 0 THEN
        Say "You cannot go " + direction$[d] + "."
      ELSEIF rooms[here].exits[d] = 3 AND NOT Carries("key") THEN
        Say "The trapdoor is locked."
      ELSE
        Enter rooms[here].exits[d]
      ENDIF
    CASE "look", "l"
      Look
    CASE "take", "get"
      IF rest$ = "" THEN
        Say "Take what?"
      ELSEIF rooms[here].item$ = rest$ THEN
        IF here = 3 AND NOT Carries("lamp") THEN
          Say "It is too dark to find anything."
        ELSE
          IF carried$ <> "" THEN carried$ = carried$ + ","
          carried$ = carried$ + rest$
          rooms[here].item$ = ""
          Say "Taken: " + rest$ + "."
          IF rest$ = "flag" THEN
            Say "You found the flag. You win!"
            done = 1
          ENDIF
        ENDIF
      ELSE
        Say "There is no " + rest$ + " here."
      ENDIF
    CASE "inventory", "i"
      IF carried$ = "" THEN Say "You carry nothing." ELSE Say "You carry: " + REPLACE$(carried$, ",", ", ") + "."
    CASE "quit", "q"
      done = 1
    CASE ""
    CASE ELSE
      Say "I do not know how to " + UCASE$(verb$) + "."
  END SELECT
END SUB

FUNCTION Direction(word$)
  SELECT CASE LEFT$(word$, 1)
    CASE "n"
      RETURN 0
    CASE "e"
      RETURN 1
    CASE "s"
      RETURN 2
  END SELECT
  RETURN 3
END FUNCTION

FUNCTION Carries(item$)
  LOCAL items$[], count, k
  count = SPLIT(carried$, ",", items$)
  FOR k = 0 TO count - 1
    IF items$[k] = item$ THEN RETURN 1
  NEXT
  RETURN 0
END FUNCTION

SUB Enter(room)
  here = room
  moves = moves + 1
  Look
END SUB

SUB Look()
  Say rooms[here].name$ + ". " + rooms[here].text$
  IF rooms[here].item$ <> "" THEN
    IF here = 3 AND NOT Carries("lamp") THEN Say "Something glints in the dark." ELSE Say "A " + rooms[here].item$ + " lies here."
  ENDIF
END SUB

' Adds a line to those shown, dropping the oldest when the screen is full.
SUB Say(text$)
  LOCAL k
  IF said = LINES THEN
    FOR k = 1 TO LINES - 1
      shown$[k - 1] = shown$[k]
    NEXT
    said = said - 1
  ENDIF
  shown$[said] = text$
  said = said + 1
END SUB

SUB Show()
  LOCAL k
  FILLRECT 0, 0, 640, 480, RGB(10, 20, 40)
  FOR k = 0 TO said - 1
    PRINT shown$[k], 8, 8 + k * 20
  NEXT
END SUB
