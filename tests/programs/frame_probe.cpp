// A program in generated form for the frame tests. The first word of the
// command line picks what it does:
//   end          shows two frames, then END on line 12
//   array        a fatal out-of-bounds access on line 57
//   undimmed     an access before DIM on line 60
//   huge         a DIM far beyond memory on line 63
//   wait         a recoverable error 3 on line 20, then frames until closed;
//                the file "probe-ready" in $TMPDIR says the loop is running
//   fullscreen   starts in full screen showing a white picture with a red
//                corner; writes "shown-1" into $TMPDIR, switches to a window
//                when "go-1" appears there, writes "shown-2", back to full
//                screen at "go-2", writes "shown-3" and ends at "go-3"
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"
#include "gfx/opengl_rainbows.h"

static KvIntArray werte;

static bool TempFileExists(const char* name)
{
    std::string path = platform::TempFolder() + name;
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

// Shows the picture (whole area white, top-left 8 x 8 red) for a few
// frames, says so with the file "shown-<step>", then keeps showing it until
// the test writes "go-<step>".
static void ShowUntilGo(int step)
{
    const std::string shown = platform::TempFolder() + "shown-" + std::to_string(step);
    const std::string go = "go-" + std::to_string(step);
    for (int frame = 0; !TempFileExists(go.c_str()); ++frame) {
        FILLRECT(0, 0, 640, 480, 0xFFFFFF);
        FILLRECT(0, 0, 8, 8, 0x0000FF);
        SHOWSCREEN();
        if (frame == 10) std::fclose(std::fopen(shown.c_str(), "w"));
    }
}

static void __MainGameSub_()
{
    const char* mode = g_cmdline.GetStrData();
    __dLn(0, 10);  SHOWSCREEN();
    __dLn(0, 11);  SHOWSCREEN();
    if (std::strcmp(mode, "end") == 0) {
        __dLn(0, 12);  END();
    }
    if (std::strcmp(mode, "array") == 0) {
        __dLn(0, 56);  DIM(werte, 3, 4);
        __dLn(0, 57);  werte(3, 0) = 1;
    }
    if (std::strcmp(mode, "undimmed") == 0) {
        __dLn(0, 60);  werte(0) = 1;
    }
    if (std::strcmp(mode, "huge") == 0) {
        __dLn(0, 63);  DIM(werte, 1e6, 1e6, 1e6);
    }
    if (std::strcmp(mode, "wait") == 0) {
        __dLn(0, 20);  __Error(3);
        SHOWSCREEN();
        std::string ready = platform::TempFolder() + "probe-ready";
        std::fclose(std::fopen(ready.c_str(), "w"));
        for (;;) {
            __dLn(0, 21);  SHOWSCREEN();
        }
    }
    if (std::strcmp(mode, "fullscreen") == 0) {
        ShowUntilGo(1);
        pRbow->DoWindowed();
        ShowUntilGo(2);
        pRbow->DoFullscreen();
        ShowUntilGo(3);
    }
    __dLn(0, 99);  END();
}

int WinMain(void* hInstance, void* hPrevInstance, char* lpCmdLine, int nCmdShow)
{
    g_cmdline = lpCmdLine;
    KV_RESX = 640;
    KV_RESY = 480;
    KV_FULLSCREEN = std::strcmp(lpCmdLine, "fullscreen") == 0 ? 1 : 0;
    KV_FRAMERATE = 60;
    KV_DEBUG = 1;
    KV_WANTMOUSE = 0;
    __GlobalInit(hInstance, hPrevInstance, g_cmdline.GetStrData(), nCmdShow, "frame_probe");
    g_my = 100;
    g_mx = 100;
    g_errorline = 0;
    g_error = 0;
    g_debugline = 0;
    __MainGameSub_();
    return 0;
}
