// The console's termination events on Windows: Ctrl+C, Ctrl+Break and
// closing the console window become a Close message at the next pump, as
// SIGINT and SIGTERM do on POSIX. (Ending a program from the task manager
// closes its window, which SDL reports as a quit.)
#include "platform/platform.h"
#include "platform/windows/termination.h"

#include <windows.h>

#include <atomic>

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

namespace windows {

bool TakeTerminationRequest()
{
    return g_terminationRequested.exchange(false);
}

}  // namespace windows

}  // namespace platform
