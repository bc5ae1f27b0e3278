// The screens: full-screen messages, each with its own present loop that
// runs until the player answers. They draw only text (the intro also its
// picture) over whatever the last frame left in the back buffer. The four
// space-bar screens end when the space bar is released after it was seen
// held; schalter remembers the press.
#include "game_state.h"
#include "subroutines.h"

void intro()
{
    __dLn(0, 523);  // SUB intro:
    __dLn(0, 524);  // ' Der Titel, die Katze dreht sich auf einem Stueck Land.
    __dLn(0, 525);  // ' Taste 1: leicht, Taste 2: schwer.
    __dLn(0, 526);  // '
    __dLn(0, 527);  // ' phi dreht sich um 1 Grad je Bild, von 0 bis 358,
    __dLn(0, 528);  // ' und wird nie zurueckgesetzt.
    __dLn(0, 529);  // ' Das Spiel steht still, solange das Intro laeuft.
    __dLn(0, 530);  // ' Escape beendet das Programm (in SHOWSCREEN).
    __dLn(0, 531);  // '
intro_loop:
    __dLn(0, 532);  // introschleife:
    __dLn(0, 533);  SETFONT(0);                                        // SETFONT 0
    __dLn(0, 534);  PRINT(text_zorvelin, 140, 80);                     // PRINT "Zorvelin", 140, 80
    __dLn(0, 535);  ZOOMSPRITE(4, 274, 240, 4, 4);                     // ZOOMSPRITE 4, 274, 240, 4, 4
    __dLn(0, 536);  ROTOZOOMSPRITE(1, 274, 240, phi, 4);               // ROTOZOOMSPRITE 1, 274, 240, phi, 4
    __dLn(0, 537);  phi = phi + 1;                                     // phi = phi + 1
    __dLn(0, 538);  if (phi >= 359) phi = 0;                           // IF phi >= 359 THEN phi = 0
    __dLn(0, 539);  SETFONT(1);                                        // SETFONT 1
    __dLn(0, 540);  PRINT(text_leicht, 186, 380);                      // PRINT "leicht : 1", 186, 380
    __dLn(0, 541);  PRINT(text_schwer, 186, 400);                      // PRINT "schwer : 2", 186, 400
    __dLn(0, 542);  PRINT(text_musik, 186, 440);                       // PRINT "Musik  : M", 186, 440
    __dLn(0, 543);  SHOWSCREEN();                                      // SHOWSCREEN
    __dLn(0, 544);  // ' Beide Tasten zugleich: leicht
    __dLn(0, 545);  if (KEY(2) == 1) {                                 // IF KEY(2) = 1
    __dLn(0, 546);      geschwindigkeit = 1;                           //   geschwindigkeit = 1
    __dLn(0, 547);      return;                                        //   RETURN
    }
    __dLn(0, 548);  // ENDIF
    __dLn(0, 549);  if (KEY(3) == 1) {                                 // IF KEY(3) = 1
    __dLn(0, 550);      geschwindigkeit = 2;                           //   geschwindigkeit = 2
    __dLn(0, 551);      return;                                        //   RETURN
    }
    __dLn(0, 552);  // ENDIF
    __dLn(0, 553);  goto intro_loop;                                   // GOTO introschleife
    __dLn(0, 554);  // ENDSUB
}

