// Keyboard, mouse and joysticks on SDL, or the scripted input source.
#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/gamepad_layout.h"
#include "platform/input_recorder.h"
#include "platform/input_script.h"
#include "platform/input_source.h"
#include "platform/joystick_positions.h"
#include "platform/joystick_slots.h"
#include "platform/real_devices.h"
#include "platform/platform.h"

namespace platform {

namespace {

bool EnvironmentFlag(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != 0 && std::strcmp(value, "0") != 0;
}

constexpr InputSource kScriptSource{script::Keyboard, script::TypedCharacter, script::Mouse, script::Joystick};
constexpr InputSource kRecorderSource{recorder::Keyboard, recorder::TypedCharacter, recorder::Mouse,
                                      recorder::Joystick};
constexpr InputSource kDeviceSource{devices::Keyboard, devices::TypedCharacter, devices::Mouse, devices::Joystick};

}  // namespace

const InputSource& CurrentInputSource()
{
    if (script::Active()) return kScriptSource;
    if (recorder::Active()) return kRecorderSource;
    return kDeviceSource;
}

bool ScriptedInputActive() { return script::Active(); }

bool FixedRandomSeed(unsigned long* seed)
{
    const char* value = std::getenv("KV_SEED");
    if (value != nullptr && value[0] != 0) {
        *seed = std::strtoul(value, nullptr, 10);
        return true;
    }
    return script::Seed(seed);
}

void RecordRandomSeed(unsigned long seed)
{
    recorder::NoteSeed(seed);
}

bool UnpacedFrames() { return EnvironmentFlag("KV_UNPACED"); }

bool BatchingDisabled() { return EnvironmentFlag("KV_NO_BATCH"); }

bool VerboseRuntime() { return EnvironmentFlag("KV_VERBOSE"); }

bool KeyboardAvailable()
{
    return script::Active() || SDL_WasInit(SDL_INIT_VIDEO) != 0;
}

bool OpenMouse(bool relative)
{
    if (script::Active() || !relative) return true;
    return SDL_SetRelativeMouseMode(SDL_TRUE) == 0;
}

int OpenJoysticks(int maxCount)
{
    if (script::Active()) return script::JoystickCount() < maxCount ? script::JoystickCount() : maxCount;
    return joysticks::Open(maxCount);
}

void CloseInputDevices() { joysticks::Close(); }

void RefreshInputState()
{
    // Updates SDL's key, mouse and joystick states; the events stay queued
    // for the window-message pump, but for joysticks arriving and leaving.
    if (SDL_WasInit(SDL_INIT_VIDEO) || SDL_WasInit(SDL_INIT_JOYSTICK)) SDL_PumpEvents();
    if (SDL_WasInit(SDL_INIT_JOYSTICK)) {
        joysticks::FollowDeviceEvents();
        SDL_JoystickUpdate();
    }
}

int JoystickCount()
{
    if (script::Active()) return script::JoystickCount();
    return joysticks::Count();
}

unsigned long JoystickChanges() { return script::Active() ? 0 : joysticks::Changes(); }

void InputWaitPass()
{
    script::NextFrame();
    recorder::NextFrame();
}

unsigned char TypedCharacter(int dik) { return CurrentInputSource().typedCharacter(dik); }

MouseSample ReadMouse() { return CurrentInputSource().mouse(); }

MouseSample devices::Mouse()
{
    MouseSample sample;
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return sample;
    const Uint32 buttons = SDL_GetRelativeMouseState(&sample.dx, &sample.dy);
    sample.buttons[0] = (buttons & SDL_BUTTON_LMASK) != 0;
    sample.buttons[1] = (buttons & SDL_BUTTON_RMASK) != 0;
    sample.buttons[2] = (buttons & SDL_BUTTON_MMASK) != 0;
    return sample;
}

bool ReadJoystick(int index, JoystickSample* sample) { return CurrentInputSource().joystick(index, sample); }

int devices::JoystickCount() { return joysticks::Count(); }

bool devices::Joystick(int index, JoystickSample* sample)
{
    const joysticks::Slot* slot = joysticks::At(index);
    if (slot == nullptr) return false;
    if (slot->controller != nullptr) {
        *sample = ReadGamepad(slot->controller);
        return true;
    }
    SDL_Joystick* joystick = slot->joystick;
    JoystickSample read;
    const int axes = SDL_JoystickNumAxes(joystick);
    if (axes > 0) read.x = DigitalAxis(SDL_JoystickGetAxis(joystick, 0));
    if (axes > 1) read.y = DigitalAxis(SDL_JoystickGetAxis(joystick, 1));
    if (axes > 2) read.z = SDL_JoystickGetAxis(joystick, 2) + 32768;
    if (SDL_JoystickNumHats(joystick) > 0) read.pov = PointOfView(SDL_JoystickGetHat(joystick, 0));
    const int buttons = SDL_JoystickNumButtons(joystick);
    for (int b = 0; b < buttons && b < 32; ++b)
        read.buttons[b] = SDL_JoystickGetButton(joystick, b) ? 128 : 0;
    *sample = read;
    return true;
}

std::string JoystickName(int index)
{
    if (script::Active()) {
        if (index < 0 || index >= script::JoystickCount()) return std::string();
        std::string name = "Scripted joystick " + std::to_string(index);
        return name + ", " + name;
    }
    const joysticks::Slot* slot = joysticks::At(index);
    if (slot == nullptr) return std::string();
    // SDL knows one name for a device; it serves as instance and product.
    const char* name = slot->controller != nullptr ? SDL_GameControllerName(slot->controller)
                                                   : SDL_JoystickName(slot->joystick);
    std::string text = name != nullptr ? name : "Joystick";
    return text + ", " + text;
}

}  // namespace platform
