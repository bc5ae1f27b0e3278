' DATA, READ and RESTORE; the words stay free for variables
DATA 3, "Anna", -1.5
READ count, name$
DIM scores[2]
READ scores[0]
levels:
DATA "Wiese", 1e3, 7
IF count > 2 THEN RESTORE levels ELSE RESTORE
IF count THEN READ a, b
READ level$, size, n : READ more$
data = 1
