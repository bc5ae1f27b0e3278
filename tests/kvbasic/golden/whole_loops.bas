' Loops that count in whole numbers, and loops that keep doubles.
DIM grid[10][8]
DIM cells[100]
' Whole: literal start, bound and step; BOUNDS(a, k) - 1 proves the index.
FOR i = 0 TO BOUNDS(cells, 0) - 1
  cells[i] = i * 2
NEXT
FOR y = 1 TO 6
  FOR x = 1 TO 8 STEP 1
    grid[x - 1][y + 1] = grid[x][y] + MOD(x * 7 + y, 5)
  NEXT
NEXT
top = 50
size = top
FOR k = top TO 0 STEP -5
  total = total + cells[k * 2]
NEXT
FOR j = 2 TO LEN("fraction") / 3
  total = total + j
NEXT
' Doubles: a fractional step, a counter the body assigns, a bound the body
' changes, a start that may be -0, and a global counter a SUB may change.
FOR f = 0 TO 1 STEP 0.25
  total = total + f
NEXT
FOR a = 1 TO 10
  a = a + 1
NEXT
FOR b = 1 TO size
  size = size - 1
NEXT
FOR c = -total TO 3
NEXT
FOR g = 1 TO 3
  Bump
NEXT
END

SUB Bump:
  g = g + 1
ENDSUB
