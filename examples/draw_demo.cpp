// A small program in generated form that shows the 2D commands: a
// background of rectangles, lines and pixels grabbed as the background,
// the default font, and a sprite made on the fly, turned and zoomed. Ends
// after a number of frames (the first word of the command line, 300 when
// none is given); with a second word, saves the last frame under that name.
#include "commands.h"

static double frames;
static double limit;
static double i;
static KvStr shot;

static void __MainGameSub_()
{
    __dLn(0, 0);  // ' draw_demo: rectangles, lines, text and a turning sprite
    __dLn(0, 1);  limit = KvStr(g_cmdline.GetStrData());
    __dLn(0, 2);  if (limit <= 0) limit = 300;
    __dLn(0, 3);  shot = MID_Str(g_cmdline, LEN(KvStr(limit)) + 1, 1000);
    __dLn(0, 4);  for (i = 0; i < 16; i = i + 1) {
    __dLn(0, 5);      FILLRECT(i * 40, 0, i * 40 + 40, 480, i * 16 + 256 * (255 - i * 16) + 65536 * 64);
    __dLn(0, 6);  }
    __dLn(0, 7);  for (i = 0; i < 480; i = i + 8) DRAWLINE(0, i, 639, 479 - i, 0xFFFFFF);
    __dLn(0, 8);  FILLRECT(8, 8, 24, 24, 0x8000FF);
    __dLn(0, 9);  FILLRECT(12, 12, 20, 20, 0xFFFFFF);
    __dLn(0, 10); GRABSPRITE(1, 4, 4, 24, 24);
    __dLn(0, 11); PRINT("Zorvelin 2D: SPRITE, ROTOZOOMSPRITE, PRINT !\"#$%&'()*+,-./0123456789", 8, 440);
    __dLn(0, 12); PRINT("abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ :;<=>?@[\\]^_`{|}~", 8, 452);
    __dLn(0, 13); USEASBMP();
    __dLn(0, 14); frames = 0;
    __dLn(0, 15); while (frames < limit) {
    __dLn(0, 16);     ROTOZOOMSPRITE(1, 300, 200, frames * 3, 1 + frames / 100);
    __dLn(0, 17);     PRINT(frames, 300, 300);
    __dLn(0, 18);     if (frames == limit - 1 && LEN(shot) > 0) SAVEBMP(shot);
    __dLn(0, 19);     SHOWSCREEN();
    __dLn(0, 20);     frames = frames + 1;
    __dLn(0, 21); }
    __dLn(0, 22); END();
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
    __GlobalInit(hInstance, hPrevInstance, g_cmdline.GetStrData(), nCmdShow, "draw_demo");
    g_my = 100;
    g_mx = 100;
    g_errorline = 0;
    g_error = 0;
    g_debugline = 0;
    __MainGameSub_();
    return 0;
}
