// The event pump on Windows: SDL's window events become the runtime's
// window messages, and so does a termination request from the console
// (termination.cpp).
#include "platform/platform.h"
#include "platform/windows/termination.h"

#include <cstdlib>

#include "platform/input_recorder.h"
#include "platform/input_script.h"
#include "platform/window_events.h"

namespace platform {

void PumpMessages(MessageHandler handler)
{
    DispatchWindowEvents(handler);
    if (handler == nullptr) return;
    // Both are asked, so that neither request is left for a later pump.
    const bool terminated = windows::TakeTerminationRequest();
    if (script::QuitRequested() || terminated) handler(WindowMessage::Close);
}

void ExitProcess(int code)
{
    recorder::Finish();
    std::exit(code);
}

}  // namespace platform
