// The scripted input source of automated runs (platform-internal).
#pragma once

#include <string>

#include "platform/platform.h"

namespace platform::script {

// Loads the script named by KV_INPUT_SCRIPT once; true when one is active.
bool Active();
// Called by PresentFrame: the picture of the frame just drawn is about to
// be shown (screenshots), then the next frame begins (its input applies).
void BeforePresent(long frame, int width, int height);
void AfterPresent(long frame);
bool QuitRequested();

void Keyboard(unsigned char keys[256]);
MouseSample Mouse();
int JoystickCount();
bool Joystick(int index, JoystickSample* sample);

}  // namespace platform::script
