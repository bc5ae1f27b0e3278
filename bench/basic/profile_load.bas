' CPU-bound work for the profiler's overhead: about a second of
' arithmetic in calls nested three deep, then END. Built optimised, as
' kvbasic build builds; bench_profiler_overhead runs it with and without
' KV_PROFILE.
KV_RESX = 64
KV_RESY = 64
KV_FULLSCREEN = 0
total = 0
FOR frame = 1 TO 10000
  total = total + Frame(frame)
NEXT
IF total = 12345 THEN PRINT "unlikely", 0, 0
END

FUNCTION Frame(n)
  LOCAL i, s
  s = 0
  FOR i = 1 TO 3000
    s = s + Cell(i, n)
  NEXT
  RETURN s
END FUNCTION

FUNCTION Cell(i, n)
  RETURN Wave(i * 0.01 + n) * SQR(i)
END FUNCTION

FUNCTION Wave(x)
  RETURN SIN(x) + COS(x * 0.5)
END FUNCTION
