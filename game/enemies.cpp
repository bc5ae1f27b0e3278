// The guards, all drawn with sprite 2. A guard catches the cat when an 8 x 8
// box in the middle of the cat touches the guard's 32 x 32 box: the caught
// sound plays and the caught screen runs at once, then the subroutine goes
// on where it was (so two guards in one frame cost two lives).
#include "game_state.h"
#include "subroutines.h"

void gegner1()
{
    __dLn(0, 391);  // SUB gegner1:
    __dLn(0, 392);  // ' Zwei Waechter patrouillieren zusammen bei y 300 und 524
    __dLn(0, 393);  // ' gegner1schalter: 0 nach rechts, 1 nach links
    __dLn(0, 394);  for (i = 0; i <= 1; i = i + 1) {                                      // FOR i = 0 TO 1
    __dLn(0, 395);      SPRITE(2, gegner1x + scrollx, 300 + scrolly + 224 * i);           //   SPRITE 2, gegner1x+scrollx, 300+scrolly+224*i
    __dLn(0, 396);      BOXCOLL(gegner1coll, xpos + 12, ypos + 12, 8, 8,                  //   BOXCOLL gegner1coll, xpos+12, ypos+12, 8, 8,
                              gegner1x + scrollx, 300 + scrolly + 224 * i, 32, 32);     //     gegner1x+scrollx, 300+scrolly+224*i, 32, 32
    __dLn(0, 397);      if (gegner1coll == 1) {                                           //   IF gegner1coll = 1
    __dLn(0, 398);          PLAYSOUND(1, 0, 1);                                           //     PLAYSOUND 1, 0, 1
    __dLn(0, 399);          gefangen();                                                   //     GOSUB gefangen
        }
    __dLn(0, 400);      // ENDIF
    __dLn(0, 401);      if (gegner1x <= 0 || gegner1schalter == 0) {                      //   IF gegner1x <= 0 OR gegner1schalter = 0
    __dLn(0, 402);          gegner1schalter = 0;                                          //     gegner1schalter = 0
    __dLn(0, 403);          gegner1x = gegner1x + 4;                                      //     gegner1x = gegner1x + 4
        }
    __dLn(0, 404);      // ENDIF
    __dLn(0, 405);      if (gegner1x >= 928 || gegner1schalter == 1) {                    //   IF gegner1x >= 928 OR gegner1schalter = 1
    __dLn(0, 406);          gegner1schalter = 1;                                          //     gegner1schalter = 1
    __dLn(0, 407);          gegner1x = gegner1x - 4;                                      //     gegner1x = gegner1x - 4
        }
    __dLn(0, 408);      // ENDIF
    __dLn(0, 409);  }                                                                     // NEXT
    __dLn(0, 410);  // '
    __dLn(0, 411);  // ' Beide Schritte laufen je Waechter: das Paar zieht 8 Pixel
    __dLn(0, 412);  // ' je Bild, und es wendet bei 928 und bei 0.
    __dLn(0, 413);  // ENDSUB
}

void gegner2()
{
    __dLn(0, 422);  // SUB gegner2:
    __dLn(0, 423);  // ' Der freie Verfolger, ab Level 2. Er wartet 90 Bilder
    __dLn(0, 424);  // ' (1,5 Sekunden), dann folgt er der Katze in x und y.
    __dLn(0, 425);  // '
    __dLn(0, 426);  SPRITE(2, gegner2x + scrollx, gegner2y + scrolly);                    // SPRITE 2, gegner2x+scrollx, gegner2y+scrolly
    __dLn(0, 427);  BOXCOLL(gegner2coll, xpos + 12, ypos + 12, 8, 8,                      // BOXCOLL gegner2coll, xpos+12, ypos+12, 8, 8,
                          gegner2x + scrollx, gegner2y + scrolly, 32, 32);              //   gegner2x+scrollx, gegner2y+scrolly, 32, 32
    __dLn(0, 428);  if (gegner2coll == 1) {                                               // IF gegner2coll = 1
    __dLn(0, 429);      PLAYSOUND(1, 0, 1);                                               //   PLAYSOUND 1, 0, 1
    __dLn(0, 430);      gefangen();                                                       //   GOSUB gefangen
    }
    __dLn(0, 431);  // ENDIF
    __dLn(0, 432);  // '
    __dLn(0, 433);  // ' Die Wartezeit
    __dLn(0, 434);  gegner2startschalter = gegner2startschalter + 1;                      // gegner2startschalter = gegner2startschalter + 1
    __dLn(0, 435);  if (gegner2startschalter >= 90) gegner2startschalter = 90;            // IF gegner2startschalter >= 90 THEN gegner2startschalter = 90
    __dLn(0, 436);  // '
    __dLn(0, 437);  // ' Verfolgen: jeder Test sieht das Ergebnis des vorigen,
    __dLn(0, 438);  // ' auf gleicher Hoehe tritt er vor und zurueck.
    __dLn(0, 439);  if (gegner2startschalter >= 90) {                                     // IF gegner2startschalter >= 90
    __dLn(0, 440);      if (gegner2x + scrollx >= xpos) gegner2x = gegner2x - geschwindigkeit;  // IF gegner2x+scrollx >= xpos THEN gegner2x = gegner2x - geschwindigkeit
    __dLn(0, 441);      if (gegner2x + scrollx < xpos) gegner2x = gegner2x + geschwindigkeit;   // IF gegner2x+scrollx < xpos THEN gegner2x = gegner2x + geschwindigkeit
    __dLn(0, 442);      if (gegner2y + scrolly >= ypos) gegner2y = gegner2y - geschwindigkeit;  // IF gegner2y+scrolly >= ypos THEN gegner2y = gegner2y - geschwindigkeit
    __dLn(0, 443);      if (gegner2y + scrolly < ypos) gegner2y = gegner2y + geschwindigkeit;   // IF gegner2y+scrolly < ypos THEN gegner2y = gegner2y + geschwindigkeit
    }
    __dLn(0, 444);  // ENDIF
    __dLn(0, 445);  // '
    __dLn(0, 446);  // ' geschwindigkeit: 1 leicht, 2 schwer
    __dLn(0, 447);  // ' (die Katze laeuft immer 3 Pixel je Bild)
    __dLn(0, 448);  // '
    __dLn(0, 449);  // ' Start bei (100, 160) zu jedem Levelstart,
    __dLn(0, 450);  // ' gegner2aktiv zaehlt nextlevel hoch:
    __dLn(0, 451);  // '   Level 1: 0, Level 2: 1, ...
    __dLn(0, 452);  // '
    __dLn(0, 453);  // ' Der Verfolger kann die Katze auch waehrend
    __dLn(0, 454);  // ' der Wartezeit fangen.
    __dLn(0, 455);  // '
    __dLn(0, 456);  // ENDSUB
}

