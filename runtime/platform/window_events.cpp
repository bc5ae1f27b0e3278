#include "platform/window_events.h"

#include <SDL.h>

#include "platform/joystick_slots.h"

namespace platform {

void DispatchWindowEvents(MessageHandler handler)
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        // Joysticks arriving and leaving are followed with or without a handler.
        if (event.type == SDL_JOYDEVICEADDED || event.type == SDL_JOYDEVICEREMOVED) {
            joysticks::NoteDeviceEvent(event);
            continue;
        }
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
}

}  // namespace platform
