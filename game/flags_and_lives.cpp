// einsammeln: the cat collects a flag by touching it (its tile turns to
// land and the collect sound plays) and the level is done when no flag is
// left. leben: the lives in the top-right corner.
#include "game_state.h"
#include "subroutines.h"

void einsammeln()
{
    __dLn(0, 313);  // SUB einsammeln:
    __dLn(0, 314);  // ' Die neun Flaggen (Welt-Pixel, Feld):
    __dLn(0, 315);  // '   a (32, 192) [6][1]    d (448, 192) [6][14]    g (896, 192) [6][28]
    __dLn(0, 316);  // '   b (32, 416) [13][1]   e (448, 416) [13][14]   h (896, 416) [13][28]
    __dLn(0, 317);  // '   c (32, 640) [20][1]   f (448, 640) [20][14]   i (896, 640) [20][28]
    __dLn(0, 318);  // '
    __dLn(0, 319);  // ' Beruehrt die Katze (ihr ganzes Sprite) eine Flagge?
    __dLn(0, 320);  // ' Alle neun Tests laufen in jedem Bild, auch fuer
    __dLn(0, 321);  // ' Flaggen, die schon eingesammelt sind.
    __dLn(0, 322);  BOXCOLL(flaggea, xpos, ypos, 32, 32, 32 + scrollx, 192 + scrolly, 32, 32);  // BOXCOLL flaggea, xpos, ypos, 32, 32, 32+scrollx, 192+scrolly, 32, 32
    __dLn(0, 323);  BOXCOLL(flaggeb, xpos, ypos, 32, 32, 32 + scrollx, 416 + scrolly, 32, 32);  // BOXCOLL flaggeb, xpos, ypos, 32, 32, 32+scrollx, 416+scrolly, 32, 32
    __dLn(0, 324);  BOXCOLL(flaggec, xpos, ypos, 32, 32, 32 + scrollx, 640 + scrolly, 32, 32);  // BOXCOLL flaggec, xpos, ypos, 32, 32, 32+scrollx, 640+scrolly, 32, 32
    __dLn(0, 325);  BOXCOLL(flagged, xpos, ypos, 32, 32, 448 + scrollx, 192 + scrolly, 32, 32);  // BOXCOLL flagged, xpos, ypos, 32, 32, 448+scrollx, 192+scrolly, 32, 32
    __dLn(0, 326);  BOXCOLL(flaggee, xpos, ypos, 32, 32, 448 + scrollx, 416 + scrolly, 32, 32);  // BOXCOLL flaggee, xpos, ypos, 32, 32, 448+scrollx, 416+scrolly, 32, 32
    __dLn(0, 327);  BOXCOLL(flaggef, xpos, ypos, 32, 32, 448 + scrollx, 640 + scrolly, 32, 32);  // BOXCOLL flaggef, xpos, ypos, 32, 32, 448+scrollx, 640+scrolly, 32, 32
    __dLn(0, 328);  BOXCOLL(flaggeg, xpos, ypos, 32, 32, 896 + scrollx, 192 + scrolly, 32, 32);  // BOXCOLL flaggeg, xpos, ypos, 32, 32, 896+scrollx, 192+scrolly, 32, 32
    __dLn(0, 329);  BOXCOLL(flaggeh, xpos, ypos, 32, 32, 896 + scrollx, 416 + scrolly, 32, 32);  // BOXCOLL flaggeh, xpos, ypos, 32, 32, 896+scrollx, 416+scrolly, 32, 32
    __dLn(0, 330);  BOXCOLL(flaggei, xpos, ypos, 32, 32, 896 + scrollx, 640 + scrolly, 32, 32);  // BOXCOLL flaggei, xpos, ypos, 32, 32, 896+scrollx, 640+scrolly, 32, 32
    __dLn(0, 331);  // '
    __dLn(0, 332);  // ' Eine beruehrte Flagge wird zu Land, der Ton spielt
    __dLn(0, 333);  // ' einmal; eingesammelte Flaggen bleiben Land, bis
    __dLn(0, 334);  // ' nextlevel sie wieder aufstellt.
    __dLn(0, 335);  // '
    __dLn(0, 336);  if (flaggea == 1 && feld(6, 1) == 2) {      // IF flaggea = 1 AND feld[6][1] = 2
    __dLn(0, 337);      feld(6, 1) = 1;                             //   feld[6][1] = 1
    __dLn(0, 338);      PLAYSOUND(0, 0, 1);                            //   PLAYSOUND 0, 0, 1
    }
    __dLn(0, 339);  // ENDIF
    __dLn(0, 340);  if (flaggeb == 1 && feld(13, 1) == 2) {     // IF flaggeb = 1 AND feld[13][1] = 2
    __dLn(0, 341);      feld(13, 1) = 1;                            //   feld[13][1] = 1
    __dLn(0, 342);      PLAYSOUND(0, 0, 1);                            //   PLAYSOUND 0, 0, 1
    }
    __dLn(0, 343);  // ENDIF
    __dLn(0, 344);  if (flaggec == 1 && feld(20, 1) == 2) {     // IF flaggec = 1 AND feld[20][1] = 2
    __dLn(0, 345);      feld(20, 1) = 1;                            //   feld[20][1] = 1
    __dLn(0, 346);      PLAYSOUND(0, 0, 1);                            //   PLAYSOUND 0, 0, 1
    }
    __dLn(0, 347);  // ENDIF
    __dLn(0, 348);  if (flagged == 1 && feld(6, 14) == 2) {     // IF flagged = 1 AND feld[6][14] = 2
    __dLn(0, 349);      feld(6, 14) = 1;                            //   feld[6][14] = 1
    __dLn(0, 350);      PLAYSOUND(0, 0, 1);                            //   PLAYSOUND 0, 0, 1
    }
    __dLn(0, 351);  // ENDIF
    __dLn(0, 352);  if (flaggee == 1 && feld(13, 14) == 2) {    // IF flaggee = 1 AND feld[13][14] = 2
    __dLn(0, 353);      feld(13, 14) = 1;                           //   feld[13][14] = 1
    __dLn(0, 354);      PLAYSOUND(0, 0, 1);                            //   PLAYSOUND 0, 0, 1
    }
    __dLn(0, 355);  // ENDIF
    __dLn(0, 356);  if (flaggef == 1 && feld(20, 14) == 2) {    // IF flaggef = 1 AND feld[20][14] = 2
    __dLn(0, 357);      feld(20, 14) = 1;                           //   feld[20][14] = 1
    __dLn(0, 358);      PLAYSOUND(0, 0, 1);                            //   PLAYSOUND 0, 0, 1
    }
    __dLn(0, 359);  // ENDIF
    __dLn(0, 360);  if (flaggeg == 1 && feld(6, 28) == 2) {     // IF flaggeg = 1 AND feld[6][28] = 2
    __dLn(0, 361);      feld(6, 28) = 1;                            //   feld[6][28] = 1
    __dLn(0, 362);      PLAYSOUND(0, 0, 1);                            //   PLAYSOUND 0, 0, 1
    }
    __dLn(0, 363);  // ENDIF
    __dLn(0, 364);  if (flaggeh == 1 && feld(13, 28) == 2) {    // IF flaggeh = 1 AND feld[13][28] = 2
    __dLn(0, 365);      feld(13, 28) = 1;                           //   feld[13][28] = 1
    __dLn(0, 366);      PLAYSOUND(0, 0, 1);                            //   PLAYSOUND 0, 0, 1
    }
    __dLn(0, 367);  // ENDIF
    __dLn(0, 368);  if (flaggei == 1 && feld(20, 28) == 2) {    // IF flaggei = 1 AND feld[20][28] = 2
    __dLn(0, 369);      feld(20, 28) = 1;                           //   feld[20][28] = 1
    __dLn(0, 370);      PLAYSOUND(0, 0, 1);                            //   PLAYSOUND 0, 0, 1
    }
    __dLn(0, 371);  // ENDIF
    __dLn(0, 372);  // '
    __dLn(0, 373);  // ' Geschafft, wenn keine Flagge mehr im Land steht
    __dLn(0, 374);  // ' (die Reihen 0 bis 3 sind Himmel, dort steht keine)
    __dLn(0, 375);  levelgeschafft = 1;                                // levelgeschafft = 1
    __dLn(0, 376);  for (i = 4; i <= 21; i = i + 1) {                  // FOR i = 4 TO 21
    __dLn(0, 377);      for (j = 0; j <= 29; j = j + 1) {              //   FOR j = 0 TO 29
    __dLn(0, 378);          if (feld(i, j) == 2) levelgeschafft = 0;   //     IF feld[i][j] = 2 THEN levelgeschafft = 0
    __dLn(0, 379);      }                                              //   NEXT
    __dLn(0, 380);  }                                                  // NEXT
    __dLn(0, 381);  // '
    __dLn(0, 382);  // ENDSUB
}

void leben()
{
    __dLn(0, 504);  // SUB leben:
    __dLn(0, 505);  // ' Ein roter Balken, darauf eine halbe Katze je Leben
    __dLn(0, 506);  FILLRECT(578, 18, 626, 34, 255);                   // FILLRECT 578, 18, 626, 34, RGB(255, 0, 0)
    __dLn(0, 507);  for (i = 1; i <= anzahlleben; i = i + 1) {         // FOR i = 1 TO anzahlleben
    __dLn(0, 508);      ZOOMSPRITE(0, 554 + 16 * i, 10, 0.5, 0.5);     //   ZOOMSPRITE 0, 554 + 16*i, 10, 0.5, 0.5
    __dLn(0, 509);  }                                                  // NEXT
    __dLn(0, 510);  // '
    __dLn(0, 511);  // ' Drei Leben fuellen den Balken genau
    __dLn(0, 512);  // '
    __dLn(0, 513);  // ENDSUB
}
