' The BASIC half of bench/basic_speed.cpp: four small programs and a loop
' of array reads, each a SUB that the benchmark calls directly, beside the
' same programs written by hand in C++. Keep the two in step.

END

' 10 million additions in a FOR loop.
SUB additions:
  total = 0
  FOR i = 1 TO 10000000
    total = total + i
  NEXT
ENDSUB

' The primes below 2 million, sieved in an array, with LOCAL variables
' as the C++ twin has locals; the count goes to the global primes.
SUB sieve()
  LOCAL n, i, j, found, composite[]
  n = 2000000
  DIM composite[n]
  found = 0
  FOR i = 2 TO n - 1
    IF composite[i] = 0 THEN
      found = found + 1
      ' Multiples below i * i are crossed out already.
      FOR j = i * i TO n - 1 STEP i
        composite[j] = 1
      NEXT
    ENDIF
  NEXT
  primes = found
END SUB

' 100,000 appends to a string, cut back with MID$ when it grows long, and
' a MID$ slice of it each round.
SUB strings:
  text$ = ""
  sliced = 0
  FOR i = 1 TO 100000
    text$ = text$ + "ab"
    IF LEN(text$) > 1000 THEN text$ = MID$(text$, 500, 500)
    piece$ = MID$(text$, LEN(text$) / 2, 10)
    sliced = sliced + LEN(piece$)
  NEXT
ENDSUB

' Conway's life on 80 x 60 cells for 100 generations, as a BASIC
' programmer writes it with SUBs and a FUNCTION: counters are LOCALs, the
' grids are passed by reference. The grid has a border of dead cells around
' it, so neighbours need no range tests.
SUB life()
  LOCAL x, y, generation
  DIM cell[82][62]
  DIM nextcell[82][62]
  FOR y = 1 TO 60
    FOR x = 1 TO 80
      IF MOD(x * 7 + y * 11 + x * y, 5) < 2 THEN cell[x][y] = 1
    NEXT
  NEXT
  FOR generation = 1 TO 100
    NextGeneration cell, nextcell
    CopyGrid nextcell, cell
  NEXT
  alive = CountAlive(cell)
END SUB

' The next generation of every cell: three neighbours make a cell alive,
' two keep it as it is.
SUB NextGeneration(now[], after[])
  LOCAL x, y, n
  FOR y = 1 TO 60
    FOR x = 1 TO 80
      n = now[x - 1][y - 1] + now[x][y - 1] + now[x + 1][y - 1] + now[x - 1][y] + now[x + 1][y] + now[x - 1][y + 1] + now[x][y + 1] + now[x + 1][y + 1]
      IF n = 3 OR (n = 2 AND now[x][y] = 1) THEN
        after[x][y] = 1
      ELSE
        after[x][y] = 0
      ENDIF
    NEXT
  NEXT
END SUB

SUB CopyGrid(from[], into[])
  LOCAL x, y
  FOR y = 1 TO 60
    FOR x = 1 TO 80
      into[x][y] = from[x][y]
    NEXT
  NEXT
END SUB

FUNCTION CountAlive(grid[])
  LOCAL x, y, total
  FOR y = 1 TO 60
    FOR x = 1 TO 80
      total = total + grid[x][y]
    NEXT
  NEXT
  RETURN total
END FUNCTION

' 12,000 passes over a 4096-element array, summed: 49,152,000 reads in
' range by a FOR loop whose counter is a whole number from 0 to the last
' element. The sum goes to the global readsum.
SUB arrayreads()
  LOCAL k, pass, sum, a[]
  DIM a[4096]
  FOR k = 0 TO BOUNDS(a, 0) - 1
    a[k] = MOD(k, 7)
  NEXT
  sum = 0
  FOR pass = 1 TO 12000
    FOR k = 0 TO BOUNDS(a, 0) - 1
      sum = sum + a[k]
    NEXT
  NEXT
  readsum = sum
END SUB
