// Sprites on a real OpenGL context, read back pixel by pixel.
#include "gfx_test_support.h"

namespace {

// A 100 x 50 sprite: a red frame one pixel wide around green, with one
// pixel of the key colour at (50, 25).
std::vector<std::uint8_t> FramedPicture()
{
    return MakeBmp24(100, 50, [](int x, int y) {
        if (x == 50 && y == 25) return Rgb{255, 0, 128};
        if (x == 0 || y == 0 || x == 99 || y == 49) return Rgb{255, 0, 0};
        return Rgb{0, 255, 0};
    });
}

class SpriteDrawing : public GfxTest {
protected:
    void SetUp() override
    {
        GfxTest::SetUp();
        LOADSPRITE(WriteBmp("framed.bmp", FramedPicture()).c_str(), 7);
        ASSERT_EQ(pRbow->slots.imgWidth[7], 100);
        ASSERT_EQ(pRbow->slots.texWidth[7], 128);
    }
};

}  // namespace

TEST_F(SpriteDrawing, SpriteCoversItsPictureExactlyAndKeyedPixelsLeaveTheScreen)
{
    FILLRECT(0, 0, 640, 480, RGB(0, 0, 255));
    SPRITE(7, 10, 20);
    const Screen s = Screen::Capture();
    int left, top, right, bottom;
    ASSERT_TRUE(s.Bounds(Rgb{0, 0, 255}, left, top, right, bottom));
    EXPECT_EQ(left, 10);
    EXPECT_EQ(right, 109);
    EXPECT_EQ(top, 20);
    EXPECT_EQ(bottom, 69);
    EXPECT_EQ(s.At(10, 20), (Rgb{255, 0, 0}));
    EXPECT_EQ(s.At(109, 69), (Rgb{255, 0, 0}));
    EXPECT_EQ(s.At(11, 21), (Rgb{0, 255, 0}));
    EXPECT_EQ(s.At(70, 45), (Rgb{0, 255, 0}));
    EXPECT_EQ(s.At(10 + 50, 20 + 25), (Rgb{0, 0, 255})) << "the key colour must not be drawn";
}

TEST_F(SpriteDrawing, StretchSpriteWithBothSizesNegativeTurnsItAndOneNegativeIsCulled)
{
    STRETCHSPRITE(7, 200, 100, -100, -50);
    Screen s = Screen::Capture();
    int left, top, right, bottom;
    ASSERT_TRUE(s.Bounds(Rgb{}, left, top, right, bottom));
    EXPECT_EQ(left, 100);
    EXPECT_EQ(right, 199);
    EXPECT_EQ(top, 50);
    EXPECT_EQ(bottom, 99);
    // Turned by 180 degrees: the key pixel (50, 25) lands at (199-50, 99-25).
    EXPECT_EQ(s.At(149, 74), (Rgb{}));
    EXPECT_EQ(s.At(150, 75), (Rgb{0, 255, 0}));

    ClearScreen();
    STRETCHSPRITE(7, 200, 100, -100, 50);
    s = Screen::Capture();
    EXPECT_FALSE(s.Bounds(Rgb{}, left, top, right, bottom));
}

TEST_F(SpriteDrawing, ZoomKeepsTheCentreAndNegativeFactorsDoNotMirror)
{
    ZOOMSPRITE(7, 200, 200, 2, 2);
    const Screen twice = Screen::Capture();
    int left, top, right, bottom;
    ASSERT_TRUE(twice.Bounds(Rgb{}, left, top, right, bottom));
    EXPECT_EQ(left, 150);
    EXPECT_EQ(right, 349);
    EXPECT_EQ(top, 175);
    EXPECT_EQ(bottom, 274);

    ClearScreen();
    ZOOMSPRITE(7, 200, 200, -2, -2);
    const Screen negative = Screen::Capture();
    EXPECT_EQ(negative.rgb, twice.rgb);

    // The offset is taken from the position before it is truncated:
    // 200.5 - 50 = 150.5 draws at 150, and 200.5 - 25 = 175.5 at 175; at
    // 1.5 times a 100 by 50 picture, 200.75 - 25 = 175.75 draws at 175 and
    // 200.75 - 12.5 = 188.25 at 188 (truncating first would give 175 and 187).
    ClearScreen();
    ZOOMSPRITE(7, 200.5, 200.5, 2, 2);
    EXPECT_EQ(Screen::Capture().rgb, twice.rgb);
    ClearScreen();
    ZOOMSPRITE(7, 200.75, 200.75, 1.5, 1.5);
    ASSERT_TRUE(Screen::Capture().Bounds(Rgb{}, left, top, right, bottom));
    EXPECT_EQ(left, 175);
    EXPECT_EQ(top, 188);
}

TEST_F(SpriteDrawing, RotoZoomByMinus90TurnsAboutTheSpritesCentre)
{
    ROTOZOOMSPRITE(7, 200, 200, -90, 2);
    const Screen s = Screen::Capture();
    int left, top, right, bottom;
    ASSERT_TRUE(s.Bounds(Rgb{}, left, top, right, bottom));
    // Centre of SPRITE 7, 200, 200 is (250, 225); doubled and turned by 270
    // degrees the picture is 100 wide and 200 high around it.
    EXPECT_NEAR(left, 200, 1);
    EXPECT_NEAR(right, 299, 1);
    EXPECT_NEAR(top, 125, 1);
    EXPECT_NEAR(bottom, 324, 1);
    // 270 degrees counter-clockwise = 90 clockwise: the picture's top edge
    // (red frame) is now on the right, its middle is green. Zoomed texels
    // are filtered, so the one-texel frame is mostly, not purely, red.
    EXPECT_GT(s.At(299, 225).r, 128);
    EXPECT_EQ(s.At(299, 225).g, 0);
    EXPECT_LT(s.At(200, 225).g, 128);
    EXPECT_EQ(s.At(250, 180), (Rgb{0, 255, 0}));

    // The same as ROTOZOOMSPRITE with 270.
    ClearScreen();
    ROTOZOOMSPRITE(7, 200, 200, 270, 2);
    EXPECT_EQ(Screen::Capture().rgb, s.rgb);
}

