// A small program in generated form that plays music and a video: the
// music (first word of the command line, "musik.wav" when none is given)
// loops while frames are shown; Space plays the video (second word,
// "intro.avi" when none is given; names without spaces) once, L loops it until a key with a
// character or a mouse button ends it, M stops or restarts the music,
// Escape ends the program. Media names resolve through the media box: a
// file on disk wins, else a member of the archive appended to the program.
#include "commands.h"

static KvStr music;
static KvStr video;
static double i;
static double split;
static double musicState;
static double played;
static double spaceWas, loopWas, mWas;

static void __MainGameSub_()
{
    __dLn(0, 0);  // ' music_and_video: PLAYMUSIC, STOPMUSIC, PLAYMOVIE, LOOPMOVIE
    __dLn(0, 1);  split = -1;
    __dLn(0, 2);  for (i = 0; i < LEN(g_cmdline); i = i + 1) {
    __dLn(0, 3);      if (split < 0 && ASC(MID_Str(g_cmdline, i, 1)) == 32) split = i;
    __dLn(0, 4);  }
    __dLn(0, 5);  if (split < 0) split = LEN(g_cmdline);
    __dLn(0, 6);  music = MID_Str(g_cmdline, 0, split);
    __dLn(0, 7);  video = MID_Str(g_cmdline, split + 1, 1000);
    __dLn(0, 8);  if (LEN(music) == 0) music = "musik.wav";
    __dLn(0, 9);  if (LEN(video) == 0) video = "intro.avi";
    __dLn(0, 10); musicState = PLAYMUSIC(music);
    __dLn(0, 11); played = 0;
    __dLn(0, 12); while (1) {
    __dLn(0, 13);     if (musicState == 3) PRINT(KvStr("Musik nicht gefunden: ") + music, 8, 8);
    __dLn(0, 14);     if (musicState == 0) PRINT(KvStr("Musik: ") + music, 8, 8);
    __dLn(0, 15);     if (musicState == 1) PRINT("Musik aus", 8, 8);
    __dLn(0, 16);     PRINT(KvStr("Leertaste: ") + video + " einmal, L: in Schleife", 8, 24);
    __dLn(0, 17);     PRINT("M: Musik aus/an, Esc: Ende", 8, 40);
    __dLn(0, 18);     PRINT(KvStr("Videos gespielt: ") + KvStr(played), 8, 56);
    __dLn(0, 19);     if (KEY(57) != 0 && spaceWas == 0) {
    __dLn(0, 20);         PLAYMOVIE(video);
    __dLn(0, 21);         played = played + 1;
    __dLn(0, 22);     }
    __dLn(0, 23);     if (KEY(38) != 0 && loopWas == 0) {
    __dLn(0, 24);         LOOPMOVIE(video);
    __dLn(0, 25);         played = played + 1;
    __dLn(0, 26);     }
    __dLn(0, 27);     if (KEY(50) != 0 && mWas == 0) {
    __dLn(0, 28);         if (musicState == 1) {
    __dLn(0, 29);             musicState = PLAYMUSIC(music);
    __dLn(0, 30);         } else {
    __dLn(0, 31);             STOPMUSIC();
    __dLn(0, 32);             musicState = 1;
    __dLn(0, 33);         }
    __dLn(0, 34);     }
    __dLn(0, 35);     spaceWas = KEY(57);
    __dLn(0, 36);     loopWas = KEY(38);
    __dLn(0, 37);     mWas = KEY(50);
    __dLn(0, 38);     SHOWSCREEN();
    __dLn(0, 39); }
}

int WinMain(void* hInstance, void* hPrevInstance, char* lpCmdLine, int nCmdShow)
{
    g_cmdline = lpCmdLine;
    KV_RESX = 640;
    KV_RESY = 480;
    KV_FULLSCREEN = 1;
    KV_FRAMERATE = 60;
    KV_DEBUG = 1;
    KV_WANTMOUSE = 0;
    __GlobalInit(hInstance, hPrevInstance, g_cmdline.GetStrData(), nCmdShow, "music_and_video");
    g_my = 100;
    g_mx = 100;
    g_errorline = 0;
    g_error = 0;
    g_debugline = 0;
    __MainGameSub_();
    return 0;
}
