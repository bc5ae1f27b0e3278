// Lines, rectangles, pixels and polygons on a real OpenGL context.
#include "gfx_test_support.h"

namespace {

using Primitives = GfxTest;

int CountColour(const Screen& s, Rgb colour)
{
    int count = 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if (s.At(x, y) == colour) ++count;
    return count;
}

}  // namespace

TEST_F(Primitives, FillRectCoversLeftToRightMinusOneWhicheverCornerComesFirst)
{
    FILLRECT(10, 10, 0, 0, RGB(255, 255, 0));
    const Screen swapped = Screen::Capture();
    int left, top, right, bottom;
    ASSERT_TRUE(swapped.Bounds(Rgb{}, left, top, right, bottom));
    EXPECT_EQ(left, 0);
    EXPECT_EQ(top, 0);
    EXPECT_EQ(right, 9);
    EXPECT_EQ(bottom, 9);
    EXPECT_EQ(CountColour(swapped, Rgb{255, 255, 0}), 100);

    ClearScreen();
    FILLRECT(0, 0, 10, 10, RGB(255, 255, 0));
    EXPECT_EQ(Screen::Capture().rgb, swapped.rgb);
}

TEST_F(Primitives, ColoursUseRgbPackingAndTheAlphaFactor)
{
    FILLRECT(100, 100, 110, 110, RGB(10, 20, 30));
    EXPECT_EQ(Screen::Capture().At(105, 105), (Rgb{10, 20, 30}));
    ALPHAMODE(0.5);
    FILLRECT(100, 100, 110, 110, RGB(200, 100, 50));
    const Rgb added = Screen::Capture().At(105, 105);
    EXPECT_NEAR(added.r, 10 + 100, 1);
    EXPECT_NEAR(added.g, 20 + 50, 1);
    EXPECT_NEAR(added.b, 30 + 25, 1);
}

TEST_F(Primitives, PixelsAndHorizontalLinesLandOneRowUp)
{
    SETPIXEL(20, 30, RGB(255, 0, 0));
    DRAWLINE(40, 50, 60, 50, RGB(0, 255, 0));
    const Screen s = Screen::Capture();
    EXPECT_EQ(s.At(20, 29), (Rgb{255, 0, 0}));
    EXPECT_EQ(CountColour(s, Rgb{255, 0, 0}), 1);
    // The whole line, both end pixels included, on row 49.
    for (int x = 40; x <= 60; ++x) EXPECT_EQ(s.At(x, 49), (Rgb{0, 255, 0})) << x;
    EXPECT_EQ(CountColour(s, Rgb{0, 255, 0}), 21);
}

TEST_F(Primitives, TexturingIsBackAfterAPrimitive)
{
    LOADSPRITE(WriteBmp("white.bmp", MakeBmp24(8, 8, [](int, int) { return Rgb{255, 255, 255}; })).c_str(), 1);
    SPRITE(1, 0, 0);
    DRAWLINE(100, 100, 120, 100, RGB(255, 0, 0));
    SPRITE(1, 200, 200);
    const Screen s = Screen::Capture();
    EXPECT_EQ(s.At(204, 204), (Rgb{255, 255, 255}));
    EXPECT_EQ(pRbow->selection.curTexture, 1);
}

TEST_F(Primitives, PolygonsAreFlatShadedCounterClockwiseFans)
{
    // Counter-clockwise on screen: (100,100), (100,200), (200,200), (200,100).
    STARTPOLY(-1);
    POLYVECTOR(100, 100, 0, 0, RGB(255, 0, 0));
    POLYVECTOR(100, 200, 0, 0, RGB(255, 0, 0));
    POLYVECTOR(200, 200, 0, 0, RGB(0, 0, 255));
    POLYVECTOR(200, 100, 0, 0, RGB(0, 255, 0));
    ENDPOLY();
    Screen s = Screen::Capture();
    // Each triangle takes the colour of its last vertex.
    EXPECT_EQ(s.At(120, 180), (Rgb{0, 0, 255}));
    EXPECT_EQ(s.At(180, 120), (Rgb{0, 255, 0}));

    // The same square clockwise is culled.
    ClearScreen();
    STARTPOLY(-1);
    POLYVECTOR(100, 100, 0, 0, RGB(255, 0, 0));
    POLYVECTOR(200, 100, 0, 0, RGB(255, 0, 0));
    POLYVECTOR(200, 200, 0, 0, RGB(255, 0, 0));
    POLYVECTOR(100, 200, 0, 0, RGB(255, 0, 0));
    ENDPOLY();
    s = Screen::Capture();
    int left, top, right, bottom;
    EXPECT_FALSE(s.Bounds(Rgb{}, left, top, right, bottom));
}

TEST_F(Primitives, TexturedPolygonTakesTexCoordsFromTheTexturesTopLeft)
{
    // 4 x 4 picture: top half red, bottom half blue.
    LOADSPRITE(WriteBmp("halves.bmp", MakeBmp24(4, 4, [](int, int y) {
                   return y < 2 ? Rgb{255, 0, 0} : Rgb{0, 0, 255};
               })).c_str(), 2);
    STARTPOLY(2);
    POLYVECTOR(0, 0, 0, 0, RGB(255, 255, 255));
    POLYVECTOR(0, 100, 0, 1, RGB(255, 255, 255));
    POLYVECTOR(100, 100, 1, 1, RGB(255, 255, 255));
    POLYVECTOR(100, 0, 1, 0, RGB(255, 255, 255));
    ENDPOLY();
    const Screen s = Screen::Capture();
    // Pixels at texel centres (each texel covers 25 x 25 pixels).
    EXPECT_EQ(s.At(37, 12), (Rgb{255, 0, 0}));
    EXPECT_EQ(s.At(37, 37), (Rgb{255, 0, 0}));
    EXPECT_EQ(s.At(37, 62), (Rgb{0, 0, 255}));
    EXPECT_EQ(s.At(37, 87), (Rgb{0, 0, 255}));
}
