// The game's media files as the runtime reads them: sizes the tile grid
// and collision boxes assume, the colour key around the figures, the font
// layout, and plain PCM wave files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "bmp_picture.h"

namespace game_testing {
namespace {

const Colour kKey{255, 0, 128};

TEST(MediaTest, TheGridSpritesAre32By32AndTheFiguresStandOnTheColourKey)
{
    for (const char* name : {"katze_rechts.bmp", "katze_links.bmp", "wachmann.bmp", "flagge.bmp", "land.bmp",
                             "himmel.bmp"}) {
        BmpPicture picture(MediaPath(name));
        ASSERT_TRUE(picture.Loaded()) << name;
        EXPECT_EQ(picture.Width(), 32) << name;
        EXPECT_EQ(picture.Height(), 32) << name;
    }
    for (const char* name : {"katze_rechts.bmp", "katze_links.bmp", "wachmann.bmp"}) {
        BmpPicture figure(MediaPath(name));
        EXPECT_EQ(figure.At(0, 0), kKey) << name;
        int opaque = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) opaque += !(figure.At(x, y) == kKey);
        EXPECT_GT(opaque, 250) << name;
        EXPECT_LT(opaque, 32 * 32 - 200) << name;
    }
    // The tiles are opaque everywhere.
    for (const char* name : {"flagge.bmp", "land.bmp", "himmel.bmp"}) {
        BmpPicture tile(MediaPath(name));
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) ASSERT_FALSE(tile.At(x, y) == kKey) << name << " " << x << "," << y;
    }
    // The left-facing cat is the right-facing one mirrored.
    BmpPicture right(MediaPath("katze_rechts.bmp")), left(MediaPath("katze_links.bmp"));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(left.At(31 - x, y), right.At(x, y));
}

TEST(MediaTest, TheMountainsAreTransparentAboveAndTheBirdHasFourDifferentFrames)
{
    BmpPicture hills(MediaPath("berge.bmp"));
    ASSERT_TRUE(hills.Loaded());
    EXPECT_GE(hills.Width(), 960) << "the whole world's width";
    for (int x = 0; x < hills.Width(); x += 40) EXPECT_EQ(hills.At(x, 0), kKey) << x;
    BmpPicture frames[4] = {BmpPicture(MediaPath("vogel_0.bmp")), BmpPicture(MediaPath("vogel_1.bmp")),
                            BmpPicture(MediaPath("vogel_2.bmp")), BmpPicture(MediaPath("vogel_3.bmp"))};
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b) {
            int differ = 0;
            for (int y = 0; y < frames[a].Height(); ++y)
                for (int x = 0; x < frames[a].Width(); ++x) differ += !(frames[a].At(x, y) == frames[b].At(x, y));
            EXPECT_GT(differ, 5) << a << " " << b;
        }
}

TEST(MediaTest, FontsHoldEveryPrintableCharacterInSixteenByEightCells)
{
    for (const char* name : {"font.bmp", "fontklein.bmp"}) {
        BmpPicture font(MediaPath(name));
        ASSERT_TRUE(font.Loaded()) << name;
        const int cw = font.Width() / 16, ch = font.Height() / 8;
        EXPECT_EQ(font.Width(), cw * 16);
        EXPECT_EQ(font.Height(), ch * 8);
        for (int code = 32; code < 127; ++code) {
            int lit = 0;
            for (int y = 0; y < ch; ++y)
                for (int x = 0; x < cw; ++x) lit += !font.At((code % 16) * cw + x, (code / 16) * ch + y).IsBlack();
            if (code == ' ')
                EXPECT_EQ(lit, 0) << name;
            else
                EXPECT_GT(lit, 0) << name << " code " << code;
        }
        // Nothing in the control-character rows.
        for (int y = 0; y < 2 * ch; ++y)
            for (int x = 0; x < font.Width(); ++x) ASSERT_TRUE(font.At(x, y).IsBlack()) << name;
    }
    // The title font fits "Du wurdest" and "gefangen" 40 pixels apart; the
    // small one fits "Weiter mit Leertaste" on the screen from x 100.
    BmpPicture large(MediaPath("font.bmp")), small(MediaPath("fontklein.bmp"));
    EXPECT_LE(large.Height() / 8, 40);
    EXPECT_LE(small.Height() / 8, 20);
    EXPECT_LE(100 + 20 * (small.Width() / 16), 640);
}

struct Wave {
    int channels = 0, rate = 0, bits = 0;
    std::string samples;
};

Wave ReadWave(const std::string& name)
{
    std::string bytes = testing_support::ReadWholeFile(MediaPath(name));
    Wave wave;
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 8, "WAVEfmt ") != 0) return wave;
    auto u16 = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8; };
    auto u32 = [&](std::size_t at) { return static_cast<std::uint32_t>(u16(at) | u16(at + 2) << 16); };
    if (u32(16) != 16 || u16(20) != 1 || bytes.compare(36, 4, "data") != 0) return wave;
    wave.channels = u16(22);
    wave.rate = static_cast<int>(u32(24));
    wave.bits = u16(34);
    wave.samples = bytes.substr(44, u32(40));
    return wave;
}

TEST(MediaTest, SoundsArePlainPcmAndTheTuneLoopsWithoutAClick)
{
    for (const char* name : {"einsammeln.wav", "gefangen.wav", "musik.wav"}) {
        Wave wave = ReadWave(name);
        EXPECT_EQ(wave.channels, 1) << name;
        EXPECT_EQ(wave.rate, 22050) << name;
        EXPECT_EQ(wave.bits, 16) << name;
        EXPECT_GT(wave.samples.size(), 22050u / 5) << name;
    }
    Wave tune = ReadWave("musik.wav");
    ASSERT_GT(tune.samples.size(), 4u);
    auto sample = [&](std::size_t k) {
        return static_cast<std::int16_t>(static_cast<unsigned char>(tune.samples[2 * k]) |
                                         static_cast<unsigned char>(tune.samples[2 * k + 1]) << 8);
    };
    const std::size_t count = tune.samples.size() / 2;
    EXPECT_GT(count, 22050u * 5) << "a tune, not a beep";
    // The end joins the start: both near silence, no jump between them.
    EXPECT_LT(std::abs(sample(0)), 300);
    EXPECT_LT(std::abs(sample(count - 1)), 300);
    EXPECT_LT(std::abs(sample(count - 1) - sample(0)), 300);
}

}  // namespace
}  // namespace game_testing
