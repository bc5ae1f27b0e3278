// The event pump on Windows: SDL's window events become the runtime's
// window messages, and so does a termination request from the console
// (termination.cpp).
#include "platform/platform.h"
#include "platform/windows/termination.h"

#include <SDL.h>

#include <cstdlib>

#include "platform/input_recorder.h"
#include "platform/input_script.h"

namespace platform {

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
