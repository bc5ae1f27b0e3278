' Arrays of numbers and strings, passed whole and by element; names that
' C++ would not accept as they are
DIM feld[22][30]
DIM namen$[4]
DIM acht[1][2][3][4][5][6][7][8]
feld[1][2] = feld[2][1] + 1
namen$[0] = "erste"
n = GETFILELIST("*.bas", namen$)
BOXCOLL feld[0][0], 0, 0, 1, 1, 0, 0, 1, 1
GETFILE "liste.txt", 0, namen$[1]
GETFILE "liste.txt", 1, zahl
INPUT eingabe$, 10, 10
new = 1
int_Str = 2
y1 = BOUNDS(feld, 0)
