// music: the M key switches the background music off and on, acting when
// the key is released. While the music is on the game asks every frame to
// play sound 2; loaded with one copy, it is not restarted while it plays,
// so it simply starts again each time it ends. Off stops every sound.
#include "game_state.h"
#include "subroutines.h"

void music()
{
    __dLn(0, 754);  // SUB music:
    __dLn(0, 755);  // ' musika: 1 spielt, musikb: 1 waehrend M im Stillen gedrueckt ist
    __dLn(0, 756);  if (KEY(50) == 1 && musika == 0) musik = 1;                      // IF KEY(50) = 1 AND musika = 0 THEN musik = 1
    __dLn(0, 757);  if (musik == 1 && KEY(50) == 0) musika = 1;                      // IF musik = 1 AND KEY(50) = 0 THEN musika = 1
    __dLn(0, 758);  if (musika == 1) {                                               // IF musika = 1
    __dLn(0, 759);      musik = 0;                                                   //   musik = 0
    __dLn(0, 760);      PLAYSOUND(2, 0, 1);                                          //   PLAYSOUND 2, 0, 1
    }
    __dLn(0, 761);  // ENDIF
    __dLn(0, 762);  if (musika == 1 && musik == 0 && KEY(50) == 1) musikb = 1;       // IF musika = 1 AND musik = 0 AND KEY(50) = 1 THEN musikb = 1
    __dLn(0, 763);  if (musikb == 1 && KEY(50) == 0) {                               // IF musikb = 1 AND KEY(50) = 0
    __dLn(0, 764);      musikb = 0;                                                  //   musikb = 0
    __dLn(0, 765);      musika = 0;                                                  //   musika = 0
    __dLn(0, 766);      HUSH();                                                      //   HUSH
    }
    __dLn(0, 767);  // ENDIF
    __dLn(0, 768);  // '
    __dLn(0, 769);  // ' Die Zustaende (musika, musikb, musik):
    __dLn(0, 770);  // '   spielt            1, 0, 0
    __dLn(0, 771);  // '   spielt, M unten   1, 1, 0  -> M los: HUSH, still
    __dLn(0, 772);  // '   still             0, 0, 0
    __dLn(0, 773);  // '   still, M unten    0, 0, 1  -> M los: spielt
    __dLn(0, 774);  // '
    __dLn(0, 775);  // ' Zu jedem Spielstart ist musik = 1: die Musik geht an.
    __dLn(0, 776);  // ' HUSH stoppt alle Sounds, auch einen Flaggen-Ton.
    __dLn(0, 777);  // '
    __dLn(0, 778);  // ENDSUB
}
