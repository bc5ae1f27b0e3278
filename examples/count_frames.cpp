// A tiny program in generated form: opens the window, counts frames with
// SHOWSCREEN and ends with END after a number of frames (the first word of
// the command line, 120 when none is given).
#include "commands.h"

static double frames;
static double limit;

static void __MainGameSub_()
{
    __dLn(0, 0);  // ' count_frames: shows frames, then ends
    __dLn(0, 1);  limit = KvStr(g_cmdline.GetStrData());
    __dLn(0, 2);  if (limit <= 0) limit = 120;
    __dLn(0, 3);  frames = 0;
    __dLn(0, 4);  while (frames < limit) {
    __dLn(0, 5);      SHOWSCREEN();
    __dLn(0, 6);      frames = frames + 1;
    __dLn(0, 7);  }
    __dLn(0, 8);  END();
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
    __GlobalInit(hInstance, hPrevInstance, g_cmdline.GetStrData(), nCmdShow, "count_frames");
    g_my = 100;
    g_mx = 100;
    g_errorline = 0;
    g_error = 0;
    g_debugline = 0;
    __MainGameSub_();
    return 0;
}
