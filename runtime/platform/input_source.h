// Where the program's input comes from: a script stands in for the devices;
// a recording samples them once a frame and hands out what it wrote down;
// otherwise the devices are read as they are. Chosen in one place, for the
// keyboard, the typed characters, the mouse and the joysticks alike.
#pragma once

#include "platform/platform.h"

namespace platform {

struct InputSource {
    void (*keyboard)(unsigned char keys[256]);
    unsigned char (*typedCharacter)(int dik);
    MouseSample (*mouse)();
    bool (*joystick)(int index, JoystickSample* sample);
};

const InputSource& CurrentInputSource();

}  // namespace platform
