// zorvelin: moves the cat 3 pixels per frame with the arrow keys, draws it,
// then scrolls the view when the cat pushes against the free band of the
// screen (x 200 to 408, y 152 to 248) until the view meets the world's
// edge. The cat alone lives in screen coordinates.
#include "game_state.h"
#include "subroutines.h"

void zorvelin()
{
    __dLn(0, 197);  // SUB zorvelin:
    __dLn(0, 198);  // ' Tasten: 200 hoch, 208 runter, 203 links, 205 rechts
    __dLn(0, 199);  // ' blick: 0 nach rechts (Sprite 0), 1 nach links (Sprite 1)
    __dLn(0, 200);  // '
    __dLn(0, 201);  // ' Die Katze laeuft 3 Pixel je Bild, in jeder Richtung,
    __dLn(0, 202);  // ' schraeg also 3 Pixel in x und 3 Pixel in y.
    __dLn(0, 203);  // ' Entgegengesetzte Tasten heben sich auf.
    __dLn(0, 204);  // '
    __dLn(0, 205);  // ' xpos, ypos: die Katze auf dem Bildschirm
    __dLn(0, 206);  // ' Welt-Position: xpos - scrollx, ypos - scrolly
    __dLn(0, 207);  // '
    __dLn(0, 208);  // ' Erst laufen und zeichnen, dann scrollen:
    __dLn(0, 209);  // ' die verschobene Katze erscheint im naechsten Bild.
    __dLn(0, 210);  // '
    __dLn(0, 211);  // ' Sieben Tests, jeder liest die Tasten neu.
    __dLn(0, 212);  // '
    __dLn(0, 213);  // ' ------------------------------------------------
    __dLn(0, 214);  // ' Laufen
    __dLn(0, 215);  // ' ------------------------------------------------
    __dLn(0, 216);  // ' Keine Taste: die Katze steht
    __dLn(0, 217);  if (KEY(200) == 0 && KEY(208) == 0 && KEY(203) == 0 && KEY(205) == 0) {  // IF KEY(200)=0 AND KEY(208)=0 AND KEY(203)=0 AND KEY(205)=0
    __dLn(0, 218);      if (blick == 0) SPRITE(0, xpos, ypos);         //   IF blick = 0 THEN SPRITE 0, xpos, ypos
    __dLn(0, 219);      if (blick != 0) SPRITE(1, xpos, ypos);         //   IF blick <> 0 THEN SPRITE 1, xpos, ypos
    }
    __dLn(0, 220);  // ENDIF
    __dLn(0, 221);  // '
    __dLn(0, 222);  // ' Hoch
    __dLn(0, 223);  if (KEY(200) == 1 && KEY(208) == 0) {               // IF KEY(200) = 1 AND KEY(208) = 0
    __dLn(0, 224);      ypos = ypos - 3;                                //   ypos = ypos - 3
    __dLn(0, 225);      if (KEY(203) == 0 && KEY(205) == 0) {           //   IF KEY(203) = 0 AND KEY(205) = 0
    __dLn(0, 226);          if (blick == 0) SPRITE(0, xpos, ypos);     //     IF blick = 0 THEN SPRITE 0, xpos, ypos
    __dLn(0, 227);          if (blick != 0) SPRITE(1, xpos, ypos);     //     IF blick <> 0 THEN SPRITE 1, xpos, ypos
        }
    __dLn(0, 228);      // ENDIF
    }
    __dLn(0, 229);  // ENDIF
    __dLn(0, 230);  // '
    __dLn(0, 231);  // ' Runter
    __dLn(0, 232);  if (KEY(208) == 1 && KEY(200) == 0) {               // IF KEY(208) = 1 AND KEY(200) = 0
    __dLn(0, 233);      ypos = ypos + 3;                                //   ypos = ypos + 3
    __dLn(0, 234);      if (KEY(203) == 0 && KEY(205) == 0) {           //   IF KEY(203) = 0 AND KEY(205) = 0
    __dLn(0, 235);          if (blick == 0) SPRITE(0, xpos, ypos);     //     IF blick = 0 THEN SPRITE 0, xpos, ypos
    __dLn(0, 236);          if (blick != 0) SPRITE(1, xpos, ypos);     //     IF blick <> 0 THEN SPRITE 1, xpos, ypos
        }
    __dLn(0, 237);      // ENDIF
    }
    __dLn(0, 238);  // ENDIF
    __dLn(0, 239);  // '
    __dLn(0, 240);  // ' Links
    __dLn(0, 241);  if (KEY(203) == 1 && KEY(205) == 0) {               // IF KEY(203) = 1 AND KEY(205) = 0
    __dLn(0, 242);      xpos = xpos - 3;                                //   xpos = xpos - 3
    __dLn(0, 243);      blick = 1;                                      //   blick = 1
    __dLn(0, 244);      SPRITE(1, xpos, ypos);                          //   SPRITE 1, xpos, ypos
    }
    __dLn(0, 245);  // ENDIF
    __dLn(0, 246);  // '
    __dLn(0, 247);  // ' Rechts
    __dLn(0, 248);  if (KEY(205) == 1 && KEY(203) == 0) {               // IF KEY(205) = 1 AND KEY(203) = 0
    __dLn(0, 249);      xpos = xpos + 3;                                //   xpos = xpos + 3
    __dLn(0, 250);      blick = 0;                                      //   blick = 0
    __dLn(0, 251);      SPRITE(0, xpos, ypos);                          //   SPRITE 0, xpos, ypos
    }
    __dLn(0, 252);  // ENDIF
    __dLn(0, 253);  // '
    __dLn(0, 254);  // ' Hoch und runter zugleich: die Katze steht
    __dLn(0, 255);  if (KEY(200) == 1 && KEY(208) == 1) {               // IF KEY(200) = 1 AND KEY(208) = 1
    __dLn(0, 256);      if (blick == 0) SPRITE(0, xpos, ypos);         //   IF blick = 0 THEN SPRITE 0, xpos, ypos
    __dLn(0, 257);      if (blick != 0) SPRITE(1, xpos, ypos);         //   IF blick <> 0 THEN SPRITE 1, xpos, ypos
    }
    __dLn(0, 258);  // ENDIF
    __dLn(0, 259);  // '
    __dLn(0, 260);  // ' Links und rechts zugleich: die Katze steht
    __dLn(0, 261);  if (KEY(203) == 1 && KEY(205) == 1) {               // IF KEY(203) = 1 AND KEY(205) = 1
    __dLn(0, 262);      if (blick == 0) SPRITE(0, xpos, ypos);         //   IF blick = 0 THEN SPRITE 0, xpos, ypos
    __dLn(0, 263);      if (blick != 0) SPRITE(1, xpos, ypos);         //   IF blick <> 0 THEN SPRITE 1, xpos, ypos
    }
    __dLn(0, 264);  // ENDIF
    __dLn(0, 265);  // '
    __dLn(0, 266);  // ' Scrollen: am Rand des freien Bereichs bewegt sich
    __dLn(0, 267);  // ' die Welt statt der Katze
    __dLn(0, 268);  if (xpos > 408 && scrollx > -320) {                 // IF xpos > 408 AND scrollx > -320
    __dLn(0, 269);      xpos = 408;                                     //   xpos = 408
    __dLn(0, 270);      scrollx = scrollx - 3;                          //   scrollx = scrollx - 3
    }
    __dLn(0, 271);  // ENDIF
    __dLn(0, 272);  if (xpos >= 608) xpos = 608;                        // IF xpos >= 608 THEN xpos = 608
    __dLn(0, 273);  if (xpos < 200 && scrollx < 0) {                    // IF xpos < 200 AND scrollx < 0
    __dLn(0, 274);      xpos = 200;                                     //   xpos = 200
    __dLn(0, 275);      scrollx = scrollx + 3;                          //   scrollx = scrollx + 3
    }
    __dLn(0, 276);  // ENDIF
    __dLn(0, 277);  if (xpos <= 0) xpos = 0;                            // IF xpos <= 0 THEN xpos = 0
    __dLn(0, 278);  // '
    __dLn(0, 279);  if (ypos > 248 && scrolly > -224) {                 // IF ypos > 248 AND scrolly > -224
    __dLn(0, 280);      ypos = 248;                                     //   ypos = 248
    __dLn(0, 281);      scrolly = scrolly - 3;                          //   scrolly = scrolly - 3
    }
    __dLn(0, 282);  // ENDIF
    __dLn(0, 283);  if (ypos >= 448) ypos = 448;                        // IF ypos >= 448 THEN ypos = 448
    __dLn(0, 284);  // ' Nach oben nie ueber 152: der Himmel bleibt frei
    __dLn(0, 285);  if (ypos < 152) {                                   // IF ypos < 152
    __dLn(0, 286);      ypos = 152;                                     //   ypos = 152
    __dLn(0, 287);      scrolly = scrolly + 3;                          //   scrolly = scrolly + 3
    }
    __dLn(0, 288);  // ENDIF
    __dLn(0, 289);  // '
    __dLn(0, 290);  // ' Die Sicht bleibt in der Welt
    __dLn(0, 291);  if (scrollx <= -320) scrollx = -320;                // IF scrollx <= -320 THEN scrollx = -320
    __dLn(0, 292);  if (scrollx >= 0) scrollx = 0;                      // IF scrollx >= 0 THEN scrollx = 0
    __dLn(0, 293);  if (scrolly <= -224) scrolly = -224;                // IF scrolly <= -224 THEN scrolly = -224
    __dLn(0, 294);  if (scrolly >= 0) scrolly = 0;                      // IF scrolly >= 0 THEN scrolly = 0
    __dLn(0, 295);  // '
    __dLn(0, 296);  // ' Der freie Bereich (Bildschirm-Pixel):
    __dLn(0, 297);  // '   x von 200 bis 408, y von 152 bis 248
    __dLn(0, 298);  // ' Am Rand der Welt darf die Katze ihn verlassen:
    __dLn(0, 299);  // '   nach links bis 0, nach rechts bis 608,
    __dLn(0, 300);  // '   nach unten bis 448
    __dLn(0, 301);  // '
    __dLn(0, 302);  // ' scrollx: -320 bis 0, scrolly: -224 bis 0
    __dLn(0, 303);  // '
    __dLn(0, 304);  // ENDSUB
}
