// The real keyboard, mouse and joysticks, read straight from SDL
// (platform-internal: the scripted source and the recorder stand in front).
#pragma once

#include "platform/platform.h"

namespace platform::devices {

// Starts pairing key presses with the text they type (needs the video system).
void WatchTypedCharacters();
void Keyboard(unsigned char keys[256]);
// Which keys went down since the previous call (even if already up again).
void TakeKeysPressed(bool pressed[256]);
// The character the key's current press typed with the layout and the
// modifiers in force as it went down (0: none, or not ASCII).
unsigned char TypedCharacter(int dik);
MouseSample Mouse();
bool Joystick(int index, JoystickSample* sample);
int JoystickCount();

}  // namespace platform::devices
