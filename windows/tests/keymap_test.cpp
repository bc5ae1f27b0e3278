// Typing through a keyboard layout on Windows: the scripted input's keys
// give the characters of the US and the German layout, the same on every
// machine.
#include "platform/keymap.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kShift = 0x2A, kControl = 0x1D, kAltGr = 0xB8;

unsigned int Type(const platform::KeymapTranslator& keymap, int dik, std::initializer_list<int> held = {},
                  bool capsLock = false, bool numLock = false)
{
    unsigned char keys[256] = {};
    for (int key : held) keys[key] = 0x80;
    return keymap.Character(dik, keys, capsLock, numLock);
}

TEST(WindowsKeymap, TheUsLayoutTypesWithShiftCapsLockControlAndTheKeypad)
{
    platform::KeymapTranslator keymap;
    EXPECT_EQ(Type(keymap, 0x1E), 0u) << "nothing is typed before a layout is loaded";
    std::string why;
    ASSERT_TRUE(keymap.Load("us", "", &why)) << why;
    EXPECT_TRUE(keymap.Loaded());
    EXPECT_EQ(Type(keymap, 0x1E), U'a');
    EXPECT_EQ(Type(keymap, 0x1E, {kShift}), U'A');
    EXPECT_EQ(Type(keymap, 0x1E, {}, true), U'A');
    EXPECT_EQ(Type(keymap, 0x1E, {kShift}, true), U'a');
    EXPECT_EQ(Type(keymap, 0x03, {}, true), U'2') << "Caps Lock leaves the digits";
    EXPECT_EQ(Type(keymap, 0x03, {kShift}), U'@');
    EXPECT_EQ(Type(keymap, 0x2C), U'z');
    EXPECT_EQ(Type(keymap, 0x28, {0x36}), U'"');
    EXPECT_EQ(Type(keymap, 0x2B), U'\\');
    EXPECT_EQ(Type(keymap, 0x1C), 0x0Du);
    EXPECT_EQ(Type(keymap, 0x39), U' ');
    EXPECT_EQ(Type(keymap, 0x1E, {kControl}), 0x01u);
    EXPECT_EQ(Type(keymap, 0x4F, {}, false, true), U'1');
    EXPECT_EQ(Type(keymap, 0x4F), 0u) << "without Num Lock the keypad's 1 is End";
    EXPECT_EQ(Type(keymap, 0x53, {}, false, true), U'.');
    EXPECT_EQ(Type(keymap, 0x3B), 0u) << "F1 types nothing";
}

TEST(WindowsKeymap, TheGermanLayoutHasItsOwnKeysAndAltGrAndAnUnknownOneIsRefused)
{
    platform::KeymapTranslator keymap;
    std::string why;
    ASSERT_TRUE(keymap.Load("de", "", &why)) << why;
    EXPECT_EQ(Type(keymap, 0x2C), U'y');
    EXPECT_EQ(Type(keymap, 0x15), U'z');
    EXPECT_EQ(Type(keymap, 0x03, {kShift}), U'"');
    EXPECT_EQ(Type(keymap, 0x04, {kShift}), U'\u00A7');
    EXPECT_EQ(Type(keymap, 0x0C), U'\u00DF');
    EXPECT_EQ(Type(keymap, 0x27), U'\u00F6');
    EXPECT_EQ(Type(keymap, 0x27, {}, true), U'\u00D6');
    EXPECT_EQ(Type(keymap, 0x10, {kAltGr}), U'@');
    EXPECT_EQ(Type(keymap, 0x12, {kAltGr}), U'\u20AC');
    EXPECT_EQ(Type(keymap, 0x08, {kControl, 0x38}), U'{') << "Ctrl with left Alt is AltGr";
    EXPECT_EQ(Type(keymap, 0x0D), 0u) << "the acute is a dead key";
    EXPECT_EQ(Type(keymap, 0x53, {}, false, true), U',');

    EXPECT_FALSE(keymap.Load("xx", "", &why));
    EXPECT_EQ(why, "keyboard layout \"xx\" is not known on Windows (known: us, de)");
    EXPECT_EQ(Type(keymap, 0x2C), U'y') << "the previous layout stays";
}

}  // namespace
