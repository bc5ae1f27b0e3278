' Block IF with ELSEIF and ELSE, one-line IF with ELSE
IF a = 1
  b = 1
ELSEIF a = 2 THEN
  b = 2
ELSEIF a = 3
  b = 3
ELSE
  b = 4
ENDIF
IF a > 0 THEN b = 5 ELSE b = 6
IF a > 0 THEN IF b > 0 THEN c = 1
IF b
ENDIF
