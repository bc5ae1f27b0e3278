#include "input/input_commands.h"

#include <cmath>

#include "core/debugger_hooks.h"
#include "core/runtime_state.h"
#include "gfx/opengl_rainbows.h"
#include "input/dx_input.h"

double g_mx = 0, g_my = 0;

namespace {

constexpr int kDikEscape = 1;

// A joystick snapshot for a command: joystick numbers outside 0..9 and
// joysticks that cannot be read give an all-zero record.
DIJOYSTATE PollJoystick(double joystick)
{
    // A joystick that does not exist reads as one at rest: axes and buttons
    // 0, hats centred (a POV of 0 would be "up").
    DIJOYSTATE resting{};
    for (std::uint32_t& pov : resting.rgdwPOV) pov = 0xFFFFFFFFu;
    DIJOYSTATE state{};
    const int n = NumberToInt(joystick);
    if (pDXin == nullptr || n < 0 || n >= kMaxJoysticks) return resting;
    if (!pDXin->GetJoystickData(&state, static_cast<signed char>(n))) return resting;
    return state;
}

}  // namespace

double KEY(double scanCode)
{
    if (pDXin == nullptr) return 0;
    pDXin->GetKeyboardStatus();
    return pDXin->KeyDown(NumberToInt(scanCode) & 0xFF) ? 1 : 0;
}

KvStr INKEY_Str()
{
    char text[2] = {0, 0};
    if (pDXin != nullptr) text[0] = pDXin->GetKeyChar();
    return KvStr(text);
}

double MOUSESTATE(double& x, double& y, double& b1, double& b2)
{
    DIMOUSEDATA data{};
    if (pDXin != nullptr) pDXin->GetMouseData(&data);
    g_mx += data.xMotion;
    g_my += data.yMotion;
    const double width = pRbow != nullptr ? pRbow->Width() : KV_RESX;
    const double height = pRbow != nullptr ? pRbow->Height() : KV_RESY;
    if (g_mx > width) g_mx = width;
    if (g_my > height) g_my = height;
    if (g_mx < 0) g_mx = 0;
    if (g_my < 0) g_my = 0;
    b1 = data.button0 != 0 ? 1 : 0;
    b2 = data.button1 != 0 ? 1 : 0;
    x = g_mx;
    y = g_my;
    return 0;
}

double SETMOUSE(double x, double y)
{
    g_mx = x;
    g_my = y;
    return 0;
}

namespace {

// One pass of a wait that shows no frame: SIGINT and SIGTERM end the program
// at once, a debugger may stop it, scripted and recorded input move on by a frame, and the pass
// lasts about a frame instead of spinning (not in unpaced automated runs).
void WaitPass()
{
    if (platform::TerminationRequested()) __EndProgram();
    __DebugWaitPass();
    platform::InputWaitPass();
    if (!platform::UnpacedFrames()) platform::SleepMilliseconds(KV_FRAMERATE > 0 ? 1000.0 / KV_FRAMERATE : 16);
}

}  // namespace

double MOUSEWAIT()
{
    if (pDXin == nullptr) return 0;
    while (pDXin->AnyMouse()) WaitPass();
    while (!pDXin->AnyMouse()) {
        pDXin->GetKeyboardStatus();
        if (pDXin->KeyDown(kDikEscape)) __EndProgram();
        WaitPass();
    }
    return 0;
}

double KEYWAIT()
{
    if (pDXin == nullptr) return 0;
    while (!pDXin->AnyKey()) {
        // Closing the window still ends the program while we wait.
        if (pRbow != nullptr) pRbow->WinMessages();
        WaitPass();
    }
    while (pDXin->AnyKey()) WaitPass();
    return 0;
}

double JOYSTATE(double& x, double& y, double& b1, double& b2)
{
    DIJOYSTATE state = PollJoystick(0);
    x = state.lX;
    y = state.lY;
    b1 = state.rgbButtons[0];
    b2 = state.rgbButtons[1];
    return 0;
}

double GETJOYX(double joystick) { return PollJoystick(joystick).lX; }
double GETJOYY(double joystick) { return PollJoystick(joystick).lY; }
double GETJOYZ(double joystick) { return PollJoystick(joystick).lZ; }

double GETDIGIX(double joystick)
{
    const std::uint32_t pov = PollJoystick(joystick).rgdwPOV[0];
    if (pov == 9000) return 1;
    if (pov == 27000) return -1;
    return 0;
}

double GETDIGIY(double joystick)
{
    const std::uint32_t pov = PollJoystick(joystick).rgdwPOV[0];
    if (pov == 0) return -1;
    if (pov == 18000) return 1;
    return 0;
}

double GETJOYBUTTON(double joystick, double button)
{
    const int b = NumberToInt(button);
    if (b < 0 || b >= 32) return 0;
    return PollJoystick(joystick).rgbButtons[b];
}

KvStr GETJOYNAME_Str(double joystick)
{
    char name[522] = {};
    if (pDXin != nullptr) pDXin->GetJoyName(name, NumberToInt(joystick));
    return KvStr(name);
}

double GETNUMJOYSTICKS()
{
    return pDXin != nullptr ? pDXin->GetNumJoysticks() : 0;
}

namespace {

// A longer rumble is given again by the program (SDL's own limit is about a
// minute).
constexpr double kLongestRumbleMs = 10000;

}  // namespace

double JOYRUMBLE(double joystick, double strength, double ms)
{
    const int n = NumberToInt(joystick);
    if (pDXin == nullptr || n < 0 || n >= kMaxJoysticks) return 0;
    // Comparisons written so that NaN counts as nothing.
    const double share = strength > 0 ? (strength < 1 ? strength : 1) : 0;
    const double duration = ms > 0 ? (ms < kLongestRumbleMs ? ms : kLongestRumbleMs) : 0;
    const auto motors = static_cast<std::uint16_t>(std::lround(share * 65535));
    pDXin->RumbleJoystick(static_cast<signed char>(n), motors, static_cast<std::uint32_t>(duration));
    return 0;
}
