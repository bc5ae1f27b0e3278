// Pads through SDL's game controller layer, devices plugged in and out while
// the program runs, and JOYRUMBLE, against SDL's virtual devices: the
// commands go through DXInput and the platform as a program's do.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "commands.h"
#include "platform/platform.h"
#include "support/child_process.h"

namespace {

using testing_support::ScratchFolder;

// What the pad's motors were last told, and how often.
struct Motors {
    int calls = 0;
    Uint16 low = 0, high = 0;
};

int RecordRumble(void* userdata, Uint16 low, Uint16 high)
{
    auto* motors = static_cast<Motors*>(userdata);
    ++motors->calls;
    motors->low = low;
    motors->high = high;
    return 0;
}

// A virtual device and the handle the test sets its inputs through.
struct Device {
    SDL_Joystick* joystick = nullptr;
    SDL_JoystickID id = -1;

    void Button(int button, bool down) { SDL_JoystickSetVirtualButton(joystick, button, down ? 1 : 0); }
    void Axis(int axis, Sint16 value) { SDL_JoystickSetVirtualAxis(joystick, axis, value); }
    void Hat(Uint8 value) { SDL_JoystickSetVirtualHat(joystick, 0, value); }
    void Detach()
    {
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
        SDL_JoystickClose(joystick);
        joystick = nullptr;
    }
};

Device Opened(int deviceIndex)
{
    Device device;
    EXPECT_GE(deviceIndex, 0) << SDL_GetError();
    device.joystick = SDL_JoystickOpen(deviceIndex);
    EXPECT_NE(device.joystick, nullptr) << SDL_GetError();
    device.id = SDL_JoystickInstanceID(device.joystick);
    return device;
}

// A pad with every standard button and axis: SDL gives it a game
// controller mapping, its buttons and axes numbered as SDL's own.
Device AttachPad(Motors* motors)
{
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
    desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    desc.name = "Virtual pad";
    desc.userdata = motors;
    desc.Rumble = RecordRumble;
    Device pad = Opened(SDL_JoystickAttachVirtualEx(&desc));
    EXPECT_TRUE(SDL_IsGameController(SDL_NumJoysticks() - 1));
    return pad;
}

// A flight stick SDL has no mapping for, and no motors.
Device AttachStick()
{
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_FLIGHT_STICK, 3, 8, 1);
    EXPECT_FALSE(SDL_IsGameController(index));
    return Opened(index);
}

int g_closeMessages = 0;
void CountCloseMessages(platform::WindowMessage message)
{
    if (message == platform::WindowMessage::Close) ++g_closeMessages;
}

class GamepadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TMPDIR", folder.Path().c_str(), 1);
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
        KV_FULLSCREEN = 0;
    }
    void Start() { __GlobalInit(nullptr, nullptr, g_cmdline.GetStrData(), 1, "gamepad_test"); }
    void TearDown() override
    {
        __ReleaseRuntime();
        for (Device* device : {&pad, &stick})
            if (device->joystick != nullptr) device->Detach();
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }

    ScratchFolder folder;
    Motors motors;
    Device pad, stick;
};

