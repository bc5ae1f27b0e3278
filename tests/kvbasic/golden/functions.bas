' FUNCTIONs and SUBs with parameters, LOCALs and recursion
DIM grid[3][3]
total = Area(2, 3) + Twice(Area(1, 1))
Fill grid, 7
Fill(grid, 1)
Greet "Anna", n
name$ = Title$("x") + Title$(name$)
IF Area(total, 2) > 10 THEN Fill grid, 0
GOSUB Tick
END
' ----
FUNCTION Area(w, h)
  RETURN w * h
END FUNCTION
FUNCTION Twice(x)
  LOCAL i, sum
  FOR i = 1 TO 2
    sum = sum + x
  NEXT
  IF sum > 100 THEN EXIT FUNCTION
  RETURN sum
END FUNCTION
FUNCTION Title$(word$)
  LOCAL t$
  SELECT CASE word$
    CASE "" : RETURN "?"
  END SELECT
  t$ = UCASE$(word$)
  RETURN t$ + "!"
ENDFUNCTION
SUB Fill(a[], value)
  LOCAL row, column
  FOR row = 0 TO BOUNDS(a, 0) - 1
    FOR column = 0 TO BOUNDS(a, 1) - 1
      a[row][column] = value
    NEXT
  NEXT
END SUB
SUB Greet(who$, count)
  LOCAL copy[]
  DIM copy[2]
  copy[0] = count
  who$ = who$ + "?"
  IF count < 0 THEN EXIT SUB
  PRINT who$ + copy[0], 0, 0
  IF count > 3 THEN Greet who$, count - 1
END SUB
SUB Tick()
  ticks = ticks + 1
END SUB
