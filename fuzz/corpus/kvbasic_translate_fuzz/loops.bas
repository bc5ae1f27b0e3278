' FOR with and without STEP, WHILE, REPEAT, BREAK, CONTINUE
FOR i = 0 TO 21
  FOR j = 10 TO 0 STEP -2
    IF j = 4 THEN CONTINUE
  NEXT j
NEXT
FOR k = 1 TO n STEP s
NEXT
WHILE i > 0
  i = i - 1
  IF i = 5 THEN BREAK
WEND
REPEAT
  i = i + 1
UNTIL i >= 10 OR KEY(1)
