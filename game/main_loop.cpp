// __MainGameSub_: loads the media, starts a game (A), starts each level
// attempt (B) and runs the frames (C). The labels are the jump targets of
// the BASIC source; every line reports its index through __dLn.
#include "game_state.h"
#include "subroutines.h"

void __MainGameSub_()
{
    __dLn(0, 0);  // ' ==================================================
    __dLn(0, 1);  // '  Zorvelin - das fertige Spiel
    __dLn(0, 2);  // ' ==================================================
    __dLn(0, 3);  // '
    __dLn(0, 4);  // ' Die Katze Zorvelin sammelt auf einer Landschaft von
    __dLn(0, 5);  // ' 30 x 22 Feldern (960 x 704 Pixel) die neun Flaggen
    __dLn(0, 6);  // ' eines Levels ein. Waechter jagen sie. Fuenf Level
    __dLn(0, 7);  // ' sind ein Spiel, drei Leben gelten fuer alle Level.
    __dLn(0, 8);  // '
    __dLn(0, 9);  // ' Tasten: Pfeiltasten laufen, M schaltet die Musik,
    __dLn(0, 10);  // ' Leertaste bestaetigt, Escape beendet.
    __dLn(0, 11);  // '
    __dLn(0, 12);  // ' Sprites:  0 Katze rechts, 1 Katze links, 2 Waechter,
    __dLn(0, 13);  // '           3 Flagge, 4 Land, 5 Himmel, 6 Berge,
    __dLn(0, 14);  // '           7 Sonne, 8 bis 11 Vogel
    __dLn(0, 15);  // ' Sounds:   0 einsammeln, 1 gefangen, 2 Musik
    __dLn(0, 16);  // ' Fonts:    0 gross, 1 klein
    __dLn(0, 17);  // '
    __dLn(0, 18);  // ' Das Feld: 0 Himmel, 1 Land, 2 Flagge
    __dLn(0, 19);  // '
    __dLn(0, 20);  // ' Ablauf:
    __dLn(0, 21);  // '   anfang       Medien laden, Feld bauen, Intro
    __dLn(0, 22);  // '   levelanfang  naechster Level oder gewonnen,
    __dLn(0, 23);  // '                Katze und Waechter auf ihre Plaetze
    __dLn(0, 24);  // '   bild         ein Bild des Spiels, dann SHOWSCREEN
    __dLn(0, 25);  // '
    __dLn(0, 26);  // ' Reihenfolge in jedem Bild: Musik, Feld, Katze,
    __dLn(0, 27);  // ' Flaggen, Waechter, Leben und zuletzt der Vogel.
    __dLn(0, 28);  // '
    __dLn(0, 29);  // ' Gefangen:  der Level beginnt von vorn.
    __dLn(0, 30);  // ' Verloren:  ein neues Spiel beginnt.
    __dLn(0, 31);  // ' Geschafft: der naechste Level beginnt, nach dem
    __dLn(0, 32);  // '            fuenften ein neues Spiel.
    __dLn(0, 33);  // '
    __dLn(0, 34);  // ' Spielstart ----------------------------------------
A:
    __dLn(0, 35);  LOADFONT(datei_font, 0);                       // LOADFONT "font.bmp", 0
    __dLn(0, 36);  LOADFONT(datei_fontklein, 1);                  // LOADFONT "fontklein.bmp", 1
    __dLn(0, 37);  LOADSPRITE(datei_katze_rechts, 0);             // LOADSPRITE "katze_rechts.bmp", 0
    __dLn(0, 38);  LOADSPRITE(datei_katze_links, 1);              // LOADSPRITE "katze_links.bmp", 1
    __dLn(0, 39);  LOADSPRITE(datei_wachmann, 2);                 // LOADSPRITE "wachmann.bmp", 2
    __dLn(0, 40);  LOADSPRITE(datei_flagge, 3);                   // LOADSPRITE "flagge.bmp", 3
    __dLn(0, 41);  LOADSPRITE(datei_land, 4);                     // LOADSPRITE "land.bmp", 4
    __dLn(0, 42);  LOADSPRITE(datei_himmel, 5);                   // LOADSPRITE "himmel.bmp", 5
    __dLn(0, 43);  LOADSPRITE(datei_berge, 6);                    // LOADSPRITE "berge.bmp", 6
    __dLn(0, 44);  LOADSPRITE(datei_sonne, 7);                    // LOADSPRITE "sonne.bmp", 7
    __dLn(0, 45);  LOADSPRITE(datei_vogel_0, 8);                  // LOADSPRITE "vogel_0.bmp", 8
    __dLn(0, 46);  LOADSPRITE(datei_vogel_1, 9);                  // LOADSPRITE "vogel_1.bmp", 9
    __dLn(0, 47);  LOADSPRITE(datei_vogel_2, 10);                 // LOADSPRITE "vogel_2.bmp", 10
    __dLn(0, 48);  LOADSPRITE(datei_vogel_3, 11);                 // LOADSPRITE "vogel_3.bmp", 11
    __dLn(0, 49);  LOADSOUND(datei_einsammeln, 0, 1);             // LOADSOUND "einsammeln.wav", 0, 1
    __dLn(0, 50);  LOADSOUND(datei_gefangen, 1, 1);               // LOADSOUND "gefangen.wav", 1, 1
    __dLn(0, 51);  LOADSOUND(datei_musik, 2, 1);                  // LOADSOUND "musik.wav", 2, 1
    __dLn(0, 52);  // '
    __dLn(0, 53);  geschwindigkeit = 1;                           // geschwindigkeit = 1
    __dLn(0, 54);  anzahlleben = 3;                               // anzahlleben = 3
    __dLn(0, 55);  levelz = 0;                                    // levelz = 0
    __dLn(0, 56);  gegner2aktiv = -1;                             // gegner2aktiv = -1
    __dLn(0, 57);  anzahlgegner3 = -3;                            // anzahlgegner3 = -3
    __dLn(0, 58);  levelgeschafft = 1;                            // levelgeschafft = 1
    __dLn(0, 59);  musik = 1;                                     // musik = 1
    __dLn(0, 60);  // '
    __dLn(0, 61);  // ' Vier Reihen Himmel ueber achtzehn Reihen Land
    __dLn(0, 62);  DIM(feld, 22, 30);                             // DIM feld[22][30]
    __dLn(0, 63);  for (i = 0; i <= 21; i = i + 1) {              // FOR i = 0 TO 21
    __dLn(0, 64);      for (j = 0; j <= 29; j = j + 1) {          //   FOR j = 0 TO 29
    __dLn(0, 65);          if (i < 4) feld(i, j) = 0;             //     IF i < 4 THEN feld[i][j] = 0
    __dLn(0, 66);          if (i >= 4) feld(i, j) = 1;            //     IF i >= 4 THEN feld[i][j] = 1
    __dLn(0, 67);      }                                          //   NEXT
    __dLn(0, 68);  }                                              // NEXT
    __dLn(0, 69);  // '
    __dLn(0, 70);  // ' Ein brauner Punkt fuer jedes Landfeld
    __dLn(0, 71);  DIM(braunepixelx, 631);                        // DIM braunepixelx[631]
    __dLn(0, 72);  DIM(braunepixely, 631);                        // DIM braunepixely[631]
    __dLn(0, 73);  for (i = 0; i <= 630; i = i + 1) {             // FOR i = 0 TO 630
    __dLn(0, 74);      ypixel = RND(32);                          //   ypixel = RND(32)
    __dLn(0, 75);      xpixel = RND(32);                          //   xpixel = RND(32)
    __dLn(0, 76);      braunepixely(i) = ypixel;                  //   braunepixely[i] = ypixel
    __dLn(0, 77);      braunepixelx(i) = xpixel;                  //   braunepixelx[i] = xpixel
    __dLn(0, 78);  }                                              // NEXT
    __dLn(0, 79);  // '
    __dLn(0, 80);  // ' Die neun Flaggen
    __dLn(0, 81);  feld(6, 1) = 2;                                // feld[6][1] = 2
    __dLn(0, 82);  feld(13, 1) = 2;                               // feld[13][1] = 2
    __dLn(0, 83);  feld(20, 1) = 2;                               // feld[20][1] = 2
    __dLn(0, 84);  feld(6, 14) = 2;                               // feld[6][14] = 2
    __dLn(0, 85);  feld(13, 14) = 2;                              // feld[13][14] = 2
    __dLn(0, 86);  feld(20, 14) = 2;                              // feld[20][14] = 2
    __dLn(0, 87);  feld(6, 28) = 2;                               // feld[6][28] = 2
    __dLn(0, 88);  feld(13, 28) = 2;                              // feld[13][28] = 2
    __dLn(0, 89);  feld(20, 28) = 2;                              // feld[20][28] = 2
    __dLn(0, 90);  // '
    __dLn(0, 91);  intro();                                       // GOSUB intro
    __dLn(0, 92);  // '
    __dLn(0, 93);  // ' Levelstart ----------------------------------------
B:
    __dLn(0, 94);  if (levelgeschafft == 1) nextlevel();          // IF levelgeschafft = 1 THEN GOSUB nextlevel
    __dLn(0, 95);  if (levelz >= 6) {                             // IF levelz >= 6
    __dLn(0, 96);      gewonnen();                                //   GOSUB gewonnen
    __dLn(0, 97);      goto A;                                    //   GOTO anfang
    }
    __dLn(0, 98);  // ENDIF
    __dLn(0, 99);  // '
    __dLn(0, 100);  xpos = 300;                                    // xpos = 300
    __dLn(0, 101);  ypos = 140;                                    // ypos = 140
    __dLn(0, 102);  scrollx = -160;                                // scrollx = -160
    __dLn(0, 103);  scrolly = -112;                                // scrolly = -112
    __dLn(0, 104);  flaggea = 0;                                   // flaggea = 0
    __dLn(0, 105);  flaggeb = 0;                                   // flaggeb = 0
    __dLn(0, 106);  flaggec = 0;                                   // flaggec = 0
    __dLn(0, 107);  flagged = 0;                                   // flagged = 0
    __dLn(0, 108);  flaggee = 0;                                   // flaggee = 0
    __dLn(0, 109);  flaggef = 0;                                   // flaggef = 0
    __dLn(0, 110);  flaggeg = 0;                                   // flaggeg = 0
    __dLn(0, 111);  flaggeh = 0;                                   // flaggeh = 0
    __dLn(0, 112);  flaggei = 0;                                   // flaggei = 0
    __dLn(0, 113);  gegner2x = 100;                                // gegner2x = 100
    __dLn(0, 114);  gegner2y = 160;                                // gegner2y = 160
    __dLn(0, 115);  gegner2startschalter = 0;                      // gegner2startschalter = 0
    __dLn(0, 116);  gegner1coll = 0;                               // gegner1coll = 0
    __dLn(0, 117);  gegner2coll = 0;                               // gegner2coll = 0
    __dLn(0, 118);  gegner3coll = 0;                               // gegner3coll = 0
    __dLn(0, 119);  geschnappt = 0;                                // geschnappt = 0
    __dLn(0, 120);  // '
    __dLn(0, 121);  DIM(gegner3x, 3);                              // DIM gegner3x[3]
    __dLn(0, 122);  DIM(gegner3y, 3);                              // DIM gegner3y[3]
    __dLn(0, 123);  gegner3x(0) = 64;                              // gegner3x[0] = 64
    __dLn(0, 124);  gegner3x(1) = 864;                             // gegner3x[1] = 864
    __dLn(0, 125);  gegner3x(2) = 80;                              // gegner3x[2] = 80
    __dLn(0, 126);  gegner3y(0) = 352;                             // gegner3y[0] = 352
    __dLn(0, 127);  gegner3y(1) = 352;                             // gegner3y[1] = 352
    __dLn(0, 128);  gegner3y(2) = 608;                             // gegner3y[2] = 608
    __dLn(0, 129);  // '
    __dLn(0, 130);  // ' Ein Bild -----------------------------------------
C:
    __dLn(0, 131);  music();                                       // GOSUB music
    __dLn(0, 132);  level();                                       // GOSUB level
    __dLn(0, 133);  zorvelin();                                    // GOSUB zorvelin
    __dLn(0, 134);  einsammeln();                                  // GOSUB einsammeln
    __dLn(0, 135);  gegner1();                                     // GOSUB gegner1
    __dLn(0, 136);  if (gegner2aktiv >= 1) gegner2();              // IF gegner2aktiv >= 1 THEN GOSUB gegner2
    __dLn(0, 137);  gegner_vom_typ3();                             // GOSUB gegner_vom_typ3
    __dLn(0, 138);  leben();                                       // GOSUB leben
    __dLn(0, 139);  // '
    __dLn(0, 140);  // ' Gefangen: der Level beginnt von vorn, die Flaggen bleiben
    __dLn(0, 141);  if (geschnappt == 1) goto B;                   // IF geschnappt = 1 THEN GOTO levelanfang
    __dLn(0, 142);  if (anzahlleben <= 0) {                        // IF anzahlleben <= 0
    __dLn(0, 143);      verloren();                                //   GOSUB verloren
    __dLn(0, 144);      goto A;                                    //   GOTO anfang
    }
    __dLn(0, 145);  // ENDIF
    __dLn(0, 146);  if (levelgeschafft == 1) goto B;               // IF levelgeschafft = 1 THEN GOTO levelanfang
    __dLn(0, 147);  // '
    __dLn(0, 148);  vogel();                                       // GOSUB vogel
    __dLn(0, 149);  SHOWSCREEN();                                  // SHOWSCREEN
    __dLn(0, 150);  goto C;                                        // GOTO bild
}
