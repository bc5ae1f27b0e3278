// DXInput: the runtime's one input object. Keyboard, mouse and up to ten
// joysticks, polled on demand; every key number is a DIK scan code.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// The mouse snapshot handed to callers.
struct DIMOUSEDATA {
    std::uint16_t button0;  // left; non-zero = down
    std::uint16_t button1;  // right
    std::uint16_t button2;  // middle
    std::int16_t xMotion;   // since the previous poll
    std::int16_t yMotion;
};

// A joystick snapshot in the standard 80-byte record.
struct DIJOYSTATE {
    std::int32_t lX, lY, lZ;
    std::int32_t lRx, lRy, lRz;
    std::int32_t rglSlider[2];
    std::uint32_t rgdwPOV[4];
    std::uint8_t rgbButtons[32];
};
static_assert(sizeof(DIJOYSTATE) == 80, "joystick record is 80 bytes");

constexpr int kMaxJoysticks = 10;

class DXInput {
public:
    DXInput();
    ~DXInput();

    // 1 on full success, else the status of the last failing device.
    std::int32_t CreateDInput(platform::Window* window, void* instance, bool wantMouse);
    void GetKeyboardStatus();
    // The key test against the last snapshot.
    bool KeyDown(int scanCode) const;
    signed char GetKeyChar();
    unsigned char Scan2Ascii(int scanCode);
    bool GetMouseData(DIMOUSEDATA* data);
    bool GetJoystickData(DIJOYSTATE* state, signed char index);
    void GetJoyName(char* out, std::int32_t index);
    // Joysticks and pads come and go while the program runs: this, like
    // GetJoystickData and GetJoyName, follows them first.
    int GetNumJoysticks();
    // Both motors at strength 0 ... 65535 for ms milliseconds; nothing where
    // the joystick cannot rumble.
    void RumbleJoystick(signed char index, std::uint16_t strength, std::uint32_t ms);
    bool AnyKey();
    bool AnyMouse();

    static constexpr std::int32_t kNoInput = static_cast<std::int32_t>(0x8000000A);
    static constexpr std::int32_t kNoKeyboard = static_cast<std::int32_t>(0x8000000B);
    static constexpr std::int32_t kNoMouse = static_cast<std::int32_t>(0x8000000C);

    bool directInput;        // the input system is up
    bool keyboardDevice;     // the keyboard can be read
    bool mouseDevice;        // the program acquired the mouse
    bool joystickDevices[kMaxJoysticks];
    char joystickNames[kMaxJoysticks][522];
    platform::Window* window;
    unsigned char keyState[256];
    std::int32_t numJoysticks;

private:
    // Reads the count, the names and which numbers hold a device anew when
    // a joystick arrived or left since the last look.
    void FollowJoystickChanges();
    void ReadJoystickTable();
    unsigned long joystickChangesSeen = 0;
};

extern DXInput* pDXin;
// The character GetKeyChar delivered last, for repeat suppression.
extern signed char lastpressed;
