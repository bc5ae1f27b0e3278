// Bitmap-font text on a real OpenGL context.
#include "gfx_test_support.h"

namespace {

// A 256 x 128 font (cells of 16 x 16): every cell is filled with a colour
// naming its code (red = code), except its bottom-right pixel, which is
// black (transparent).
std::vector<std::uint8_t> CodedFont()
{
    return MakeBmp24(256, 128, [](int x, int y) {
        if (x % 16 == 15 && y % 16 == 15) return Rgb{0, 0, 0};
        const int code = (y / 16) * 16 + x / 16;
        return Rgb{code, 200, 100};
    });
}

class Text : public GfxTest {
protected:
    void SetUp() override
    {
        GfxTest::SetUp();
        LOADFONT(WriteBmp("coded.bmp", CodedFont()).c_str(), 2);
        ASSERT_EQ(nCurFont, 2);
    }
};

}  // namespace

TEST_F(Text, CellsAreSixteenthsAndEighthsAndTextIsMonospaced)
{
    PRINT("AB", 0, 0);
    const Screen s = Screen::Capture();
    int left, top, right, bottom;
    ASSERT_TRUE(s.Bounds(Rgb{}, left, top, right, bottom));
    EXPECT_EQ(left, 0);
    EXPECT_EQ(top, 0);
    EXPECT_EQ(right, 31);
    EXPECT_EQ(bottom, 15);
    EXPECT_EQ(s.At(0, 0), (Rgb{65, 200, 100}));
    EXPECT_EQ(s.At(14, 15), (Rgb{65, 200, 100}));
    EXPECT_EQ(s.At(16, 0), (Rgb{66, 200, 100}));
    EXPECT_EQ(s.At(31, 14), (Rgb{66, 200, 100}));
    EXPECT_EQ(s.At(15, 15), (Rgb{})) << "black font pixels are transparent";

    double w = 0, h = 0;
    GETFONTSIZE(w, h);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 16);
}

TEST_F(Text, HighBytesWrapOntoTheGrid)
{
    // Byte 228 is the glyph of code 116; byte 128 that of code 0.
    const char text[] = {static_cast<char>(228), static_cast<char>(128), 0};
    PRINT(text, 100, 100);
    const Screen s = Screen::Capture();
    EXPECT_EQ(s.At(105, 105), (Rgb{116, 200, 100}));
    EXPECT_EQ(s.At(121, 105), (Rgb{0, 200, 100}));
}

TEST_F(Text, NumbersPrintAsTheirText)
{
    PRINT(3.5, 0, 0);
    const Screen s = Screen::Capture();
    EXPECT_EQ(s.At(3, 3).r, '3');
    EXPECT_EQ(s.At(16 + 3, 3).r, '.');
    EXPECT_EQ(s.At(32 + 3, 3).r, '5');
    EXPECT_EQ(s.At(48 + 3, 3), (Rgb{}));
}

TEST_F(Text, EmptyTextAndUnloadedFontDrawNothing)
{
    PRINT("", 0, 0);
    SETFONT(9);  // never loaded
    PRINT("XYZ", 0, 0);
    int left, top, right, bottom;
    EXPECT_FALSE(Screen::Capture().Bounds(Rgb{}, left, top, right, bottom));
}

TEST_F(Text, SetFontClampsAndFontSizesUseShifts)
{
    SETFONT(20);
    EXPECT_EQ(nCurFont, 15);
    SETFONT(-3);
    EXPECT_EQ(nCurFont, 0);
    // A 200 x 100 picture gives cells of 12 x 12.
    LOADFONT(WriteBmp("odd.bmp", MakeBmp24(200, 100, [](int, int) { return Rgb{1, 1, 1}; })).c_str(), 4);
    double w = 0, h = 0;
    GETFONTSIZE(w, h);
    EXPECT_EQ(w, 12);
    EXPECT_EQ(h, 12);
    int pw = 0, ph = 0;
    pRbow->GetFontSize(4, pw, ph);
    EXPECT_EQ(pw, 200);
    EXPECT_EQ(ph, 100);
}

TEST_F(Text, LoadFontMakesTheFontCurrentEvenWhenTheNameDoesNotResolve)
{
    LOADFONT("no such font.bmp", 3);
    EXPECT_EQ(nCurFont, 3);
    EXPECT_EQ(pRbow->slots.texWidth[kFirstFontSlot + 3], -1);
    EXPECT_EQ(g_error, 0);
}

TEST_F(Text, StartUpLoadsTheDefaultFont)
{
    // The runtime started in the test program's folder, where the build put
    // Smalfont.bmp: font 0 is loaded, 16 x 8 cells of 8 x 8.
    EXPECT_EQ(pRbow->slots.imgWidth[kFirstFontSlot], 128);
    EXPECT_EQ(pRbow->slots.imgHeight[kFirstFontSlot], 64);
    SETFONT(0);
    PRINT("Weiter mit Leertaste", 0, 0);
    const Screen s = Screen::Capture();
    int left, top, right, bottom;
    ASSERT_TRUE(s.Bounds(Rgb{}, left, top, right, bottom));
    EXPECT_LT(right, 20 * 8);
    EXPECT_LT(bottom, 8);
    EXPECT_EQ(s.At(left, top), (Rgb{255, 255, 255}));
}
