// vogel: the bird in the sky, drawn last in every frame. A wing beat of 48
// frames: pictures 0, 1, 2, 3, 2, 1, eight frames each. It never collides.
#include "game_state.h"
#include "subroutines.h"

void vogel()
{
    __dLn(0, 796);  // SUB vogel:
    __dLn(0, 797);  // ' Der Vogel schlaegt mit den Fluegeln, er steht bei (300, 50)
    __dLn(0, 798);  vogelz = vogelz + 1;                                                  // vogelz = vogelz + 1
    __dLn(0, 799);  // '
    __dLn(0, 800);  if (vogelz <= 8) SPRITE(8, scrollx + 300, scrolly + 50);              // IF vogelz <= 8 THEN SPRITE 8, scrollx+300, scrolly+50
    __dLn(0, 801);  if (vogelz > 8 && vogelz <= 16) SPRITE(9, scrollx + 300, scrolly + 50);    // IF vogelz > 8 AND vogelz <= 16 THEN SPRITE 9, ...
    __dLn(0, 802);  if (vogelz > 16 && vogelz <= 24) SPRITE(10, scrollx + 300, scrolly + 50);  // IF vogelz > 16 AND vogelz <= 24 THEN SPRITE 10, ...
    __dLn(0, 803);  if (vogelz > 24 && vogelz <= 32) SPRITE(11, scrollx + 300, scrolly + 50);  // IF vogelz > 24 AND vogelz <= 32 THEN SPRITE 11, ...
    __dLn(0, 804);  if (vogelz > 32 && vogelz <= 40) SPRITE(10, scrollx + 300, scrolly + 50);  // IF vogelz > 32 AND vogelz <= 40 THEN SPRITE 10, ...
    __dLn(0, 805);  if (vogelz > 40 && vogelz <= 48) SPRITE(9, scrollx + 300, scrolly + 50);   // IF vogelz > 40 AND vogelz <= 48 THEN SPRITE 9, ...
    __dLn(0, 806);  // '
    __dLn(0, 807);  if (vogelz >= 48) vogelz = 0;                                         // IF vogelz >= 48 THEN vogelz = 0
    __dLn(0, 808);  // '
    __dLn(0, 809);  // ' Die Bilder des Fluegelschlags:
    __dLn(0, 810);  // '   vogelz  1 bis  8: Sprite 8  (Fluegel oben)
    __dLn(0, 811);  // '   vogelz  9 bis 16: Sprite 9
    __dLn(0, 812);  // '   vogelz 17 bis 24: Sprite 10
    __dLn(0, 813);  // '   vogelz 25 bis 32: Sprite 11 (Fluegel unten)
    __dLn(0, 814);  // '   vogelz 33 bis 40: Sprite 10
    __dLn(0, 815);  // '   vogelz 41 bis 48: Sprite 9
    __dLn(0, 816);  // '
    __dLn(0, 817);  // ' Er wird zuletzt gezeichnet, ueber allem anderen,
    __dLn(0, 818);  // ' und faengt niemanden.
    __dLn(0, 819);  // '
    __dLn(0, 820);  // ' vogelz wird nie zurueckgesetzt: der Vogel fliegt
    __dLn(0, 821);  // ' ueber Level und Spiele hinweg weiter.
    __dLn(0, 822);  // '
    __dLn(0, 823);  // '
    __dLn(0, 824);  // '
    __dLn(0, 825);  // ENDSUB
}
