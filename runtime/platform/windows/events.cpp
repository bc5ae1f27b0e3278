// The event pump and the console's termination events on Windows: Ctrl+C,
// Ctrl+Break and closing the console window become a Close message, as
// SIGINT and SIGTERM do on POSIX. (Ending a program from the task manager
// closes its window, which SDL reports as a quit.)
#include "platform/platform.h"

#include <SDL.h>

#include <windows.h>

#include <atomic>
#include <cstdlib>

#include "platform/input_recorder.h"
#include "platform/input_script.h"

namespace platform {

namespace {

// Set on the thread the system runs console handlers on; read by the pump
// on the main thread.
std::atomic<bool> g_terminationRequested{false};

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        g_terminationRequested = true;
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        // The process ends when this returns: the main thread gets the few
        // seconds the system grants to take the close path itself.
        g_terminationRequested = true;
        Sleep(5000);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void InstallTerminationHandlers()
{
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool TerminationRequested()
{
    return g_terminationRequested;
}

void PumpMessages(MessageHandler handler)
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (handler == nullptr) continue;
        switch (event.type) {
        case SDL_QUIT:
            handler(WindowMessage::Close);
            break;
        case SDL_WINDOWEVENT:
            switch (event.window.event) {
            case SDL_WINDOWEVENT_CLOSE: handler(WindowMessage::Close); break;
            case SDL_WINDOWEVENT_MOVED: handler(WindowMessage::Moved); break;
            case SDL_WINDOWEVENT_SIZE_CHANGED: handler(WindowMessage::Resized); break;
            case SDL_WINDOWEVENT_FOCUS_GAINED: handler(WindowMessage::Activated); break;
            default: break;
            }
            break;
        default:
            break;
        }
    }
    if ((g_terminationRequested || script::QuitRequested()) && handler != nullptr) {
        g_terminationRequested = false;
        handler(WindowMessage::Close);
    }
}

void ExitProcess(int code)
{
    recorder::Finish();
    std::exit(code);
}

}  // namespace platform
