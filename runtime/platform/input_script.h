// The scripted input source of automated runs (platform-internal).
#pragma once

#include <string>

#include "platform/platform.h"

namespace platform::script {

// Loads the script named by KV_INPUT_SCRIPT once; true when one is active.
bool Active();
// Called by PresentFrame: the picture of the frame just drawn is about to
// be shown (screenshots).
void BeforePresent(int width, int height);
// The next input frame begins (after a presented frame or a wait pass): its
// entries apply.
void NextFrame();
// The random seed the script names, if any.
bool Seed(unsigned long* seed);
// The character the key's current press types (0: none).
unsigned char TypedCharacter(int dik);
bool QuitRequested();

void Keyboard(unsigned char keys[256]);
MouseSample Mouse();
int JoystickCount();
bool Joystick(int index, JoystickSample* sample);

// For the fuzz harness alone, which reads many scripts in one process:
// forgets the script and everything it set, so the next call loads
// KV_INPUT_SCRIPT afresh. The runtime never calls it.
void ReloadForTesting();

}  // namespace platform::script
