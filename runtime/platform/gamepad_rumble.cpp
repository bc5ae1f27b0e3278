// Rumble for pads and joysticks that have motors.
#include "platform/joystick_slots.h"
#include "platform/platform.h"

namespace platform {

void RumbleJoystick(int index, unsigned short strength, unsigned int ms)
{
    if (ScriptedInputActive()) return;
    const joysticks::Slot* slot = joysticks::At(index);
    if (slot == nullptr) return;
    // SDL keeps a rumble without a duration going for ever: no time, no rumble.
    if (ms == 0) strength = 0;
    // A device without motors refuses; that is no error for the program.
    if (slot->controller != nullptr)
        SDL_GameControllerRumble(slot->controller, strength, strength, ms);
    else
        SDL_JoystickRumble(slot->joystick, strength, strength, ms);
}

}  // namespace platform
