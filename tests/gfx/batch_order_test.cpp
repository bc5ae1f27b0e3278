// The 2D batch keeps the order of the commands wherever it shows: pixels
// that wait beside a run of sprites are covered by a later sprite that
// touches them, and stay on top of sprites that do not.
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

}  // namespace
