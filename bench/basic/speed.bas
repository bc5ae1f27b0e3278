' The BASIC half of bench/basic_speed.cpp: four small programs, each a SUB
' that the benchmark calls directly, beside the same programs written by
' hand in C++. Keep the two in step.

END

' 10 million additions in a FOR loop.
SUB additions:
  total = 0
  FOR i = 1 TO 10000000
    total = total + i
  NEXT
ENDSUB

' The primes below 2 million, sieved in an array.
SUB sieve:
  n = 2000000
  DIM composite[n]
  primes = 0
  FOR i = 2 TO n - 1
    IF composite[i] = 0 THEN
      primes = primes + 1
      ' Multiples below i * i are crossed out already.
      FOR j = i * i TO n - 1 STEP i
        composite[j] = 1
      NEXT
    ENDIF
  NEXT
ENDSUB

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

' Conway's life on 80 x 60 cells for 100 generations; the grid has a
' border of dead cells around it, so neighbours need no range tests.
SUB life:
  DIM cell[82][62]
  DIM nextcell[82][62]
  FOR y = 1 TO 60
    FOR x = 1 TO 80
      IF MOD(x * 7 + y * 11 + x * y, 5) < 2 THEN cell[x][y] = 1
    NEXT
  NEXT
  FOR generation = 1 TO 100
    FOR y = 1 TO 60
      FOR x = 1 TO 80
        neighbours = cell[x - 1][y - 1] + cell[x][y - 1] + cell[x + 1][y - 1] + cell[x - 1][y] + cell[x + 1][y] + cell[x - 1][y + 1] + cell[x][y + 1] + cell[x + 1][y + 1]
        IF neighbours = 3 OR (neighbours = 2 AND cell[x][y] = 1) THEN
          nextcell[x][y] = 1
        ELSE
          nextcell[x][y] = 0
        ENDIF
      NEXT
    NEXT
    FOR y = 1 TO 60
      FOR x = 1 TO 80
        cell[x][y] = nextcell[x][y]
      NEXT
    NEXT
  NEXT
  alive = 0
  FOR y = 1 TO 60
    FOR x = 1 TO 80
      alive = alive + cell[x][y]
    NEXT
  NEXT
ENDSUB