TEST_F(SpriteDrawing, RotoSpriteTurnsCounterClockwise)
{
    ROTOSPRITE(7, 200, 200, 90);
    const Screen s = Screen::Capture();
    int left, top, right, bottom;
    ASSERT_TRUE(s.Bounds(Rgb{}, left, top, right, bottom));
    EXPECT_NEAR(left, 225, 1);
    EXPECT_NEAR(right, 274, 1);
    EXPECT_NEAR(top, 175, 1);
    EXPECT_NEAR(bottom, 274, 1);
    // Counter-clockwise: the picture's top edge faces left; its keyed pixel
    // (50, 25) stays near the centre.
    EXPECT_EQ(s.At(225, 225), (Rgb{255, 0, 0}));
    EXPECT_EQ(s.At(260, 225), (Rgb{0, 255, 0}));
}

TEST_F(SpriteDrawing, AlphaModesAddOrMixAndTwoActsLikeOne)
{
    FILLRECT(0, 0, 640, 480, RGB(0, 0, 100));
    ALPHAMODE(0.5);
    SPRITE(7, 10, 20);
    Screen s = Screen::Capture();
    // Half of the sprite's green added to the blue background.
    const Rgb added = s.At(60, 40);
    EXPECT_NEAR(added.g, 128, 1);
    EXPECT_EQ(added.b, 100);

    ALPHAMODE(2);
    EXPECT_FLOAT_EQ(pRbow->alpha, 1.0f);
    SPRITE(7, 200, 20);
    s = Screen::Capture();
    EXPECT_EQ(s.At(250, 40), (Rgb{0, 255, 100}));

    ALPHAMODE(-0.5);
    EXPECT_FLOAT_EQ(pRbow->alpha, 0.5f);
    SPRITE(7, 400, 20);
    s = Screen::Capture();
    // Source colour times source alpha (1) plus destination times source
    // colour: green 0.5*255 + 0; blue 0 + 100*0 = 0.
    const Rgb mixed = s.At(450, 40);
    EXPECT_NEAR(mixed.g, 128, 1);
    EXPECT_EQ(mixed.b, 0);

    ALPHAMODE(0);
    SPRITE(7, 10, 200);
    EXPECT_EQ(Screen::Capture().At(60, 220), (Rgb{0, 255, 0}));
}

TEST_F(SpriteDrawing, EmptySlotDrawsNothingAndFailedTextureDrawsAPlainQuad)
{
    SPRITE(9, 10, 10);  // never loaded: sizes 0
    int left, top, right, bottom;
    EXPECT_FALSE(Screen::Capture().Bounds(Rgb{}, left, top, right, bottom));

    // A 32-bit file passes the size query but makes no texture: the slot
    // records the size and draws in the current colour.
    auto bmp = MakeBmp24(20, 10, [](int, int) { return Rgb{1, 2, 3}; });
    bmp[28] = 32;
    LOADSPRITE(WriteBmp("deep.bmp", bmp).c_str(), 9);
    EXPECT_EQ(pRbow->slots.imgWidth[9], 20);
    EXPECT_EQ(pRbow->slots.spriteTex[9][0], 0u);
    SPRITE(9, 10, 10);
    const Screen s = Screen::Capture();
    ASSERT_TRUE(s.Bounds(Rgb{}, left, top, right, bottom));
    EXPECT_EQ(right - left + 1, 20);
    EXPECT_EQ(bottom - top + 1, 10);
    EXPECT_EQ(s.At(15, 15), (Rgb{255, 255, 255}));
}

// Sprites at their own size are sampled nearest, which lights the same
// pixels; a stretched copy of the same picture in the same frame must still
// be filtered: its red frame fades into the green inside.
TEST_F(SpriteDrawing, StretchedCopiesStayFilteredBesideSpritesAtTheirOwnSize)
{
    SPRITE(7, 10, 20);
    STRETCHSPRITE(7, 200, 100, 300, 150);
    SPRITE(7, 10, 300);
    const Screen s = Screen::Capture();
    for (int y : {20, 300}) {
        EXPECT_EQ(s.At(10, y), (Rgb{255, 0, 0}));
        EXPECT_EQ(s.At(11, y + 1), (Rgb{0, 255, 0}));
        EXPECT_EQ(s.At(60, y + 25), (Rgb{})) << "the key colour must not be drawn";
    }
    // Three screen pixels to a texel: between the frame's texel centres and
    // the inside's, both colours mix.
    int mixed = 0;
    for (int x = 200; x < 212; ++x) {
        const Rgb c = s.At(x, 175);
        mixed += c.r > 0 && c.r < 255 && c.g > 0 && c.g < 255;
    }
    EXPECT_GT(mixed, 0) << s.At(202, 175) << " " << s.At(203, 175) << " " << s.At(204, 175);
}
