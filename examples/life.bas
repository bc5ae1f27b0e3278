' life: Conway's game of life on a grid of 80 x 60 cells, drawn as 8 x 8
' squares, with SUBs and FUNCTIONs that take the grids as parameters and
' keep their counters in LOCALs. Ends after a number of generations (the
' first word of the command line, 300 when none is given); with a second
' word, saves the last picture under that name.
CONST W = 80
CONST H = 60
CONST CELL = 8
CONST ALIVE = RGB(120, 230, 90)
CONST GRID = RGB(20, 30, 20)

KV_RESX = 640
KV_RESY = 480
KV_CAPTION = "Life"

words = SPLIT(TRIM$(GETCOMMANDLINE$), " ", args$)
generations = 300
IF words > 0 THEN generations = MAX(VAL(args$[0]), 1)
shot$ = ""
IF words > 1 THEN shot$ = args$[1]

' Two grids with a border of dead cells, so neighbours need no range tests.
DIM cells[W + 2][H + 2]
DIM after[W + 2][H + 2]
Seed cells

FOR generation = 1 TO generations
  Draw cells, generation
  IF generation = generations AND shot$ <> "" THEN SAVEBMP shot$
  SHOWSCREEN
  NextGeneration cells, after
  CopyGrid after, cells
NEXT
END

' A glider, a row of blinkers and a scatter of random cells.
SUB Seed(grid[])
  LOCAL x, y
  grid[2][1] = 1 : grid[3][2] = 1 : grid[1][3] = 1 : grid[2][3] = 1 : grid[3][3] = 1
  FOR x = 10 TO 70 STEP 6
    grid[x][30] = 1 : grid[x + 1][30] = 1 : grid[x + 2][30] = 1
  NEXT
  FOR y = 40 TO H
    FOR x = 1 TO W
      IF RND(5) = 0 THEN grid[x][y] = 1
    NEXT
  NEXT
END SUB

FUNCTION Neighbours(grid[], x, y)
  RETURN grid[x - 1][y - 1] + grid[x][y - 1] + grid[x + 1][y - 1] + grid[x - 1][y] + grid[x + 1][y] + grid[x - 1][y + 1] + grid[x][y + 1] + grid[x + 1][y + 1]
END FUNCTION

' Three neighbours make a cell alive, two keep it as it is.
SUB NextGeneration(now[], later[])
  LOCAL x, y
  FOR y = 1 TO H
    FOR x = 1 TO W
      SELECT CASE Neighbours(now, x, y)
        CASE 3
          later[x][y] = 1
        CASE 2
          later[x][y] = now[x][y]
        CASE ELSE
          later[x][y] = 0
      END SELECT
    NEXT
  NEXT
END SUB

SUB CopyGrid(from[], into[])
  LOCAL x, y
  FOR y = 1 TO H
    FOR x = 1 TO W
      into[x][y] = from[x][y]
    NEXT
  NEXT
END SUB

FUNCTION Population(grid[])
  LOCAL x, y, total
  FOR y = 1 TO H
    FOR x = 1 TO W
      total = total + grid[x][y]
    NEXT
  NEXT
  RETURN total
END FUNCTION

SUB Draw(grid[], generation)
  LOCAL x, y
  FILLRECT 0, 0, W * CELL, H * CELL, GRID
  FOR y = 1 TO H
    FOR x = 1 TO W
      IF grid[x][y] THEN FILLRECT (x - 1) * CELL, (y - 1) * CELL, x * CELL - 1, y * CELL - 1, ALIVE
    NEXT
  NEXT
  PRINT "Generation " + generation + "  alive " + Population(grid), 8, 8
END SUB
