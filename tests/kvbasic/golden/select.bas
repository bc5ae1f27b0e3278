' SELECT CASE with values, lists, ranges and IS; CASE ELSE
SELECT CASE k
  CASE 1
    x = 1
  CASE 2, 3, 10 TO 20
    x = 2
  CASE IS >= 100
    x = 3
  CASE ELSE
    x = 4
END SELECT
SELECT CASE LEFT$(name$, 1)
  CASE "a" TO "m", "X"
    GOTO ende
ende:
  CASE ELSE
    x = 5
ENDSELECT
SELECT CASE x
  CASE ELSE
    x = 6
END SELECT
case = 1