void gefangen()
{
    __dLn(0, 575);  // SUB gefangen:
    __dLn(0, 576);  // ' Ein Waechter hat die Katze: ein Leben weniger,
    __dLn(0, 577);  // ' danach beginnt der Level von vorn.
    __dLn(0, 578);  geschnappt = 1;                                    // geschnappt = 1
    __dLn(0, 579);  anzahlleben = anzahlleben - 1;                     // anzahlleben = anzahlleben - 1
    __dLn(0, 580);  // '
    __dLn(0, 581);  // ' Die Leertaste:
    __dLn(0, 582);  // '   gedrueckt   -> schalter = 1
    __dLn(0, 583);  // '   losgelassen -> weiter, wenn schalter = 1
    __dLn(0, 584);  // ' Ein Druck, der schon vor dem Bild begann, zaehlt auch,
    __dLn(0, 585);  // ' solange die Taste beim ersten Test noch gedrueckt ist.
    __dLn(0, 586);  // '
    __dLn(0, 587);  // ' Das Spiel steht still, bis die Leertaste kommt.
    __dLn(0, 588);  // '
gefangen_loop:
    __dLn(0, 589);  // gefangenschleife:
    __dLn(0, 590);  SETFONT(0);                                        // SETFONT 0
    __dLn(0, 591);  PRINT(text_du_wurdest, 100, 100);                  // PRINT "Du wurdest", 100, 100
    __dLn(0, 592);  PRINT(text_gefangen, 100, 140);                    // PRINT "gefangen", 100, 140
    __dLn(0, 593);  SETFONT(1);                                        // SETFONT 1
    __dLn(0, 594);  PRINT(text_weiter, 100, 400);                      // PRINT "Weiter mit Leertaste", 100, 400
    __dLn(0, 595);  SHOWSCREEN();                                      // SHOWSCREEN
    __dLn(0, 596);  // ' Weiter, wenn die Leertaste losgelassen wird
    __dLn(0, 597);  if (KEY(57) == 1) schalter = 1;                    // IF KEY(57) = 1 THEN schalter = 1
    __dLn(0, 598);  if (KEY(57) == 0 && schalter == 1) {               // IF KEY(57) = 0 AND schalter = 1
    __dLn(0, 599);      schalter = 0;                                  //   schalter = 0
    __dLn(0, 600);      return;                                        //   RETURN
    }
    __dLn(0, 601);  // ENDIF
    __dLn(0, 602);  goto gefangen_loop;                                // GOTO gefangenschleife
    __dLn(0, 603);  // ENDSUB
}

void verloren()
{
    __dLn(0, 614);  // SUB verloren:
    __dLn(0, 615);  // ' Keine Leben mehr: danach beginnt ein neues Spiel.
    __dLn(0, 616);  // '
    __dLn(0, 617);  // ' Die Leertaste:
    __dLn(0, 618);  // '   gedrueckt   -> schalter = 1
    __dLn(0, 619);  // '   losgelassen -> weiter, wenn schalter = 1
    __dLn(0, 620);  // ' Ein Druck, der schon vor dem Bild begann, zaehlt auch,
    __dLn(0, 621);  // ' solange die Taste beim ersten Test noch gedrueckt ist.
    __dLn(0, 622);  // '
    __dLn(0, 623);  // ' Das Spiel steht still, bis die Leertaste kommt.
    __dLn(0, 624);  // ' Danach geht es zum Spielstart: neue Medien,
    __dLn(0, 625);  // ' drei Leben, Level 1, neues Intro.
    __dLn(0, 626);  // '
verloren_loop:
    __dLn(0, 627);  // verlorenschleife:
    __dLn(0, 628);  SETFONT(0);                                        // SETFONT 0
    __dLn(0, 629);  PRINT(text_du_hast_es, 100, 100);                  // PRINT "Du hast es", 100, 100
    __dLn(0, 630);  PRINT(text_nicht_ge, 100, 140);                    // PRINT "nicht ge-", 100, 140
    __dLn(0, 631);  PRINT(text_schafft, 100, 180);                     // PRINT "schafft", 100, 180
    __dLn(0, 632);  SETFONT(1);                                        // SETFONT 1
    __dLn(0, 633);  PRINT(text_weiter, 100, 400);                      // PRINT "Weiter mit Leertaste", 100, 400
    __dLn(0, 634);  SHOWSCREEN();                                      // SHOWSCREEN
    __dLn(0, 635);  // ' Weiter, wenn die Leertaste losgelassen wird
    __dLn(0, 636);  if (KEY(57) == 1) schalter = 1;                    // IF KEY(57) = 1 THEN schalter = 1
    __dLn(0, 637);  if (KEY(57) == 0 && schalter == 1) {               // IF KEY(57) = 0 AND schalter = 1
    __dLn(0, 638);      schalter = 0;                                  //   schalter = 0
    __dLn(0, 639);      return;                                        //   RETURN
    }
    __dLn(0, 640);  // ENDIF
    __dLn(0, 641);  goto verloren_loop;                                // GOTO verlorenschleife
    __dLn(0, 642);  // ENDSUB
}

