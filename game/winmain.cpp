// The program's entry point: the configuration of the game, the runtime's
// start-up, then the game, which never returns.
#include "game_state.h"
#include "subroutines.h"

int WinMain(void* hInstance, void* hPrevInstance, char* lpCmdLine, int nCmdShow)
{
    g_cmdline = lpCmdLine;
    KV_RESX = 640;
    KV_RESY = 480;
    KV_FULLSCREEN = 1;
    KV_FRAMERATE = 60;
    KV_DEBUG = 1;
    KV_WANTMOUSE = 0;
    __GlobalInit(hInstance, hPrevInstance, g_cmdline.GetStrData(), nCmdShow, "Zorvelin_das_fertige_Spiel");
    g_my = 100;
    g_mx = 100;
    g_errorline = 0;
    g_error = 0;
    g_debugline = 0;
    __MainGameSub_();
    return 0;
}
