// Box and pixel-exact sprite collisions.
#include "gfx_test_support.h"

TEST(BoxCollision, TouchingBoxesCollideAndNegativeSizesCount)
{
    double result = -1;
    BOXCOLL(result, 0, 0, 10, 10, 10, 0, 5, 5);
    EXPECT_EQ(result, 1);
    BOXCOLL(result, 0, 0, 10, 10, 11, 0, 5, 5);
    EXPECT_EQ(result, 0);
    BOXCOLL(result, 0, 0, 10, 10, 0, 11, 5, 5);
    EXPECT_EQ(result, 0);
    // Width -10 at x 10 covers 0..10.
    BOXCOLL(result, 10, 0, -10, 10, -5, 0, 5, 5);
    EXPECT_EQ(result, 1);
    BOXCOLL(result, 10, 0, -10, 10, -6, 0, 5, 5);
    EXPECT_EQ(result, 0);
}

namespace {

// 20 x 20 sprites: a 10 x 10 opaque square in the picture's top-left
// corner, the rest in the key colour (transparent).
class SpriteCollisionTest : public GfxTest {
protected:
    void SetUp() override
    {
        GfxTest::SetUp();
        const auto corner = MakeBmp24(20, 20, [](int x, int y) {
            return x < 10 && y < 10 ? Rgb{255, 255, 255} : Rgb{255, 0, 128};
        });
        LOADSPRITE(WriteBmp("corner.bmp", corner).c_str(), 3);
        LOADSPRITE(WriteBmp("corner2.bmp", corner).c_str(), 4);
    }
};

}  // namespace

TEST_F(SpriteCollisionTest, OnlyOpaquePixelsCollide)
{
    // Boxes overlap at x 10..19, but sprite 3's pixels there are transparent.
    EXPECT_EQ(SPRCOLL(3, 0, 0, 4, 10, 0), 0);
    // Overlap of opaque pixels: sprite 4 moved 9 to the right shares column 9.
    EXPECT_EQ(SPRCOLL(3, 0, 0, 4, 9, 0), 1);
    // Vertically: the opaque square is in the top rows of the picture.
    EXPECT_EQ(SPRCOLL(3, 0, 0, 4, 0, 10), 0);
    EXPECT_EQ(SPRCOLL(3, 0, 0, 4, 0, 9), 1);
    // Far apart.
    EXPECT_EQ(SPRCOLL(3, 0, 0, 4, 100, 100), 0);
    // The masks are cached per slot.
    EXPECT_NE(pRbow->slots.alphaMask[3], nullptr);
    EXPECT_NE(pRbow->slots.alphaMask[4], nullptr);
}

TEST_F(SpriteCollisionTest, GrabbedSpritesAreOpaqueAndEmptySlotsNeverCollide)
{
    // A 2 x 2 grab: texture 32 x 32, all of it read back without overrun.
    GRABSPRITE(5, 0, 0, 2, 2);
    EXPECT_EQ(SPRCOLL(5, 0, 0, 3, 1, 1), 1);
    EXPECT_EQ(SPRCOLL(6, 0, 0, 3, 0, 0), 0);  // slot 6 never loaded
    EXPECT_EQ(SPRCOLL(3, 0, 0, 6, 0, 0), 0);
}
