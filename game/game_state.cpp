#include "game_state.h"

double geschwindigkeit, anzahlleben, levelz, gegner2aktiv, anzahlgegner3, levelgeschafft;
double musik, musika, musikb;
double i, j;
double xpixel, ypixel;
double xpos, ypos, scrollx, scrolly;
double flaggea, flaggeb, flaggec, flagged, flaggee, flaggef, flaggeg, flaggeh, flaggei;
double gegner2x, gegner2y, gegner2startschalter;
double gegner1coll, gegner2coll, gegner3coll;
double geschnappt;
double blick, gegner1x, gegner1schalter, phi, schalter, vogelz;

KvIntArray feld;
KvIntArray braunepixelx, braunepixely;
KvIntArray gegner3x, gegner3y;

KvStr datei_font = "font.bmp";
KvStr datei_fontklein = "fontklein.bmp";
KvStr datei_katze_rechts = "katze_rechts.bmp";
KvStr datei_katze_links = "katze_links.bmp";
KvStr datei_wachmann = "wachmann.bmp";
KvStr datei_flagge = "flagge.bmp";
KvStr datei_land = "land.bmp";
KvStr datei_himmel = "himmel.bmp";
KvStr datei_berge = "berge.bmp";
KvStr datei_sonne = "sonne.bmp";
KvStr datei_vogel_0 = "vogel_0.bmp";
KvStr datei_vogel_1 = "vogel_1.bmp";
KvStr datei_vogel_2 = "vogel_2.bmp";
KvStr datei_vogel_3 = "vogel_3.bmp";
KvStr datei_einsammeln = "einsammeln.wav";
KvStr datei_gefangen = "gefangen.wav";
KvStr datei_musik = "musik.wav";

KvStr text_zorvelin = "Zorvelin";
KvStr text_leicht = "leicht : 1";
KvStr text_schwer = "schwer : 2";
KvStr text_musik = "Musik  : M";
KvStr text_du_wurdest = "Du wurdest";
KvStr text_gefangen = "gefangen";
KvStr text_weiter = "Weiter mit Leertaste";
KvStr text_du_hast_es = "Du hast es";
KvStr text_nicht_ge = "nicht ge-";
KvStr text_schafft = "schafft";
KvStr text_level = "Level";
KvStr text_leerzeichen = " ";
KvStr text_geschafft = "geschafft";