void gegner_vom_typ3()
{
    __dLn(0, 465);  // SUB gegner_vom_typ3:
    __dLn(0, 466);  // ' Drei Verfolger; ab Level 3 ist einer mehr je Level zu sehen
    __dLn(0, 467);  // ' anzahlgegner3: -3 im ersten Level, hoechstens 2
    __dLn(0, 468);  // ' Gezeichnet und gefaehrlich: 0 bis anzahlgegner3
    __dLn(0, 469);  // '
    __dLn(0, 470);  for (i = 0; i <= anzahlgegner3; i = i + 1) {                          // FOR i = 0 TO anzahlgegner3
    __dLn(0, 471);      SPRITE(2, gegner3x(i) + scrollx, gegner3y(i) + scrolly);          //   SPRITE 2, gegner3x[i]+scrollx, gegner3y[i]+scrolly
    __dLn(0, 472);      BOXCOLL(gegner3coll, xpos + 12, ypos + 12, 8, 8,                  //   BOXCOLL gegner3coll, xpos+12, ypos+12, 8, 8,
                              gegner3x(i) + scrollx, gegner3y(i) + scrolly, 32, 32);    //     gegner3x[i]+scrollx, gegner3y[i]+scrolly, 32, 32
    __dLn(0, 473);      if (gegner3coll == 1) {                                           //   IF gegner3coll = 1
    __dLn(0, 474);          PLAYSOUND(1, 0, 1);                                           //     PLAYSOUND 1, 0, 1
    __dLn(0, 475);          gefangen();                                                   //     GOSUB gefangen
        }
    __dLn(0, 476);      // ENDIF
    __dLn(0, 477);  }                                                                     // NEXT
    __dLn(0, 478);  // '
    __dLn(0, 479);  // ' Die Verfolger 0 und 1 folgen nur in y
    __dLn(0, 480);  for (j = 0; j <= 1; j = j + 1) {                                      // FOR j = 0 TO 1
    __dLn(0, 481);      if (gegner3y(j) + scrolly >= ypos) gegner3y(j) = gegner3y(j) - geschwindigkeit;  // IF gegner3y[j]+scrolly >= ypos THEN ...
    __dLn(0, 482);      if (gegner3y(j) + scrolly < ypos) gegner3y(j) = gegner3y(j) + geschwindigkeit;   // IF gegner3y[j]+scrolly < ypos THEN ...
    __dLn(0, 483);  }                                                                     // NEXT
    __dLn(0, 484);  // '
    __dLn(0, 485);  // ' Verfolger 2 folgt nur in x
    __dLn(0, 486);  if (gegner3x(2) + scrollx >= xpos) gegner3x(2) = gegner3x(2) - geschwindigkeit;  // IF gegner3x[2]+scrollx >= xpos THEN ...
    __dLn(0, 487);  if (gegner3x(2) + scrollx < xpos) gegner3x(2) = gegner3x(2) + geschwindigkeit;   // IF gegner3x[2]+scrollx < xpos THEN ...
    __dLn(0, 488);  // '
    __dLn(0, 489);  // ' Sie bewegen sich in jedem Level, auch wenn sie noch
    __dLn(0, 490);  // ' nicht zu sehen sind: so stehen sie gleich bereit.
    __dLn(0, 491);  // '
    __dLn(0, 492);  // ' Start zu jedem Levelstart:
    __dLn(0, 493);  // '   0 (64, 352), 1 (864, 352), 2 (80, 608)
    __dLn(0, 494);  // ENDSUB
}
