// The 2D batch keeps the order of the commands wherever it shows: pixels
// that wait beside a run of sprites are covered by a later sprite that
// touches them, and stay on top of sprites that do not; a sprite may join
// an earlier run of its texture only when no primitive after that run
// shares a pixel with it.
#include "gfx_test_support.h"

namespace {

using BatchOrder = GfxTest;

TEST_F(BatchOrder, ASpriteAfterAPixelCoversItAndOneBesideItDoesNot)
{
    const Rgb blue{0, 0, 255}, red{255, 0, 0};
    LOADSPRITE(WriteBmp("blue.bmp", MakeBmp24(32, 32, [&](int, int) { return blue; })).c_str(), 1);
    for (int tile = 0; tile < 4; ++tile) {
        SPRITE(1, tile * 32, 0);
        SETPIXEL(tile * 32 + 10, 11, RGB(255, 0, 0));  // lands on row 10, inside this tile
    }
    // Drawn over the second tile: its dot must be gone. The tiles after a
    // dot left the others alone.
    SPRITE(1, 32, 0);
    // Touching the fourth dot only at the sprite's first column.
    SPRITE(1, 3 * 32 + 10, 40 - 32 + 2);
    const Screen s = Screen::Capture();
    EXPECT_EQ(s.At(10, 10), red);
    EXPECT_EQ(s.At(32 + 10, 10), blue);
    EXPECT_EQ(s.At(2 * 32 + 10, 10), red);
    EXPECT_EQ(s.At(3 * 32 + 10, 10), blue);
    EXPECT_EQ(s.At(3 * 32 + 9, 10), blue);
}

TEST_F(BatchOrder, ASpriteStaysAboveEverythingDrawnBeforeItThatItOverlaps)
{
    const Rgb blue{0, 0, 255}, green{0, 255, 0}, red{255, 0, 0};
    LOADSPRITE(WriteBmp("blue.bmp", MakeBmp24(32, 32, [&](int, int) { return blue; })).c_str(), 1);
    LOADSPRITE(WriteBmp("green.bmp", MakeBmp24(32, 32, [&](int, int) { return green; })).c_str(), 2);
    // Tiles of two textures in turns: blue, green, then blue over half of
    // the green one. Joining the first blue tile's draw would put it under.
    SPRITE(1, 0, 0);
    SPRITE(2, 32, 0);
    SPRITE(1, 48, 0);
    // A pixel below the tiles lights row 32 (it is given as row 33); a
    // blue sprite reaching down to row 32, not 33, covers it.
    SETPIXEL(100, 33, RGB(255, 0, 0));
    SPRITE(1, 80, 1);
    // A pixel beside everything stays on top of a later sprite elsewhere.
    SETPIXEL(200, 101, RGB(255, 0, 0));
    SPRITE(2, 120, 40);
    const Screen s = Screen::Capture();
    EXPECT_EQ(s.At(10, 10), blue);
    EXPECT_EQ(s.At(40, 10), green);
    EXPECT_EQ(s.At(50, 10), blue);
    EXPECT_EQ(s.At(79, 10), blue);
    EXPECT_EQ(s.At(100, 32), blue);
    EXPECT_EQ(s.At(200, 100), red);
    EXPECT_EQ(s.At(130, 50), green);
}

}  // namespace