void nextlevel()
{
    __dLn(0, 653);  // SUB nextlevel:
    __dLn(0, 654);  // ' Die neun Flaggen stehen wieder
    __dLn(0, 655);  feld(6, 1) = 2;                                    // feld[6][1] = 2
    __dLn(0, 656);  feld(13, 1) = 2;                                   // feld[13][1] = 2
    __dLn(0, 657);  feld(20, 1) = 2;                                   // feld[20][1] = 2
    __dLn(0, 658);  feld(6, 14) = 2;                                   // feld[6][14] = 2
    __dLn(0, 659);  feld(13, 14) = 2;                                  // feld[13][14] = 2
    __dLn(0, 660);  feld(20, 14) = 2;                                  // feld[20][14] = 2
    __dLn(0, 661);  feld(6, 28) = 2;                                   // feld[6][28] = 2
    __dLn(0, 662);  feld(13, 28) = 2;                                  // feld[13][28] = 2
    __dLn(0, 663);  feld(20, 28) = 2;                                  // feld[20][28] = 2
    __dLn(0, 664);  // '
    __dLn(0, 665);  // ' Der naechste Level bringt mehr Waechter
    __dLn(0, 666);  levelgeschafft = 0;                                // levelgeschafft = 0
    __dLn(0, 667);  levelz = levelz + 1;                               // levelz = levelz + 1
    __dLn(0, 668);  gegner2aktiv = gegner2aktiv + 1;                   // gegner2aktiv = gegner2aktiv + 1
    __dLn(0, 669);  anzahlgegner3 = anzahlgegner3 + 1;                 // anzahlgegner3 = anzahlgegner3 + 1
    __dLn(0, 670);  if (anzahlgegner3 >= 2) anzahlgegner3 = 2;         // IF anzahlgegner3 >= 2 THEN anzahlgegner3 = 2
    __dLn(0, 671);  // '
    __dLn(0, 672);  // ' Nach dem fuenften Level kommt gewonnen, ohne Levelbild
    __dLn(0, 673);  if (levelz >= 6) return;                           // IF levelz >= 6 THEN RETURN
    __dLn(0, 674);  // '
    __dLn(0, 675);  // ' Die Leertaste:
    __dLn(0, 676);  // '   gedrueckt   -> schalter = 1
    __dLn(0, 677);  // '   losgelassen -> weiter, wenn schalter = 1
    __dLn(0, 678);  // ' Ein Druck, der schon vor dem Bild begann, zaehlt auch,
    __dLn(0, 679);  // ' solange die Taste beim ersten Test noch gedrueckt ist.
    __dLn(0, 680);  // '
    __dLn(0, 681);  // ' Der Text: Level 1 bis Level 5, die Zahl
    __dLn(0, 682);  // ' haengt PRINT mit der Zahlwandlung an.
    __dLn(0, 683);  // '
    __dLn(0, 684);  // ' Die Zaehler nach nextlevel:
    __dLn(0, 685);  // '   Level:        1   2   3   4   5
    __dLn(0, 686);  // '   gegner2aktiv: 0   1   2   3   4
    __dLn(0, 687);  // '   anzahlgegner3: -2 -1   0   1   2
    __dLn(0, 688);  // '
    __dLn(0, 689);  // ' Die Flaggen werden nur hier zurueckgesetzt.
    __dLn(0, 690);  // '
nextlevel_loop:
    __dLn(0, 691);  // levelschleife:
    __dLn(0, 692);  SETFONT(0);                                        // SETFONT 0
    __dLn(0, 693);  PRINT(text_level + text_leerzeichen + levelz, 100, 100);  // PRINT "Level" + " " + levelz, 100, 100
    __dLn(0, 694);  SETFONT(1);                                        // SETFONT 1
    __dLn(0, 695);  PRINT(text_weiter, 100, 400);                      // PRINT "Weiter mit Leertaste", 100, 400
    __dLn(0, 696);  SHOWSCREEN();                                      // SHOWSCREEN
    __dLn(0, 697);  // ' Weiter, wenn die Leertaste losgelassen wird
    __dLn(0, 698);  if (KEY(57) == 1) schalter = 1;                    // IF KEY(57) = 1 THEN schalter = 1
    __dLn(0, 699);  if (KEY(57) == 0 && schalter == 1) {               // IF KEY(57) = 0 AND schalter = 1
    __dLn(0, 700);      schalter = 0;                                  //   schalter = 0
    __dLn(0, 701);      return;                                        //   RETURN
    }
    __dLn(0, 702);  // ENDIF
    __dLn(0, 703);  goto nextlevel_loop;                               // GOTO levelschleife
    __dLn(0, 704);  // ENDSUB
}

