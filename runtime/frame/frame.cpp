#include "frame/frame.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "audio/music_commands.h"
#include "audio/sfx_sound.h"
#include "audio/sfx_sound_buffer.h"
#include "core/call_depth.h"
#include "core/error_log.h"
#include "core/isaac.h"
#include "files/fast_file.h"
#include "files/shoebox.h"
#include "frame/present_commands.h"
#include "frame/profiling.h"
#include "gfx/bitmap_commands.h"
#include "gfx/opengl_rainbows.h"
#include "gfx/text_commands.h"
#include "gl/gl_calls.h"
#include "input/dx_input.h"
#include "net/tz_network.h"
#include "platform/program_version.h"

platform::Window* hWnd = nullptr;
void* hInstance = nullptr;

namespace {
[[noreturn]] void EndProgram(bool onFatalError);
// Every way out of the program, from any folder, leaves through the frame,
// which releases what the program holds; the window's messages reach the
// frame's window procedure. Both registered as the program loads.
const bool g_hooksRegistered = (SetProgramExit(&EndProgram), SetWindowProcedure(&__WndProc_), true);
}  // namespace

int __GlobalInit(void* instance, void*, char* commandLine, int, const char* title)
{
    // "--version" is answered before anything opens.
    AnswerVersionRequest(commandLine);
    hInstance = instance;
    __MarkCallStackTop();
    platform::InstallTerminationHandlers();

    // The window: caption first "Quarnix", then the program's title.
    hWnd = platform::CreateGameWindow("Quarnix", 50, 50, KV_RESX, KV_RESY);
    if (hWnd == nullptr) {
        // Without a window there is nothing the program could run against.
        std::fprintf(stderr, "Zorvelin runtime: %s\n", platform::LastError());
        platform::ExitProcess(1);
    }
    platform::ShowGameWindow(hWnd);
    platform::SetWindowTitle(hWnd, title);

    // Only the last run is ever described by the log.
    DeleteErrorLog();
    // A line file an earlier run left half rewritten is said before anything
    // could read it.
    ReportInterruptedWriteBacks();

    // Engine objects, in their fixed order: input, renderer, sound device,
    // sound slots, network.
    pDXin = new DXInput;
    pRbow = new OpenGLRainbows;
    pDXsnd = new SFXSound;
    DXwav = new SFXSoundBuffer[kSoundSlotCount];  // all slots empty
    // The network object comes last; it opens nothing until a session is
    // hosted or joined.
    pTzNet = new TzNetwork;

    if (!pRbow->Init(hWnd, KV_RESX, KV_RESY, 0, static_cast<unsigned short>(KV_FRAMERATE))) {
        std::fprintf(stderr, "Zorvelin runtime: %s\n", platform::LastError());
        platform::ExitProcess(1);
    }

    // Every run starts with a different random sequence, unless an
    // automated run asks for a fixed one.
    unsigned long seed = static_cast<std::uint32_t>(pRbow->AccurateTime());
    platform::FixedRandomSeed(&seed);
    platform::RecordRandomSeed(seed);
    Tzsrand(seed);

    if (KV_FULLSCREEN != 0 && !platform::WindowedForced())
        pRbow->DoFullscreen();
    else
        pRbow->DoWindowed();

    pDXin->CreateDInput(hWnd, hInstance, KV_WANTMOUSE != 0);
    // No audio device is no failure: the game then runs silent.
    pDXsnd->Create(hWnd);

    nCurFont = 0;

    // Media names resolve next to the program: its folder becomes the
    // working directory.
    KvStr programPath = platform::ModulePath().c_str();
    // Both archive boxes look inside the program's own file.
    SETSHOEBOX(programPath, programPath);
    char* path = programPath.GetStrData();
    for (int i = programPath.Length(); i >= 1; --i) {
        if (path[i] == '/' || path[i] == '\\') {
            path[i] = 0;
            break;
        }
    }
    // `kvbasic run` starts a program built elsewhere in the folder of its
    // source: KV_PROGRAM_FOLDER names the folder its media and files are in.
    const char* programFolder = std::getenv("KV_PROGRAM_FOLDER");
    if (programFolder != nullptr && *programFolder) {
        if (!platform::ChangeDirectory(programFolder))
            std::fprintf(stderr, "Zorvelin runtime: cannot enter the program folder %s\n", programFolder);
    } else {
        platform::ChangeDirectory(path);
    }

    // The default font, so PRINT works before the program loads one.
    LOADFONT("Smalfont.bmp", 0);

    // One cleared frame before the program's code runs.
    gl::Clear(GL_COLOR_BUFFER_BIT);
    pRbow->FlipScreens();
    pRbow->Make2DViewport();

    g_ThisTime = g_LastTime = g_FirstTime = pRbow->AccurateTime();
    // Sampling covers the program's own code, not the start-up above.
    StartProfilingIfRequested();
    return 0;
}

namespace {

// The engine objects in their fixed order, then the window, then the
// archive boxes with their temporary files.
void ReleaseEngineObjects()
{
    delete pRbow;
    pRbow = nullptr;
    delete pDXin;
    pDXin = nullptr;
    // The slots (destroyed last to first, each stopped and released) go
    // before the device they play on.
    delete[] DXwav;
    DXwav = nullptr;
    delete pDXsnd;
    pDXsnd = nullptr;
    // Last of the engine objects: closes the session, telling the peers.
    delete pTzNet;
    pTzNet = nullptr;

    // The window goes last, after everything that drew into it.
    platform::DestroyGameWindow(hWnd);
    hWnd = nullptr;

    // The data box, then the media box, delete their temporary files and
    // private folders (their destructors do the same on any other exit).
    g_ShoeBox_Data.Clear();
    g_ShoeBox_Media.Clear();
}

// Every way out. A fatal runtime error also tells the person who started
// the program what went wrong and where, and ends with a code that says it
// failed; END and closing the window end quietly with code 0.
void EndProgram(bool onFatalError)
{
    const int exitCode = onFatalError ? 1 : 0;
    // A second way out while the first is still running (a close message
    // during shutdown, a fatal error while releasing) just finishes the exit.
    static bool ending = false;
    if (ending) platform::ExitProcess(exitCode);
    ending = true;

    // The profile describes the program up to here, the shutdown left out.
    FinishProfiling();

    // Changed lines of the line-file cache reach the disk first, before the
    // archive boxes are cleared at exit and before anything below can fail.
    g_FastFile.FillBuffer(nullptr);

    // The music stops before anything it plays through goes away.
    STOPMUSIC();

    WriteClosingReport(onFatalError);

    ReleaseEngineObjects();
    platform::ExitProcess(exitCode);
}

}  // namespace

void __ReleaseRuntime()
{
    FinishProfiling();
    g_FastFile.FillBuffer(nullptr);
    STOPMUSIC();
    ReleaseEngineObjects();
}

double END()
{
    g_error = 0;
    g_errorline = g_debugline;
    __EndProgram();
}

void __WndProc_(platform::WindowMessage message)
{
    switch (message) {
    case platform::WindowMessage::Close:
        // Closing leaves the error state as it is: the log shows the last
        // recoverable error, if any.
        __EndProgram();
    case platform::WindowMessage::Moved:
    case platform::WindowMessage::Resized:
    case platform::WindowMessage::Activated:
        // Every frame is drawn anew; nothing needs repainting here.
        break;
    case platform::WindowMessage::ScreenSave:
        // Screen saver and monitor power-down stay suppressed (the platform
        // layer keeps them off while the window exists).
        break;
    }
}
