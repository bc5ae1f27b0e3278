' FUNCTIONs, SUBs with parameters and LOCALs at run time: each result goes
' to a line of results.txt (which must exist), and the test compares them.
' With "deep" on the command line a recursion without end ends the program
' with runtime error 28 on the line of the call that went too deep.
KV_RESX = 64
KV_RESY = 64
KV_FULLSCREEN = 0
IF GETCOMMANDLINE$ = "deep" THEN n = Forever(1)
row = 0
' Recursion, called before the definitions
Put "fact " + Factorial(9)
Put "fib " + Fib(20)
' A FUNCTION's value inside an expression
Put "expr " + (2 * Area(3, 4) + 1) + " " + (Area(2, 2) = 4)
' LOCALs belong to the call: the caller's FOR i goes on untouched
count = 0
FOR i = 1 TO 3
  count = count + SumTo(4)
NEXT
Put "loop " + i + " " + count
' Arrays by reference: the flood fill marks the caller's map
DIM map[10][10]
FOR k = 0 TO 9 : map[k][5] = 1 : NEXT
Put "flood " + Flood(map, 0, 0) + " " + map[9][4] + " " + map[0][6]
Put ":"  ' a string that is only a colon is the argument, not the colon of a label
s$ = "keep"  ' strings by value: the SUB changes its own copy
Shout s$
Put "string " + s$ + " " + shouted$
' A local array in every call of a recursion
Put "digits " + Digits$(9051)
' The old SUB with GOSUB, and a SUB called by its name
GOSUB Bump
Bump
Put("bumps " + bumps)
END
' ----
FUNCTION Factorial(n)
  IF n <= 1 THEN RETURN 1
  RETURN n * Factorial(n - 1)
END FUNCTION
FUNCTION Fib(n)
  IF n < 2 THEN RETURN n
  RETURN Fib(n - 1) + Fib(n - 2)
END FUNCTION
FUNCTION Area(w, h)
  RETURN w * h
END FUNCTION
FUNCTION SumTo(n)
  LOCAL i, sum
  FOR i = 1 TO n
    sum = sum + i
  NEXT
  RETURN sum
END FUNCTION
FUNCTION Flood(m[], x, y)
  IF x < 0 OR y < 0 OR x >= BOUNDS(m, 0) OR y >= BOUNDS(m, 1) THEN RETURN 0
  IF m[x][y] <> 0 THEN RETURN 0
  m[x][y] = 2
  RETURN 1 + Flood(m, x + 1, y) + Flood(m, x - 1, y) + Flood(m, x, y + 1) + Flood(m, x, y - 1)
END FUNCTION
SUB Shout(text$)
  text$ = text$ + "!"
  shouted$ = text$
END SUB
FUNCTION Digits$(n)
  LOCAL d[]
  DIM d[1]
  d[0] = n MOD 10
  IF n < 10 THEN RETURN "" + d[0]
  RETURN Digits$(n \ 10) + d[0]
END FUNCTION
FUNCTION Forever(k)
  RETURN Forever(k + 1)
END FUNCTION
SUB Put(text$)
  PUTFILE "results.txt", row, text$
  row = row + 1
END SUB
SUB Bump:
  bumps = bumps + 1
ENDSUB
