// The input layer in-process, fed by the scripted input source: each
// SHOWSCREEN moves the script on by one frame, so every poll sees an exact,
// known key state.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "commands.h"
#include "gfx/opengl_rainbows.h"
#include "input/dx_input.h"
#include "support/child_process.h"

namespace {

using testing_support::ScratchFolder;

class ScriptedInputTest : public ::testing::Test {
protected:
    void Start(const std::string& script)
    {
        std::ofstream(folder.File("input.txt")) << script;
        setenv("TMPDIR", folder.Path().c_str(), 1);
        setenv("KV_INPUT_SCRIPT", folder.File("input.txt").c_str(), 1);
        setenv("KV_UNPACED", "1", 1);
        KV_FULLSCREEN = 0;
        __GlobalInit(nullptr, nullptr, g_cmdline.GetStrData(), 1, "scripted_input_test");
        ASSERT_NE(pDXin, nullptr);
    }
    void TearDown() override { __ReleaseRuntime(); }
    // The character INKEY$ gives in each of the next frames.
    std::vector<std::string> CharactersOfFrames(int frames)
    {
        std::vector<std::string> seen;
        for (int i = 0; i < frames; ++i) {
            seen.push_back(INKEY_Str().GetStrData());
            SHOWSCREEN();
        }
        return seen;
    }
    ScratchFolder folder;
};

TEST_F(ScriptedInputTest, HeldKeyGivesItsCharacterOnceAndShiftCapitalises)
{
    Start("1 key 30 down\n"        // A
          "3 key 30 up\n"
          "4 key 30 down\n"
          "5 key 42 down\n"        // left Shift with A held
          "6 key 30 up\n"
          "6 key 42 up\n"
          "7 key 48 down\n"        // B and A together: the lower scan code wins
          "7 key 30 down\n"
          "8 key 48 up\n"
          "8 key 30 up\n");
    EXPECT_EQ(CharactersOfFrames(8),
              (std::vector<std::string>{"a", "", "", "a", "A", "", "a", ""}));
}

TEST_F(ScriptedInputTest, ReturnEnterAndBackspaceGiveControlCharactersOthersNothing)
{
    Start("1 key 28 down\n"        // Return
          "2 key 28 up\n"
          "3 key 156 down\n"       // keypad Enter
          "4 key 156 up\n"
          "5 key 14 down\n"        // Backspace
          "6 key 14 up\n"
          "7 key 15 down\n"        // Tab
          "8 key 15 up\n"
          "8 key 200 down\n"       // cursor up
          "9 key 200 up\n"
          "9 key 42 down\n"        // Shift alone
          "10 key 42 up\n"
          "10 key 79 down\n"       // keypad 1
          "11 key 79 up\n");
    EXPECT_EQ(CharactersOfFrames(11), (std::vector<std::string>{"\n", "", "\n", "", "\b", "", "", "", "", "1", ""}));
    EXPECT_EQ(pDXin->Scan2Ascii(1), 0);     // Escape
    EXPECT_EQ(pDXin->Scan2Ascii(0x0F), 0);  // Tab
    EXPECT_EQ(pDXin->Scan2Ascii(0xC8), 0);  // cursor up
    EXPECT_EQ(pDXin->Scan2Ascii(0x39), ' ');
}

TEST_F(ScriptedInputTest, KeyTakesTheLowByteOfItsCode)
{
    Start("1 key 28 down\n2 key 28 up\n2 key 255 down\n");
    EXPECT_EQ(KEY(28), 1);
    EXPECT_EQ(KEY(256 + 28), 1);
    EXPECT_EQ(KEY(29), 0);
    EXPECT_EQ(KEY(-1), 0);
    SHOWSCREEN();
    EXPECT_EQ(KEY(28), 0);
    EXPECT_EQ(KEY(-1), 1);  // -1 tests scan code 255
    EXPECT_EQ(KEY(255), 1);
}

TEST_F(ScriptedInputTest, MousestateClampsToTheScreen)
{
    Start("1 mouse -500 -20\n"
          "2 mouse 5000 5000\n"
          "3 button left down\n"
          "4 button left up\n"
          "4 button right down\n");
    double x = -1, y = -1, b1 = -1, b2 = -1;
    EXPECT_EQ(g_mx, 0);  // set by WinMain in programs; the test starts at 0
    SETMOUSE(100, 100);
    MOUSESTATE(x, y, b1, b2);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 80);
    EXPECT_EQ(b1, 0);
    SHOWSCREEN();
    MOUSESTATE(x, y, b1, b2);
    EXPECT_EQ(x, 640);
    EXPECT_EQ(y, 480);
    SHOWSCREEN();
    MOUSESTATE(x, y, b1, b2);
    EXPECT_EQ(b1, 1);
    EXPECT_EQ(b2, 0);
    EXPECT_EQ(x, 640);  // motion is delivered once
    SHOWSCREEN();
    MOUSESTATE(x, y, b1, b2);
    EXPECT_EQ(b1, 0);
    EXPECT_EQ(b2, 1);
    SETMOUSE(-50, -50);
    EXPECT_EQ(g_mx, -50);
    MOUSESTATE(x, y, b1, b2);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

TEST_F(ScriptedInputTest, ScreenshotAndQuitEntries)
{
    Start("2 screenshot " + folder.File("shot.bmp") + "\n");
    SHOWSCREEN();  // presents frame 1
    EXPECT_EQ(testing_support::ReadWholeFile(folder.File("shot.bmp")), "");
    SHOWSCREEN();  // presents frame 2
    std::string bmp = testing_support::ReadWholeFile(folder.File("shot.bmp"));
    ASSERT_EQ(bmp.size(), 54u + 640u * 3u * 480u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
}

// Presses each key for one frame, with one frame of nothing between keys.
std::string Typing(int firstFrame, const std::vector<int>& keys)
{
    std::string script;
    int frame = firstFrame;
    for (int key : keys) {
        script += std::to_string(frame) + " key " + std::to_string(key) + " down\n";
        script += std::to_string(frame + 1) + " key " + std::to_string(key) + " up\n";
        frame += 2;
    }
    return script;
}

TEST_F(ScriptedInputTest, InputEditsTheTextWithBackspaceAndEndsOnReturn)
{
    // INPUT presents its first frame at once: typing starts in frame 2.
    Start(Typing(2, {0x0E, 0x0E, 0x1C}));
    KvStr text("abc");
    INPUT(text, 100, 200);
    EXPECT_STREQ(text.GetStrData(), "a");
    EXPECT_EQ(pRbow->surfaces[3].columns, 0);  // the scratch surface is released
}

TEST_F(ScriptedInputTest, InputNumberFormStoresTheLeadingNumber)
{
    Start(Typing(2, {0x02, 0x03, 0x34, 0x06, 0x2D, 0x1C}));  // "12.5x", Return
    double number = -1;
    INPUT(number, 10, 10);
    EXPECT_EQ(number, 12.5);
}

TEST_F(ScriptedInputTest, InputDrawsTheTextAndABlinkingCursorOverTheOldPicture)
{
    // 60 idle frames, then Return: the cursor shows from the 21st idle pass
    // on and hides again after the 42nd.
    Start("10 screenshot " + folder.File("plain.bmp") + "\n" +
          "30 screenshot " + folder.File("cursor.bmp") + "\n" +
          "50 screenshot " + folder.File("hidden.bmp") + "\n" +
          "60 key 28 down\n");
    KvStr text("Hi");
    INPUT(text, 0, 0);
    const std::string plain = testing_support::ReadWholeFile(folder.File("plain.bmp"));
    const std::string cursor = testing_support::ReadWholeFile(folder.File("cursor.bmp"));
    const std::string hidden = testing_support::ReadWholeFile(folder.File("hidden.bmp"));
    ASSERT_EQ(plain.size(), 54u + 640u * 480u * 3u);
    // The text itself is drawn: the top-left rows are not all black.
    const std::size_t topRow = 54 + 479u * 640u * 3u;
    bool drawn = false;
    for (std::size_t i = 0; i < 64 * 3; ++i) drawn = drawn || plain[topRow + i] != 0;
    for (int row = 1; row < 8 && !drawn; ++row)
        for (std::size_t i = 0; i < 64 * 3; ++i) drawn = drawn || plain[topRow - row * 640u * 3u + i] != 0;
    EXPECT_TRUE(drawn);
    EXPECT_NE(plain, cursor);
    EXPECT_EQ(plain, hidden);
}

TEST_F(ScriptedInputTest, KeysTypeWhatTheUsLayoutGivesThemWithTheModifiersHeld)
{
    Start("1 key 42 down\n"          // Shift + 1, Shift + /
          "2 key 2 down\n"
          "3 key 2 up\n"
          "4 key 53 down\n"
          "5 key 53 up\n"
          "5 key 42 up\n"
          "6 key 58 down\n"          // Caps Lock on: a gives A, 1 stays 1
          "7 key 58 up\n"
          "8 key 30 down\n"
          "9 key 30 up\n"
          "10 key 2 down\n"
          "11 key 2 up\n"
          "11 key 58 down\n"         // Caps Lock off again
          "12 key 58 up\n"
          "12 key 69 down\n"         // Num Lock off: keypad 1 is End
          "13 key 69 up\n"
          "14 key 79 down\n"
          "15 key 79 up\n"
          "15 key 69 down\n"         // and on: keypad 1 types 1 again
          "16 key 69 up\n"
          "17 key 79 down\n"
          "18 key 79 up\n"
          "19 key 184 down\n"        // right Alt is no AltGr on the US layout
          "20 key 16 down\n"
          "21 key 16 up\n"
          "21 key 184 up\n");
#ifdef _WIN32
    // On Windows a letter with Alt held types nothing (it is a menu's
    // shortcut there), right Alt on the US layout too.
    const char* const withRightAlt = "";
#else
    const char* const withRightAlt = "q";
#endif
    EXPECT_EQ(CharactersOfFrames(22),
              (std::vector<std::string>{"", "!", "", "?", "", "", "", "A", "", "1", "", "", "", "",
                                        "", "", "1", "", "", withRightAlt, "", ""}));
}

TEST_F(ScriptedInputTest, TheGermanLayoutTypesItsPunctuationAndNothingAboveAscii)
{
    // The layout compiled in-process: Shift + 7 is "/", AltGr + Q "@",
    // Shift + 0 "=", the key right of L is a-umlaut (not ASCII: nothing),
    // and Y and Z trade places.
    Start("0 layout de\n"
          "1 key 42 down\n"
          "2 key 8 down\n"
          "3 key 8 up\n"
          "4 key 11 down\n"
          "5 key 11 up\n"
          "5 key 42 up\n"
          "6 key 184 down\n"
          "7 key 16 down\n"
          "8 key 16 up\n"
          "8 key 184 up\n"
          "9 key 39 down\n"
          "10 key 39 up\n"
          "11 key 21 down\n"
          "12 key 21 up\n"
          "13 key 44 down\n"
          "14 key 44 up\n");
    EXPECT_EQ(CharactersOfFrames(15), (std::vector<std::string>{"", "/", "", "=", "", "", "@", "", "", "", "z",
                                                                "", "y", "", ""}));
}

TEST_F(ScriptedInputTest, AGivenCharacterOverridesTheLayout)
{
    // Recordings write what each press typed, so they replay on any layout.
    Start("1 key 30 down 64\n"
          "2 key 30 up\n"
          "3 key 31 down 0\n"
          "4 key 31 up\n"
          "5 key 32 down 300\n");   // refused: not a character code
    EXPECT_EQ(CharactersOfFrames(6), (std::vector<std::string>{"@", "", "", "", "", ""}));
}

TEST_F(ScriptedInputTest, HugeMouseMotionSaturatesOrIsRefusedWithItsLine)
{
    testing::internal::CaptureStderr();
    Start("1 mouse 2147483647 0\n"
          "1 mouse 1 0\n"
          "1 mouse 0 -2147483648\n"
          "1 mouse 0 -1\n"
          "2 mouse 99999999999 0\n"
          "2 mouse 0 5\n");
    double x = 0, y = 0, b1 = 0, b2 = 0;
    SETMOUSE(100, 100);
    MOUSESTATE(x, y, b1, b2);  // frame 1
    EXPECT_EQ(x, 640);
    EXPECT_EQ(y, 0);
    SHOWSCREEN();
    MOUSESTATE(x, y, b1, b2);
    EXPECT_EQ(x, 640);
    EXPECT_EQ(y, 5);
    const std::string complaints = testing::internal::GetCapturedStderr();
    EXPECT_NE(complaints.find("input script line 5:"), std::string::npos) << complaints;
}

TEST_F(ScriptedInputTest, KeywaitAndMousewaitSeeScriptedInputOneFramePerPass)
{
    // The first wait pass is frame 1 (start-up presented frame 0).
    Start("5 key 57 down\n"
          "6 key 57 up\n"
          "9 button left down\n"
          "10 button left up\n"
          "12 key 2 down\n");
    KEYWAIT();
    EXPECT_EQ(KEY(57), 1) << "KEYWAIT returns in frame 5, the key still held";
    MOUSEWAIT();
    EXPECT_EQ(INKEY_Str().Compare(KvStr("")), 0);
    double x = 0, y = 0, b1 = 0, b2 = 0;
    MOUSESTATE(x, y, b1, b2);
    EXPECT_EQ(b1, 1) << "MOUSEWAIT ends while the button is down";
    SHOWSCREEN();  // frame 10
    SHOWSCREEN();
    EXPECT_EQ(INKEY_Str().Compare(KvStr("")), 0);
    SHOWSCREEN();
    EXPECT_EQ(INKEY_Str().Compare(KvStr("1")), 0) << "the passes of the waits count as frames";
}

TEST(ScriptedInputQuitTest, QuitEntryTakesTheClosePath)
{
    ScratchFolder folder;
    std::ofstream(folder.File("input.txt")) << "3 quit\n";
    setenv("TMPDIR", folder.Path().c_str(), 1);
    setenv("KV_INPUT_SCRIPT", folder.File("input.txt").c_str(), 1);
    setenv("KV_UNPACED", "1", 1);
    KV_FULLSCREEN = 0;
    EXPECT_EXIT(({
                    __GlobalInit(nullptr, nullptr, g_cmdline.GetStrData(), 1, "quit");
                    for (int i = 0; i < 10; ++i) SHOWSCREEN();
                    std::exit(7);
                }),
                ::testing::ExitedWithCode(0), "");
}

}  // namespace
