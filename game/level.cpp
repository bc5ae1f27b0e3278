// level: draws the whole landscape every frame, first of all, so that
// everything else of the frame lands on top of it. Changes no state except
// the loop counters, which it leaves at 22 and 30.
#include "game_state.h"
#include "subroutines.h"

void level()
{
    __dLn(0, 162);  // SUB level:
    __dLn(0, 163);  // ' Alle 660 Felder, ob sichtbar oder nicht
    __dLn(0, 164);  for (i = 0; i <= 21; i = i + 1) {                       // FOR i = 0 TO 21
    __dLn(0, 165);      for (j = 0; j <= 29; j = j + 1) {                   //   FOR j = 0 TO 29
    __dLn(0, 166);          if (feld(i, j) == 1) SPRITE(4, j * 32 + scrollx, i * 32 + scrolly);  // IF feld[i][j] = 1 THEN SPRITE 4, ...
    __dLn(0, 167);          if (feld(i, j) == 0) SPRITE(5, j * 32 + scrollx, i * 32 + scrolly);  // IF feld[i][j] = 0 THEN SPRITE 5, ...
    __dLn(0, 168);          if (feld(i, j) == 2) SPRITE(3, j * 32 + scrollx, i * 32 + scrolly);  // IF feld[i][j] = 2 THEN SPRITE 3, ...
    __dLn(0, 169);          // ' Ein brauner Punkt auf jedem Landfeld, keiner auf Flaggen
    __dLn(0, 170);          if (i >= 4 && feld(i, j) != 2) {                //     IF i >= 4 AND feld[i][j] <> 2
    __dLn(0, 171);              SETPIXEL(j * 32 + braunepixelx((j + 1) * i) + scrollx, i * 32 + braunepixely((j + 1) * i) + scrolly, 128);  // SETPIXEL j*32+braunepixelx[(j+1)*i]+scrollx, i*32+braunepixely[(j+1)*i]+scrolly, 128
    __dLn(0, 172);              // ' Farbe 128 ist RGB(128, 0, 0): ein dunkles Braunrot
                  }
    __dLn(0, 173);          // ENDIF
    __dLn(0, 174);      }                                                   //   NEXT
    __dLn(0, 175);  }                                                       // NEXT
    __dLn(0, 176);  // '
    __dLn(0, 177);  // ' Die Sonne steht rechts oben, die Berge am Horizont
    __dLn(0, 178);  SPRITE(7, scrollx + 560, scrolly - 60);                 // SPRITE 7, scrollx+560, scrolly-60
    __dLn(0, 179);  SPRITE(6, scrollx + 0, scrolly + 100);                  // SPRITE 6, scrollx+0, scrolly+100
    __dLn(0, 180);  // '
    __dLn(0, 181);  // ' Die Landschaft (Welt-Pixel):
    __dLn(0, 182);  // '   Reihe 0 bis 3:   Himmel,   y   0 bis 127
    __dLn(0, 183);  // '   Reihe 4 bis 21:  Land,     y 128 bis 703
    __dLn(0, 184);  // '   Sonne bei (560, -60), Berge bei (0, 100)
    __dLn(0, 185);  // '   Flaggen in den Reihen 6, 13, 20
    __dLn(0, 186);  // '           und den Spalten 1, 14, 28
    __dLn(0, 187);  // '
    __dLn(0, 188);  // ENDSUB
}
