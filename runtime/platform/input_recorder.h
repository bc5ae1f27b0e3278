// Recorded play (platform-internal): with KV_RECORD_INPUT=file the real
// devices are sampled once per input frame and every change is written to
// the file in the scripted-input format, so KV_INPUT_SCRIPT replays it.
#pragma once

#include "platform/platform.h"

namespace platform::recorder {

// True when a recording runs (KV_RECORD_INPUT names a file and no script
// replaces the devices). Opens the file on first use.
bool Active();
// A new input frame begins: the devices are sampled, changes written.
void NextFrame();
void NoteSeed(unsigned long seed);
// The program ends: the replay is to end at the same frame.
void Finish();

// What the program sees during the frame: the sample taken at its start.
void Keyboard(unsigned char keys[256]);
unsigned char TypedCharacter(int dik);
MouseSample Mouse();
bool Joystick(int index, JoystickSample* sample);

}  // namespace platform::recorder
