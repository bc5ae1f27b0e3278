// The landscape as level draws it, the flags einsammeln collects, the lives
// leben shows and the bird's wing beat: pixels read back from the drawing
// area.
#include "game_fixture.h"

#include "gl/gl_calls.h"

namespace game_testing {
namespace {

using MapAndFlagsTest = GameTest;

TEST_F(MapAndFlagsTest, TilesLieOnTheGridAndTheViewReachesTheWorldCorners)
{
    Start();
    NewGameAndLevel();
    scrollx = 0, scrolly = 0;
    level();
    EXPECT_EQ(i, 22);
    EXPECT_EQ(j, 30);
    EXPECT_EQ(Pixel(5, 5), MediaPixel("himmel.bmp", 5, 5)) << "sky tile at the top left";
    EXPECT_EQ(Pixel(32 + 9, 192 + 12), MediaPixel("flagge.bmp", 9, 12)) << "the pole of flag a";
    EXPECT_EQ(Pixel(448 + 20, 192 + 10), MediaPixel("flagge.bmp", 20, 10)) << "flag d";
    EXPECT_EQ(Pixel(64 + 14, 224 + 20), MediaPixel("land.bmp", 14, 20)) << "land tile (7, 2)";
    // The mountains stand on the upper edge of the land, at world (0, 100).
    for (int x : {0, 123, 400, 639}) EXPECT_EQ(Pixel(x, 130), MediaPixel("berge.bmp", x, 30)) << x;
    SHOWSCREEN();

    scrollx = -320, scrolly = -224;
    level();
    // Tile (21, 29) ends exactly at the bottom-right corner of the window.
    EXPECT_EQ(Pixel(639, 479), MediaPixel("land.bmp", 31, 31));
    EXPECT_EQ(Pixel(608, 448), MediaPixel("land.bmp", 0, 0));
    EXPECT_EQ(Pixel(896 - 320 + 20, 640 - 224 + 10), MediaPixel("flagge.bmp", 20, 10)) << "flag i";
}

TEST_F(MapAndFlagsTest, DirtDotsOnLandButNeitherOnFlagsNorInTheSky)
{
    Start();
    NewGameAndLevel();
    scrollx = 0, scrolly = 0;
    // Entry 40 serves tile (10, 3) among others; entry 12 serves the flag
    // tile (6, 1), the sky tile (3, 3) and the land tile (12, 0).
    braunepixelx(40) = 5, braunepixely(40) = 7;
    braunepixelx(12) = 10, braunepixely(12) = 10;
    level();
    const Rgb dot{128, 0, 0};
    // A pixel given at row y lands on row y - 1.
    EXPECT_EQ(Pixel(3 * 32 + 5, 10 * 32 + 7 - 1), dot);
    EXPECT_EQ(Pixel(0 * 32 + 10, 12 * 32 + 10 - 1), dot) << "land tile (12, 0)";
    EXPECT_NE(Pixel(1 * 32 + 10, 6 * 32 + 10 - 1), dot) << "no dot on the flag tile (6, 1)";
    EXPECT_EQ(Pixel(3 * 32 + 10, 3 * 32 + 10 - 1), MediaPixel("himmel.bmp", 10, 9)) << "no dot in the sky";
    SHOWSCREEN();

    // A collected flag is land, and gets its dot.
    feld(6, 1) = 1;
    level();
    EXPECT_EQ(Pixel(1 * 32 + 10, 6 * 32 + 10 - 1), dot);
}

TEST_F(MapAndFlagsTest, TouchingAFlagCollectsItOnceAndPlaysTheCollectSound)
{
    Start();
    NewGameAndLevel();
    scrollx = 0, scrolly = 0;
    // One pixel apart: nothing happens.
    xpos = 32 + 33, ypos = 192;
    einsammeln();
    EXPECT_EQ(flaggea, 0);
    EXPECT_EQ(feld(6, 1), 2);
    EXPECT_FALSE(DXwav[0].CopyIsPlaying(0));
    // Touching edges count.
    xpos = 32 + 32, ypos = 192 + 32;
    einsammeln();
    EXPECT_EQ(flaggea, 1);
    EXPECT_EQ(feld(6, 1), 1);
    EXPECT_TRUE(DXwav[0].CopyIsPlaying(0));
    EXPECT_EQ(levelgeschafft, 0) << "eight flags are left";
    // The tests keep running for a taken flag; it stays land.
    einsammeln();
    EXPECT_EQ(flaggea, 1);
    EXPECT_EQ(feld(6, 1), 1);
}

TEST_F(MapAndFlagsTest, TheLevelIsDoneWhenTheLastFlagIsTaken)
{
    Start();
    NewGameAndLevel();
    for (int r : {6, 13, 20})
        for (int c : {1, 14, 28}) feld(r, c) = 1;
    feld(20, 28) = 2;
    scrollx = -320, scrolly = -224;
    xpos = 10, ypos = 10;
    einsammeln();
    EXPECT_EQ(levelgeschafft, 0);
    xpos = 896 - 320, ypos = 640 - 224;  // on flag i
    einsammeln();
    EXPECT_EQ(flaggei, 1);
    EXPECT_EQ(levelgeschafft, 1);
}

TEST_F(MapAndFlagsTest, LivesAreHalfSizeCatsOnARedBar)
{
    Start();
    NewGameAndLevel();
    const Rgb red{255, 0, 0};
    anzahlleben = 0;
    gl::Clear(GL_COLOR_BUFFER_BIT);
    leben();
    for (int y = 18; y <= 33; ++y)
        for (int x = 578; x <= 625; ++x) ASSERT_EQ(Pixel(x, y), red) << x << ", " << y;
    EXPECT_NE(Pixel(577, 20), red);
    EXPECT_NE(Pixel(626, 20), red);
    EXPECT_NE(Pixel(600, 17), red);
    EXPECT_NE(Pixel(600, 34), red);
    SHOWSCREEN();

    // Three lives fill the bar with three cats, one in each 16-pixel slot.
    anzahlleben = 3;
    leben();
    for (int life = 1; life <= 3; ++life) {
        int catPixels = 0;
        for (int y = 18; y <= 33; ++y)
            for (int x = 562 + 16 * life; x <= 577 + 16 * life; ++x) catPixels += Pixel(x, y) != red;
        EXPECT_GT(catPixels, 40) << "life " << life;
    }
    EXPECT_NE(Pixel(560, 25), red) << "nothing left of the bar";
    SHOWSCREEN();

    // Two lives: the third slot shows the bare bar.
    anzahlleben = 2;
    leben();
    for (int y = 18; y <= 33; ++y)
        for (int x = 610; x <= 625; ++x) ASSERT_EQ(Pixel(x, y), red) << x << ", " << y;
}

// Which of the four bird pictures the block shows; -1 when none matches.
int BirdFrameAt(const std::vector<Rgb>& drawn)
{
    for (int frame = 0; frame < 4; ++frame) {
        BmpPicture picture(MediaPath("vogel_" + std::to_string(frame) + ".bmp"));
        bool same = true;
        for (int py = 0; py < picture.Height() && same; ++py)
            for (int px = 0; px < picture.Width() && same; ++px) {
                Colour expected = picture.At(px, py);
                Colour shown = drawn[py * 24 + px];
                same = expected == Colour{255, 0, 128} ? shown.IsBlack() : shown == expected;
            }
        if (same) return frame;
    }
    return -1;
}

TEST_F(MapAndFlagsTest, TheBirdBeatsItsWingsInACycleOf48Frames)
{
    Start();
    NewGameAndLevel();
    scrollx = -100, scrolly = -20;
    vogelz = 0;
    std::vector<int> shown;
    for (int call = 1; call <= 96; ++call) {
        gl::Clear(GL_COLOR_BUFFER_BIT);
        vogel();
        shown.push_back(BirdFrameAt(Block(200, 30, 24, 16)));  // world (300, 50)
        if (call == 47) {
            EXPECT_EQ(vogelz, 47);
        }
        if (call == 48) {
            EXPECT_EQ(vogelz, 0);
        }
    }
    const int cycle[6] = {0, 1, 2, 3, 2, 1};
    for (int call = 1; call <= 96; ++call)
        EXPECT_EQ(shown[call - 1], cycle[((call - 1) % 48) / 8]) << "call " << call;
}

}  // namespace
}  // namespace game_testing
