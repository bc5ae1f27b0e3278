// The layout of a pad as old programs know it from their own time: X and Y
// the left stick, Z both triggers on one axis, the point of view the d-pad,
// buttons numbered by their place on the pad.
#include "platform/gamepad_layout.h"

#include "platform/joystick_positions.h"

namespace platform {

namespace {

// Button numbers in order: face buttons by position (south, east, west,
// north), shoulders, back and start, stick presses, guide.
constexpr SDL_GameControllerButton kButtonOrder[] = {
    SDL_CONTROLLER_BUTTON_A,             SDL_CONTROLLER_BUTTON_B,          SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,             SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_BACK,          SDL_CONTROLLER_BUTTON_START,      SDL_CONTROLLER_BUTTON_LEFTSTICK,
    SDL_CONTROLLER_BUTTON_RIGHTSTICK,    SDL_CONTROLLER_BUTTON_GUIDE,
};

// The left trigger pushes Z up toward 65535, the right one down toward 0;
// both at rest, or both held alike, leave it near the centre 32767.
int CombinedTriggers(Sint16 left, Sint16 right)
{
    const int up = left > 0 ? left * 32768 / 32767 : 0;
    const int down = right > 0 ? right : 0;
    return 32767 + up - down;
}

Uint8 DpadHat(SDL_GameController* pad)
{
    auto held = [pad](SDL_GameControllerButton b) { return SDL_GameControllerGetButton(pad, b) != 0; };
    const int across = held(SDL_CONTROLLER_BUTTON_DPAD_RIGHT) - held(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    const int down = held(SDL_CONTROLLER_BUTTON_DPAD_DOWN) - held(SDL_CONTROLLER_BUTTON_DPAD_UP);
    Uint8 hat = SDL_HAT_CENTERED;
    if (across > 0) hat |= SDL_HAT_RIGHT;
    if (across < 0) hat |= SDL_HAT_LEFT;
    if (down > 0) hat |= SDL_HAT_DOWN;
    if (down < 0) hat |= SDL_HAT_UP;
    return hat;
}

}  // namespace

JoystickSample ReadGamepad(SDL_GameController* pad)
{
    JoystickSample read;
    read.x = DigitalAxis(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX));
    read.y = DigitalAxis(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
    read.z = CombinedTriggers(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT),
                              SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
    read.pov = PointOfView(DpadHat(pad));
    int number = 0;
    for (SDL_GameControllerButton button : kButtonOrder)
        read.buttons[number++] = SDL_GameControllerGetButton(pad, button) ? 128 : 0;
    return read;
}

}  // namespace platform
