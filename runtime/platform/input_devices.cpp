// Keyboard, mouse and joysticks on SDL, or the scripted input source.
#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/input_recorder.h"
#include "platform/input_script.h"
#include "platform/input_source.h"
#include "platform/real_devices.h"
#include "platform/platform.h"

namespace platform {

namespace {

constexpr int kMaxJoysticks = 10;
SDL_Joystick* g_joysticks[kMaxJoysticks] = {};
int g_joystickCount = 0;

bool EnvironmentFlag(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != 0 && std::strcmp(value, "0") != 0;
}

// X and Y read -1, 0 or +1; the inner half of the range is the dead zone.
int DigitalAxis(Sint16 value)
{
    if (value <= -16384) return -1;
    if (value >= 16384) return 1;
    return 0;
}

unsigned int PointOfView(Uint8 hat)
{
    switch (hat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return 0xFFFFFFFFu;
    }
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
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return 0;
    g_joystickCount = 0;
    const int attached = SDL_NumJoysticks();
    for (int i = 0; i < attached && g_joystickCount < maxCount && g_joystickCount < kMaxJoysticks; ++i) {
        SDL_Joystick* joystick = SDL_JoystickOpen(i);
        if (joystick != nullptr) g_joysticks[g_joystickCount++] = joystick;
    }
    return g_joystickCount;
}

void CloseInputDevices()
{
    for (int i = 0; i < g_joystickCount; ++i) {
        SDL_JoystickClose(g_joysticks[i]);
        g_joysticks[i] = nullptr;
    }
    g_joystickCount = 0;
}

void RefreshInputState()
{
    // Updates SDL's key, mouse and joystick states; the events stay queued
    // for the window-message pump.
    if (SDL_WasInit(SDL_INIT_VIDEO) || SDL_WasInit(SDL_INIT_JOYSTICK)) SDL_PumpEvents();
    if (SDL_WasInit(SDL_INIT_JOYSTICK)) SDL_JoystickUpdate();
}

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

int devices::JoystickCount() { return g_joystickCount; }

bool devices::Joystick(int index, JoystickSample* sample)
{
    if (index < 0 || index >= g_joystickCount || g_joysticks[index] == nullptr) return false;
    SDL_Joystick* joystick = g_joysticks[index];
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
    if (index < 0 || index >= g_joystickCount) return std::string();
    // SDL knows one name for a device; it serves as instance and product.
    const char* name = SDL_JoystickName(g_joysticks[index]);
    std::string text = name != nullptr ? name : "Joystick";
    return text + ", " + text;
}

}  // namespace platform
