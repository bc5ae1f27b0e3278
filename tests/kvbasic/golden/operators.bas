' MOD, \ and ^ as operators with their precedence, and the functions that
' joined later, whose names stay free for variables
x = 7 MOD 2 + 2 ^ 8 - 7 \ 2 * 3
y = -2 ^ 2 + 2 ^ -1 + 2 ^ 3 ^ 2 + (1 + 2) MOD 2
IF x MOD 2 = 1 AND y \ 2 > 1 THEN x = x ^ 2
c = RGB(255, 128, 0) + BAND(12, 10) + SHL(1, 4) + INT(-1.5) + MAX(x, y)
a$ = LEFT$(TRIM$(" Hallo "), 2) + UCASE$("x") + STR$(INSTR("abc", "c"))
n = SPLIT("a,b", ",", parts$)
split = 1
DIM max[2]
max[0] = split + MAX(1, 2)