TEST_F(GamepadTest, APadReadsInTheLayoutOfItsPlaceNotOfItsWiring)
{
    pad = AttachPad(&motors);
    Start();
    ASSERT_EQ(GETNUMJOYSTICKS(), 1);
    EXPECT_STREQ(GETJOYNAME_Str(0).GetStrData(), "Virtual pad, Virtual pad");

    // At rest: centred stick, Z in the middle, d-pad centred, no button.
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    EXPECT_EQ(GETJOYX(0), 0);
    EXPECT_EQ(GETJOYZ(0), 32767);
    EXPECT_EQ(GETDIGIX(0), 0);
    EXPECT_EQ(GETDIGIY(0), 0);
    for (int b = 0; b < 32; ++b) EXPECT_EQ(GETJOYBUTTON(0, b), 0) << b;

    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, 10000);  // inside the dead zone
    pad.Axis(SDL_CONTROLLER_AXIS_RIGHTX, 32767);  // not read
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
    EXPECT_EQ(GETJOYBUTTON(0, 0), 128);
    EXPECT_EQ(GETJOYX(0), -1);
    EXPECT_EQ(GETJOYY(0), 0);
    EXPECT_EQ(GETDIGIX(0), 1);
    EXPECT_EQ(GETDIGIY(0), 0);
    EXPECT_EQ(GETJOYZ(0), 65535);
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    EXPECT_EQ(GETJOYZ(0), 0);
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
    EXPECT_EQ(GETDIGIY(0), -1);
    EXPECT_EQ(GETDIGIX(0), 0);
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);  // a diagonal gives neither
    EXPECT_EQ(GETDIGIX(0), 0);
    EXPECT_EQ(GETDIGIY(0), 0);
    pad.Button(SDL_CONTROLLER_BUTTON_A, false);

    // Each of the eleven buttons alone, at its number: the pad's wiring
    // (a, b, x, y, back, guide, start, stick presses, shoulders) is not.
    const std::pair<SDL_GameControllerButton, int> layout[] = {
        {SDL_CONTROLLER_BUTTON_A, 0},          {SDL_CONTROLLER_BUTTON_B, 1},
        {SDL_CONTROLLER_BUTTON_X, 2},          {SDL_CONTROLLER_BUTTON_Y, 3},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 4}, {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 5},
        {SDL_CONTROLLER_BUTTON_BACK, 6},       {SDL_CONTROLLER_BUTTON_START, 7},
        {SDL_CONTROLLER_BUTTON_LEFTSTICK, 8},  {SDL_CONTROLLER_BUTTON_RIGHTSTICK, 9},
        {SDL_CONTROLLER_BUTTON_GUIDE, 10},
    };
    for (auto [button, number] : layout) {
        pad.Button(button, true);
        for (int b = 0; b < 32; ++b) EXPECT_EQ(GETJOYBUTTON(0, b), b == number ? 128 : 0) << button << " " << b;
        pad.Button(button, false);
    }
}

TEST_F(GamepadTest, DevicesPluggedInAndOutWhileRunningComeAndGoKeepingTheOthersNumbers)
{
    pad = AttachPad(&motors);
    Start();
    ASSERT_EQ(GETNUMJOYSTICKS(), 1);

    // A window message waiting in the queue stays there for the pump.
    SDL_Event waiting{};
    waiting.type = SDL_USEREVENT;
    SDL_PushEvent(&waiting);

    stick = AttachStick();
    stick.Button(2, true);
    stick.Axis(0, 32767);
    EXPECT_EQ(GETNUMJOYSTICKS(), 2);
    EXPECT_EQ(GETJOYBUTTON(1, 2), 128);
    EXPECT_EQ(GETJOYX(1), 1);
    EXPECT_NE(std::string(GETJOYNAME_Str(1).GetStrData()), "");
    SDL_Event peeked;
    EXPECT_EQ(SDL_PeepEvents(&peeked, 1, SDL_PEEKEVENT, SDL_USEREVENT, SDL_USEREVENT), 1);

    // The pad leaves: its number reads as nothing, the stick keeps number 1.
    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    pad.Detach();
    EXPECT_EQ(GETNUMJOYSTICKS(), 2);
    EXPECT_STREQ(GETJOYNAME_Str(0).GetStrData(), "");
    EXPECT_EQ(GETJOYBUTTON(0, 0), 0);
    EXPECT_EQ(GETDIGIY(0), 0);
    EXPECT_EQ(GETJOYBUTTON(1, 2), 128);

    // The next device takes the free number 0.
    pad = AttachPad(&motors);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, 32767);
    EXPECT_EQ(GETNUMJOYSTICKS(), 2);
    EXPECT_EQ(GETJOYY(0), 1);
    EXPECT_STREQ(GETJOYNAME_Str(0).GetStrData(), "Virtual pad, Virtual pad");

    // The last one leaves: the count shrinks.
    stick.Detach();
    EXPECT_EQ(GETNUMJOYSTICKS(), 1);
    EXPECT_STREQ(GETJOYNAME_Str(1).GetStrData(), "");
    EXPECT_EQ(GETJOYX(1), 0);
    EXPECT_EQ(GETJOYBUTTON(1, 2), 0);

    // The window-message pump follows devices too, and hands on the others.
    stick = AttachStick();
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    g_closeMessages = 0;
    platform::PumpMessages(CountCloseMessages);
    EXPECT_EQ(g_closeMessages, 1);
    EXPECT_EQ(SDL_PeepEvents(&peeked, 1, SDL_PEEKEVENT, SDL_JOYDEVICEADDED, SDL_JOYDEVICEREMOVED), 0);
    EXPECT_EQ(GETNUMJOYSTICKS(), 2);
    EXPECT_EQ(GETJOYNAME_Str(1).GetStrData()[0] != 0, true);
}

