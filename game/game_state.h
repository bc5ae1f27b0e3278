// Zorvelin's global state. Like every program in the BASIC dialect, the game
// keeps all its variables in globals: numbers are doubles, the five arrays
// hold numbers, and the subroutines talk to each other only through them.
#pragma once

#include "commands.h"

// Set at the start of a game.
extern double geschwindigkeit;  // speed of the chasing guards: 1 easy, 2 hard
extern double anzahlleben;      // lives left
extern double levelz;           // current level, 1 to 5
extern double gegner2aktiv;     // the free chaser runs when this is at least 1
extern double anzahlgegner3;    // highest index of the drawn type-3 guards; none when negative
extern double levelgeschafft;   // 1 when every flag of the level is collected
extern double musik, musika, musikb;  // the music toggle

// Loop counters and temporaries shared by all subroutines.
extern double i, j;
extern double xpixel, ypixel;

// Set at the start of a level attempt.
extern double xpos, ypos;        // the cat's screen position
extern double scrollx, scrolly;  // world-to-screen offset, 0 or negative
extern double flaggea, flaggeb, flaggec, flagged, flaggee, flaggef, flaggeg, flaggeh, flaggei;
extern double gegner2x, gegner2y, gegner2startschalter;
extern double gegner1coll, gegner2coll, gegner3coll;
extern double geschnappt;        // 1 once the cat was caught in this attempt

// Never reset: they carry on across levels and games.
extern double blick;             // the cat's facing: 0 right, 1 left
extern double gegner1x;          // world x of the two patrolling guards
extern double gegner1schalter;   // patrol direction: 0 right, 1 left
extern double phi;               // turn of the intro picture, degrees
extern double schalter;          // key-release helper of the screens
extern double vogelz;            // the bird's animation counter

extern KvIntArray feld;          // 22 x 30 tiles: 0 sky, 1 land, 2 flag
extern KvIntArray braunepixelx, braunepixely;  // dirt-dot offsets, 631 each
extern KvIntArray gegner3x, gegner3y;          // the type-3 guards

// The constant texts: media file names and what the screens say.
extern KvStr datei_font, datei_fontklein;
extern KvStr datei_katze_rechts, datei_katze_links, datei_wachmann, datei_flagge, datei_land,
    datei_himmel, datei_berge, datei_sonne, datei_vogel_0, datei_vogel_1, datei_vogel_2, datei_vogel_3;
extern KvStr datei_einsammeln, datei_gefangen, datei_musik;
extern KvStr text_zorvelin, text_leicht, text_schwer, text_musik;
extern KvStr text_du_wurdest, text_gefangen, text_weiter;
extern KvStr text_du_hast_es, text_nicht_ge, text_schafft;
extern KvStr text_level, text_leerzeichen, text_geschafft;