void gewonnen()
{
    __dLn(0, 716);  // SUB gewonnen:
    __dLn(0, 717);  // ' Alle fuenf Level geschafft: danach ein neues Spiel.
    __dLn(0, 718);  // '
    __dLn(0, 719);  // ' Die Leertaste:
    __dLn(0, 720);  // '   gedrueckt   -> schalter = 1
    __dLn(0, 721);  // '   losgelassen -> weiter, wenn schalter = 1
    __dLn(0, 722);  // ' Ein Druck, der schon vor dem Bild begann, zaehlt auch,
    __dLn(0, 723);  // ' solange die Taste beim ersten Test noch gedrueckt ist.
    __dLn(0, 724);  // '
    __dLn(0, 725);  // ' Das Spiel steht still, bis die Leertaste kommt.
    __dLn(0, 726);  // ' Danach geht es zum Spielstart: neue Medien,
    __dLn(0, 727);  // ' drei Leben, Level 1, neues Intro.
    __dLn(0, 728);  // '
gewonnen_loop:
    __dLn(0, 729);  // gewonnenschleife:
    __dLn(0, 730);  SETFONT(0);                                        // SETFONT 0
    __dLn(0, 731);  PRINT(text_du_hast_es, 100, 100);                  // PRINT "Du hast es", 100, 100
    __dLn(0, 732);  PRINT(text_geschafft, 100, 140);                   // PRINT "geschafft", 100, 140
    __dLn(0, 733);  SETFONT(1);                                        // SETFONT 1
    __dLn(0, 734);  PRINT(text_weiter, 100, 400);                      // PRINT "Weiter mit Leertaste", 100, 400
    __dLn(0, 735);  SHOWSCREEN();                                      // SHOWSCREEN
    __dLn(0, 736);  // ' Weiter, wenn die Leertaste losgelassen wird
    __dLn(0, 737);  if (KEY(57) == 1) schalter = 1;                    // IF KEY(57) = 1 THEN schalter = 1
    __dLn(0, 738);  if (KEY(57) == 0 && schalter == 1) {               // IF KEY(57) = 0 AND schalter = 1
    __dLn(0, 739);      schalter = 0;                                  //   schalter = 0
    __dLn(0, 740);      return;                                        //   RETURN
    }
    __dLn(0, 741);  // ENDIF
    __dLn(0, 742);  goto gewonnen_loop;                                // GOTO gewonnenschleife
    __dLn(0, 743);  // ENDSUB
}