TEST_F(GamepadTest, JoyrumbleReachesTheMotorsScaledAndStopsInTime)
{
    pad = AttachPad(&motors);
    stick = AttachStick();
    Start();
    ASSERT_EQ(GETNUMJOYSTICKS(), 2);

    JOYRUMBLE(0, 0.5, 60);
    EXPECT_EQ(motors.calls, 1);
    EXPECT_EQ(motors.low, 32768);
    EXPECT_EQ(motors.high, 32768);
    // SDL stops the motors when the time is up, at a later poll.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    GETJOYX(0);
    EXPECT_EQ(motors.calls, 2);
    EXPECT_EQ(motors.low, 0);

    JOYRUMBLE(0, 7, 1e12);  // clamped: full strength, a bounded time
    EXPECT_EQ(motors.low, 65535);
    EXPECT_EQ(motors.high, 65535);
    JOYRUMBLE(0, 1, 0);  // no time stops
    EXPECT_EQ(motors.low, 0);
    JOYRUMBLE(0, -3, 500);
    JOYRUMBLE(0, std::nan(""), 500);
    EXPECT_EQ(motors.low, 0);
    const int calls = motors.calls;

    // A stick without motors, free numbers and numbers out of range: nothing.
    for (double n : {1.0, 2.0, 9.0, 10.0, -1.0, 1e10}) JOYRUMBLE(n, 1, 500);
    EXPECT_EQ(motors.calls, calls);
    EXPECT_EQ(g_error, 0);
}

std::map<std::string, std::vector<std::string>> JoystickLinesByDevice(const std::string& path)
{
    std::map<std::string, std::vector<std::string>> lines;
    std::ifstream in(path);
    const std::regex joy(R"((\d+) joy (\d+) (.*))");
    std::smatch match;
    for (std::string line; std::getline(in, line);)
        if (std::regex_match(line, match, joy)) lines[match[2]].push_back(match[1].str() + " " + match[3].str());
    return lines;
}

TEST_F(GamepadTest, ARecordingOfAPadHasTheLinesOfAJoystickHeldTheSameWay)
{
    const std::string recording = folder.Path() + "/recorded.txt";
    setenv("KV_RECORD_INPUT", recording.c_str(), 1);
    pad = AttachPad(&motors);
    stick = AttachStick();
    // Held from the start: the start-up frame samples them.
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    stick.Axis(2, 32767);
    stick.Axis(0, -32768);
    stick.Button(0, true);
    stick.Hat(SDL_HAT_RIGHT);
    Start();
    pad.Button(SDL_CONTROLLER_BUTTON_A, false);
    stick.Button(0, false);
    platform::InputWaitPass();
    EXPECT_EQ(GETJOYBUTTON(0, 0), 0);
    EXPECT_EQ(GETJOYX(0), -1);
    unsetenv("KV_RECORD_INPUT");

    auto lines = JoystickLinesByDevice(recording);
    const std::vector<std::string> expected = {"1 axis x -1", "1 axis y 0",   "1 axis z 65535",
                                               "1 hat 9000",  "1 button 0 down", "2 button 0 up"};
    EXPECT_EQ(lines["0"], expected);
    EXPECT_EQ(lines["1"], expected);
}

}  // namespace
