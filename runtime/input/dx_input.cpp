#include "input/dx_input.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/error_log.h"

DXInput* pDXin = nullptr;
signed char lastpressed = 0;

namespace {

constexpr int kDikReturn = 0x1C;
constexpr int kDikKeypadEnter = 0x9C;
constexpr int kDikBackspace = 0x0E;
constexpr int kDikLeftShift = 0x2A;
constexpr int kDikRightShift = 0x36;

bool IsModifierOrLock(int scanCode)
{
    switch (scanCode) {
    case 0x1D: case 0x2A: case 0x36: case 0x38: case 0x3A: case 0x45: case 0xDD:
        return true;
    default:
        return false;
    }
}

}  // namespace

DXInput::DXInput()
    : directInput(false), keyboardDevice(false), mouseDevice(false), joystickDevices{},
      joystickNames{}, window(nullptr), keyState{}, numJoysticks(0)
{
}

DXInput::~DXInput()
{
    platform::CloseInputDevices();
}

std::int32_t DXInput::CreateDInput(platform::Window* w, void*, bool wantMouse)
{
    std::int32_t status = 1;
    window = w;
    directInput = w != nullptr || platform::ScriptedInputActive();
    if (!directInput) {
        AppendErrorLog("No DX_Input");
        return kNoInput;
    }
    keyboardDevice = platform::KeyboardAvailable();
    if (!keyboardDevice) {
        AppendErrorLog("No DX_KB");
        status = kNoKeyboard;
    }
    if (wantMouse) {
        mouseDevice = platform::OpenMouse(true);
        if (!mouseDevice) {
            AppendErrorLog("No DX_Mouse");
            status = kNoMouse;
        }
    }
    numJoysticks = platform::OpenJoysticks(kMaxJoysticks);
    for (int i = 0; i < numJoysticks; ++i) {
        joystickDevices[i] = true;
        std::string name = platform::JoystickName(i);
        std::strncpy(joystickNames[i], name.c_str(), sizeof joystickNames[i] - 1);
    }
    joystickChangesSeen = platform::JoystickChanges();
    return status;
}

void DXInput::FollowJoystickChanges()
{
    const unsigned long changes = platform::JoystickChanges();
    if (changes == joystickChangesSeen) return;
    joystickChangesSeen = changes;
    ReadJoystickTable();
}

void DXInput::ReadJoystickTable()
{
    numJoysticks = std::clamp(platform::JoystickCount(), 0, kMaxJoysticks);
    for (int i = 0; i < kMaxJoysticks; ++i) {
        const std::string name = platform::JoystickName(i);
        joystickDevices[i] = !name.empty();
        std::memset(joystickNames[i], 0, sizeof joystickNames[i]);
        std::strncpy(joystickNames[i], name.c_str(), sizeof joystickNames[i] - 1);
    }
}

int DXInput::GetNumJoysticks()
{
    platform::RefreshInputState();
    FollowJoystickChanges();
    return numJoysticks;
}

void DXInput::RumbleJoystick(signed char index, std::uint16_t strength, std::uint32_t ms)
{
    if (index < 0 || index >= kMaxJoysticks) return;
    platform::RefreshInputState();
    FollowJoystickChanges();
    if (joystickDevices[index]) platform::RumbleJoystick(index, strength, ms);
}

void DXInput::GetKeyboardStatus()
{
    platform::RefreshInputState();
    platform::KeyboardSnapshot(keyState);
}

bool DXInput::KeyDown(int scanCode) const
{
    return scanCode >= 0 && scanCode < 256 && (keyState[scanCode] & 0x80) != 0;
}

unsigned char DXInput::Scan2Ascii(int scanCode)
{
    if (scanCode == kDikReturn || scanCode == kDikKeypadEnter) return 10;
    if (scanCode == kDikBackspace) return 8;
    if (IsModifierOrLock(scanCode)) return 0;
    unsigned char c = platform::TypedCharacter(scanCode);
    // Printable characters, Backspace and Return pass; Tab, Escape and the
    // other control characters never make a character.
    if (c >= 0x20 || c == 8 || c == 10) return c;
    return 0;
}

signed char DXInput::GetKeyChar()
{
    GetKeyboardStatus();
    signed char result = 0;
    for (int k = 0; k < 255; ++k) {
        if (!KeyDown(k)) continue;
        unsigned char c = Scan2Ascii(k);
        if (c != 0) {
            result = static_cast<signed char>(c);
            break;
        }
    }
    if (result >= 'a' && result <= 'z' && (KeyDown(kDikLeftShift) || KeyDown(kDikRightShift)))
        result = static_cast<signed char>(result - 0x20);
    // A held key gives its character once.
    if (result == lastpressed) return 0;
    lastpressed = result;
    return result;
}

bool DXInput::GetMouseData(DIMOUSEDATA* data)
{
    platform::RefreshInputState();
    platform::MouseSample sample = platform::ReadMouse();
    data->button0 = sample.buttons[0] ? 0x80 : 0;
    data->button1 = sample.buttons[1] ? 0x80 : 0;
    data->button2 = sample.buttons[2] ? 0x80 : 0;
    // Motion beyond 16 bits saturates instead of wrapping round to the
    // other direction.
    data->xMotion = static_cast<std::int16_t>(std::clamp(sample.dx, -32768, 32767));
    data->yMotion = static_cast<std::int16_t>(std::clamp(sample.dy, -32768, 32767));
    return true;
}

bool DXInput::GetJoystickData(DIJOYSTATE* state, signed char index)
{
    if (index < 0 || index >= kMaxJoysticks) return false;
    platform::RefreshInputState();
    FollowJoystickChanges();
    if (!joystickDevices[index]) return false;
    platform::JoystickSample sample;
    if (!platform::ReadJoystick(index, &sample)) return false;
    std::memset(state, 0, sizeof *state);
    state->lX = sample.x;
    state->lY = sample.y;
    state->lZ = sample.z;
    state->rgdwPOV[0] = sample.pov;
    state->rgdwPOV[1] = state->rgdwPOV[2] = state->rgdwPOV[3] = 0xFFFFFFFFu;
    std::memcpy(state->rgbButtons, sample.buttons, sizeof state->rgbButtons);
    return true;
}

void DXInput::GetJoyName(char* out, std::int32_t index)
{
    platform::RefreshInputState();
    FollowJoystickChanges();
    if (index < 0 || index >= numJoysticks) {
        out[0] = 0;
        return;
    }
    std::strcpy(out, joystickNames[index]);
}

bool DXInput::AnyKey()
{
    return GetKeyChar() != 0;
}

bool DXInput::AnyMouse()
{
    DIMOUSEDATA data{};
    GetMouseData(&data);
    return data.button0 != 0 || data.button1 != 0 || data.button2 != 0;
}
