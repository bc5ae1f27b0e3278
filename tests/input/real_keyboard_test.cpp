// Real key presses into a real window (a private Xvfb display and xdotool):
// the SDL path of the input layer end to end.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "support/child_process.h"

namespace {

using namespace testing_support;

class RealKeyboardTest : public ::testing::Test {
protected:
    std::string Notes() { return ReadWholeFile(folder.File("input-probe.txt")); }
    bool WaitForNote(const std::string& note, int ms)
    {
        for (int waited = 0; waited < ms; waited += 20) {
            if (Notes().find(note) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    ScratchFolder folder;
    PrivateDisplay display;
};

TEST_F(RealKeyboardTest, KeyAndInkeySeeAHeldKey)
{
    ASSERT_TRUE(display.Ready());
    ChildProcess child(BuildProgram("input_probe"), {"keys"}, {"TMPDIR=" + folder.Path(), display.Env()},
                       folder.File("stderr.txt"));
    ASSERT_TRUE(WaitForNote("ready", 30000));
    ASSERT_EQ(display.Xdotool("mousemove 300 300 sleep 0.1 keydown a sleep 0.3 keyup a"), 0);
    ChildResult result = child.Wait(std::chrono::seconds(20));
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0) << result.stderrText;
    EXPECT_NE(Notes().find("KEY 30"), std::string::npos) << Notes();
    EXPECT_NE(Notes().find("INKEY a"), std::string::npos) << Notes();
}

TEST_F(RealKeyboardTest, KeywaitIgnoresKeysWithoutCharacters)
{
    ASSERT_TRUE(display.Ready());
    ChildProcess child(BuildProgram("input_probe"), {"keywait"}, {"TMPDIR=" + folder.Path(), display.Env()},
                       folder.File("stderr.txt"));
    ASSERT_TRUE(WaitForNote("ready", 30000));
    ASSERT_EQ(display.Xdotool("mousemove 300 300 sleep 0.1 keydown Tab sleep 0.2 keyup Tab "
                              "keydown Up sleep 0.2 keyup Up keydown Shift_L sleep 0.2 keyup Shift_L"),
              0);
    EXPECT_FALSE(WaitForNote("keywait returned", 700)) << "KEYWAIT ended on a key without a character";
    ASSERT_EQ(display.Xdotool("keydown space sleep 0.2 keyup space"), 0);
    EXPECT_TRUE(WaitForNote("keywait returned", 10000));
    ChildResult result = child.Wait(std::chrono::seconds(20));
    EXPECT_EQ(result.exitCode, 0) << result.stderrText;
}

// Each key held long enough for a polling program to see it.
std::string Held(const std::string& key)
{
    return "keydown " + key + " sleep 0.15 keyup " + key + " sleep 0.1 ";
}

TEST_F(RealKeyboardTest, TypedCharactersFollowTheLayoutWithItsModifiers)
{
    // The US layout of the display: Shift + 1, Shift + /, Caps Lock + a,
    // and the keypad's 1 key (End) with Num Lock off and then on.
    ASSERT_TRUE(display.Ready());
    ChildProcess child(BuildProgram("input_probe"), {"typing"}, {"TMPDIR=" + folder.Path(), display.Env()},
                       folder.File("stderr.txt"));
    ASSERT_TRUE(WaitForNote("ready", 30000));
    const std::string keys = "mousemove 300 300 sleep 0.1 keydown Shift_L sleep 0.1 " + Held("1") + Held("slash") +
                             "keyup Shift_L sleep 0.1 " + Held("Caps_Lock") + Held("a") + Held("Caps_Lock") +
                             Held("a") + Held("KP_End") + Held("Num_Lock") + Held("KP_End") + Held("Num_Lock") +
                             Held("period");
    ASSERT_EQ(display.Xdotool(keys), 0);
    ChildResult result = child.Wait(std::chrono::seconds(20));
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0) << result.stderrText;
    EXPECT_EQ(Notes(), "ready\nCHAR 33\nCHAR 63\nCHAR 65\nCHAR 97\nCHAR 49\nCHAR 46\n");
}

}  // namespace
