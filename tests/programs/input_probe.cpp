// A program in generated form for the input tests, driven by real key
// presses. It appends what it sees to $TMPDIR/input-probe.txt.
//   keys      frames until both KEY(30) (the A key) and INKEY$ "a" were seen
//   keywait   KEYWAIT, then END
//   typing    notes "CHAR <code>" for every character INKEY$ gives, until "."
//   mousewait MOUSEWAIT, then END
//   shell     SHELLCMD of a 60-second sleep with wait, then END
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"

static double sawKey;
static double sawChar;

static void Note(const char* text)
{
    std::string path = platform::TempFolder() + "input-probe.txt";
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (file == nullptr) return;
    std::fprintf(file, "%s\n", text);
    std::fclose(file);
}

static void __MainGameSub_()
{
    __dLn(0, 0);  SHOWSCREEN();
    __dLn(0, 1);  Note("ready");
    if (std::strcmp(g_cmdline.GetStrData(), "keywait") == 0) {
        __dLn(0, 2);  KEYWAIT();
        __dLn(0, 3);  Note("keywait returned");
        __dLn(0, 4);  END();
    }
    if (std::strcmp(g_cmdline.GetStrData(), "mousewait") == 0) {
        __dLn(0, 5);  MOUSEWAIT();
        __dLn(0, 6);  Note("mousewait returned");
        __dLn(0, 7);  END();
    }
    if (std::strcmp(g_cmdline.GetStrData(), "shell") == 0) {
        double code = 0;
        __dLn(0, 8);  SHELLCMD("sh -c \"exec sleep 60 >/dev/null 2>&1\"", 1, 0, code);
        __dLn(0, 9);  END();
    }
    if (std::strcmp(g_cmdline.GetStrData(), "typing") == 0) {
        for (;;) {
            __dLn(0, 20);  KvStr c = INKEY_Str();
            if (c.Length() > 0) {
                char note[32];
                std::snprintf(note, sizeof note, "CHAR %d", static_cast<unsigned char>(c.GetStrData()[0]));
                Note(note);
                if (c.GetStrData()[0] == '.') END();
            }
            __dLn(0, 21);  SHOWSCREEN();
        }
    }
    while (sawKey == 0 || sawChar == 0) {
        __dLn(0, 10);  if (KEY(30) == 1 && sawKey == 0) { sawKey = 1; Note("KEY 30"); }
        __dLn(0, 11);  KvStr c = INKEY_Str();
        __dLn(0, 12);  if (c.Compare(KvStr("a")) == 0 && sawChar == 0) { sawChar = 1; Note("INKEY a"); }
        __dLn(0, 13);  SHOWSCREEN();
    }
    __dLn(0, 14);  END();
}

int WinMain(void* hInstance, void* hPrevInstance, char* lpCmdLine, int nCmdShow)
{
    g_cmdline = lpCmdLine;
    KV_RESX = 640;
    KV_RESY = 480;
    KV_FULLSCREEN = 0;
    KV_FRAMERATE = 60;
    KV_DEBUG = 1;
    KV_WANTMOUSE = 0;
    __GlobalInit(hInstance, hPrevInstance, g_cmdline.GetStrData(), nCmdShow, "input_probe");
    g_my = 100;
    g_mx = 100;
    g_errorline = 0;
    g_error = 0;
    g_debugline = 0;
    __MainGameSub_();
    return 0;
}
