// The event pump and the termination signals.
#include "platform/platform.h"

#include <csignal>
#include <cstdlib>

#include "platform/input_recorder.h"
#include "platform/input_script.h"
#include "platform/window_events.h"

namespace platform {

namespace {

// Set from the signal handler; read by the pump on the main thread.
volatile std::sig_atomic_t g_terminationRequested = 0;

void OnTerminationSignal(int)
{
    g_terminationRequested = 1;
}

}  // namespace

void InstallTerminationHandlers()
{
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool TerminationRequested()
{
    return g_terminationRequested != 0;
}

void PumpMessages(MessageHandler handler)
{
    DispatchWindowEvents(handler);
    if ((g_terminationRequested || script::QuitRequested()) && handler != nullptr) {
        g_terminationRequested = 0;
        handler(WindowMessage::Close);
    }
}

void ExitProcess(int code)
{
    recorder::Finish();
    std::exit(code);
}

}  // namespace platform
