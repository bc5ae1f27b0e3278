// SDL's window events as the runtime's window messages: the part of the
// event pump every platform shares (each adds its own termination request).
#pragma once

#include "platform/platform.h"

namespace platform {

// Takes every pending SDL event and hands the window's close, move, size
// change and activation to `handler`; with no handler the events are only
// drained. Joysticks arriving and leaving are followed either way.
void DispatchWindowEvents(MessageHandler handler);

}  // namespace platform
