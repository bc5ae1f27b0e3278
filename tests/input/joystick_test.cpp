// The joystick commands against an SDL virtual joystick of a kind SDL does
// not take for a pad, so it is read as the plain joystick it is.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <string>

#include "commands.h"
#include "support/child_process.h"

namespace {

using testing_support::ScratchFolder;

class JoystickTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TMPDIR", folder.Path().c_str(), 1);
        // Joysticks speak only to the focused window; the test's window has
        // no window manager to give it focus.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
        const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_FLIGHT_STICK, 3, 8, 1);
        ASSERT_GE(device, 0) << SDL_GetError();
        joystick = SDL_JoystickOpen(device);
        ASSERT_NE(joystick, nullptr);
        KV_FULLSCREEN = 0;
        __GlobalInit(nullptr, nullptr, g_cmdline.GetStrData(), 1, "joystick_test");
    }
    // The runtime and the virtual joystick go before the process exits, so
    // that no thread of theirs still runs while the leak checker does.
    void TearDown() override
    {
        __ReleaseRuntime();
        if (joystick != nullptr) SDL_JoystickClose(joystick);
        SDL_JoystickDetachVirtual(0);
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }
    void Axis(int axis, Sint16 value) { SDL_JoystickSetVirtualAxis(joystick, axis, value); }

    ScratchFolder folder;
    SDL_Joystick* joystick = nullptr;
};

TEST_F(JoystickTest, AxesReadThroughTheDeadZone)
{
    ASSERT_EQ(GETNUMJOYSTICKS(), 1);
    Axis(0, -32768);
    Axis(1, 10000);
    Axis(2, 0);
    EXPECT_EQ(GETJOYX(0), -1);
    EXPECT_EQ(GETJOYY(0), 0);   // inside the dead zone
    EXPECT_EQ(GETJOYZ(0), 32768);
    Axis(0, 16000);
    Axis(1, 20000);
    EXPECT_EQ(GETJOYX(0), 0);
    EXPECT_EQ(GETJOYY(0), 1);
    Axis(2, 32767);
    EXPECT_EQ(GETJOYZ(0), 65535);
}

TEST_F(JoystickTest, HatGivesDigitalDirectionsAndDiagonalsGiveNone)
{
    SDL_JoystickSetVirtualHat(joystick, 0, SDL_HAT_RIGHT);
    EXPECT_EQ(GETDIGIX(0), 1);
    EXPECT_EQ(GETDIGIY(0), 0);
    SDL_JoystickSetVirtualHat(joystick, 0, SDL_HAT_UP);
    EXPECT_EQ(GETDIGIX(0), 0);
    EXPECT_EQ(GETDIGIY(0), -1);
    SDL_JoystickSetVirtualHat(joystick, 0, SDL_HAT_LEFTDOWN);
    EXPECT_EQ(GETDIGIX(0), 0);
    EXPECT_EQ(GETDIGIY(0), 0);
    SDL_JoystickSetVirtualHat(joystick, 0, SDL_HAT_LEFT);
    EXPECT_EQ(GETDIGIX(0), -1);
    SDL_JoystickSetVirtualHat(joystick, 0, SDL_HAT_CENTERED);
    EXPECT_EQ(GETDIGIY(0), 0);
    // A joystick that does not exist is at rest: not "up".
    for (int missing : {1, 2, 9, 10, -1}) {
        EXPECT_EQ(GETDIGIX(missing), 0) << missing;
        EXPECT_EQ(GETDIGIY(missing), 0) << missing;
        EXPECT_EQ(GETJOYZ(missing), 0) << missing;
    }
}

TEST_F(JoystickTest, ButtonsAndNamesStayWithinTheirTables)
{
    SDL_JoystickSetVirtualButton(joystick, 3, SDL_PRESSED);
    EXPECT_EQ(GETJOYBUTTON(0, 3), 128);
    EXPECT_EQ(GETJOYBUTTON(0, 2), 0);
    EXPECT_EQ(GETJOYBUTTON(0, 32), 0);
    EXPECT_EQ(GETJOYBUTTON(0, -1), 0);
    EXPECT_EQ(GETJOYBUTTON(10, 3), 0);
    EXPECT_EQ(GETJOYBUTTON(-1, 3), 0);
    EXPECT_EQ(GETJOYX(200), 0);
    double x, y, b1, b2;
    SDL_JoystickSetVirtualButton(joystick, 0, SDL_PRESSED);
    JOYSTATE(x, y, b1, b2);
    EXPECT_EQ(b1, 128);
    EXPECT_EQ(b2, 0);

    std::string name = GETJOYNAME_Str(0).GetStrData();
    EXPECT_NE(name.find(", "), std::string::npos) << name;
    EXPECT_STREQ(GETJOYNAME_Str(-1).GetStrData(), "");
    EXPECT_STREQ(GETJOYNAME_Str(1).GetStrData(), "");
}

}  // namespace
