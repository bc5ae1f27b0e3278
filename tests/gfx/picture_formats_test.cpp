// PNG, JPEG, GIF and TGA files in every command that loads a picture:
// transparency from the file where it has some, the colour key otherwise,
// and the same texels, screens and collisions as a BMP of the same pixels.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gfx_test_support.h"
#include "gl/gl_calls.h"
#include "picture_encoders.h"

namespace {

using PictureFormats = GfxTest;

constexpr Rgb kBackground{0, 0, 200};

// A 16 x 8 picture: red and green halves, a 3 x 3 block of the sprite key
// colour (255, 0, 128) at (2, 2), a white pixel at (12, 5).
Rgba Pattern(int x, int y)
{
    if (x >= 2 && x <= 4 && y >= 2 && y <= 4) return {255, 0, 128, 255};
    if (x == 12 && y == 5) return {255, 255, 255, 255};
    return x < 8 ? Rgba{250, 10, 10, 255} : Rgba{10, 250, 10, 255};
}

std::vector<std::uint8_t> PatternBmp()
{
    return MakeBmp24(16, 8, [](int x, int y) {
        const Rgba c = Pattern(x, y);
        return Rgb{c.r, c.g, c.b};
    });
}

// The slot's level-0 texels.
std::vector<std::uint8_t> Texels(int slot)
{
    const int w = pRbow->slots.texWidth[slot], h = pRbow->slots.texHeight[slot];
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(w > 0 ? w : 0) * (h > 0 ? h : 0) * 4);
    if (texels.empty() || pRbow->slots.spriteTex[slot][0] == 0) return {};
    gl::BindTexture(GL_TEXTURE_2D, pRbow->slots.spriteTex[slot][0]);
    gl::GetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

// What the screen shows in the rectangle at (x, y) of w x h.
std::vector<Rgb> Area(const Screen& s, int x, int y, int w, int h)
{
    std::vector<Rgb> area;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) area.push_back(s.At(x + i, y + j));
    return area;
}

void FillBackground() { FILLRECT(0, 0, 640, 480, RGB(kBackground.r, kBackground.g, kBackground.b)); }

}  // namespace

TEST_F(PictureFormats, PngAlphaDecidesTransparencyAndTheKeyColourStaysVisible)
{
    // Left column see-through (in a colour that must not show), the key
    // colour opaque at (1, 0), half-transparent pixels kept as they are.
    const auto png = MakePngRgba(3, 2, [](int x, int y) -> Rgba {
        if (x == 0) return {90, 90, 90, 0};
        if (x == 1 && y == 0) return {255, 0, 128, 255};
        if (x == 2 && y == 1) return {40, 50, 60, 128};
        return {200, 100, 50, 255};
    });
    const std::string path = Path("alpha.png");
    WriteFile(path, png);
    LOADSPRITE(path.c_str(), 5);
    ASSERT_NE(pRbow->slots.spriteTex[5][0], 0u);
    EXPECT_EQ(pRbow->slots.imgWidth[5], 3);
    EXPECT_EQ(pRbow->slots.imgHeight[5], 2);
    EXPECT_EQ(pRbow->slots.texWidth[5], 4);
    EXPECT_EQ(pRbow->slots.texHeight[5], 2);

    // Texels bottom row first: (0, 1) is transparent black, (2, 1) keeps its alpha.
    const auto texels = Texels(5);
    ASSERT_EQ(texels.size(), 4u * 2u * 4u);
    EXPECT_EQ(std::vector<std::uint8_t>(texels.begin(), texels.begin() + 4), (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(std::vector<std::uint8_t>(texels.begin() + 8, texels.begin() + 12),
              (std::vector<std::uint8_t>{40, 50, 60, 128}));
    EXPECT_EQ(std::vector<std::uint8_t>(texels.begin() + 20, texels.begin() + 24),
              (std::vector<std::uint8_t>{255, 0, 128, 255}));

    FillBackground();
    SPRITE(5, 100, 100);
    const Screen s = Screen::Capture();
    EXPECT_EQ(s.At(100, 100), kBackground);
    EXPECT_EQ(s.At(100, 101), kBackground);
    EXPECT_EQ(s.At(101, 100), (Rgb{255, 0, 128})) << "the key colour does not apply to a picture with alpha";
    EXPECT_EQ(s.At(102, 100), (Rgb{200, 100, 50}));
    EXPECT_EQ(s.At(101, 101), (Rgb{200, 100, 50}));
    EXPECT_EQ(g_error, 0);
}

TEST_F(PictureFormats, RgbPngAndTgaAreKeyedAndMatchTheBmpOfTheSamePixels)
{
    WriteFile(Path("p.png"), MakePngRgb(16, 8, Pattern));
    WriteFile(Path("p.tga"), MakeTga(16, 8, Pattern, false));
    LOADSPRITE(WriteBmp("p.bmp", PatternBmp()).c_str(), 1);
    LOADSPRITE(Path("p.png").c_str(), 2);
    LOADSPRITE(Path("p.tga").c_str(), 3);
    LOADBUMPTEXTURE(Path("p.bmp").c_str(), 4);
    LOADBUMPTEXTURE(Path("p.png").c_str(), 6);

    const auto bmpTexels = Texels(1);
    ASSERT_FALSE(bmpTexels.empty());
    EXPECT_EQ(Texels(2), bmpTexels);
    EXPECT_EQ(Texels(3), bmpTexels);
    EXPECT_EQ(Texels(6), Texels(4)) << "the normal map of the same pixels";
    for (int slot : {2, 3}) {
        EXPECT_EQ(pRbow->slots.imgWidth[slot], 16);
        EXPECT_EQ(pRbow->slots.imgHeight[slot], 8);
        EXPECT_EQ(pRbow->slots.texWidth[slot], 16);
        EXPECT_EQ(pRbow->slots.texHeight[slot], 8);
        // The mip chains match level by level, down to 1 x 1.
        for (int level = 0; level <= 4; ++level) {
            std::vector<std::uint8_t> a(16 * 8 * 4), b(16 * 8 * 4);
            gl::BindTexture(GL_TEXTURE_2D, pRbow->slots.spriteTex[1][1]);
            gl::GetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, a.data());
            gl::BindTexture(GL_TEXTURE_2D, pRbow->slots.spriteTex[slot][1]);
            gl::GetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, b.data());
            EXPECT_EQ(a, b) << "slot " << slot << " level " << level;
        }
    }

    FillBackground();
    SPRITE(1, 10, 10);
    SPRITE(2, 40, 10);
    SPRITE(3, 70, 10);
    const Screen s = Screen::Capture();
    EXPECT_EQ(s.At(13, 13), kBackground) << "the key colour of a BMP is transparent";
    EXPECT_EQ(s.At(10, 10), (Rgb{250, 10, 10}));
    EXPECT_EQ(s.At(22, 15), (Rgb{255, 255, 255}));
    EXPECT_EQ(Area(s, 40, 10, 16, 8), Area(s, 10, 10, 16, 8));
    EXPECT_EQ(Area(s, 70, 10, 16, 8), Area(s, 10, 10, 16, 8));

    // Collisions follow the same mask: the key block is a hole.
    for (int dx = -16; dx <= 16; dx += 3)
        for (int dy = -8; dy <= 8; dy += 3) {
            EXPECT_EQ(SPRCOLL(2, 100, 100, 2, 100 + dx, 100 + dy), SPRCOLL(1, 100, 100, 1, 100 + dx, 100 + dy))
                << dx << "," << dy;
            EXPECT_EQ(SPRCOLL(3, 100, 100, 1, 100 + dx, 100 + dy), SPRCOLL(1, 100, 100, 1, 100 + dx, 100 + dy))
                << dx << "," << dy;
        }
    EXPECT_EQ(g_error, 0);
}

TEST_F(PictureFormats, GifTakesItsFirstFrameAndItsTransparentIndex)
{
    // 4 x 2, palette: 0 red, 1 the key colour, 2 white; frame 2 all white.
    const std::vector<Rgba> palette = {{250, 0, 0}, {255, 0, 128}, {255, 255, 255}};
    const std::vector<std::uint8_t> first = {0, 1, 0, 2, 2, 0, 1, 0};
    const std::vector<std::uint8_t> second(8, 2);
    WriteFile(Path("plain.gif"), MakeGif(4, 2, palette, {first, second}));
    WriteFile(Path("clear.gif"), MakeGif(4, 2, palette, {first, second}, 2));
    LOADSPRITE(Path("plain.gif").c_str(), 7);
    LOADSPRITE(Path("clear.gif").c_str(), 8);
    EXPECT_EQ(pRbow->slots.imgWidth[7], 4);
    EXPECT_EQ(pRbow->slots.imgHeight[8], 2);

    FillBackground();
    SPRITE(7, 10, 10);
    SPRITE(8, 20, 10);
    const Screen s = Screen::Capture();
    // Without a transparent index the key colour is keyed, as in a BMP.
    EXPECT_EQ(s.At(10, 10), (Rgb{250, 0, 0}));
    EXPECT_EQ(s.At(11, 10), kBackground);
    EXPECT_EQ(s.At(13, 10), (Rgb{255, 255, 255}));
    // With one, that index is the only hole; the key colour shows.
    EXPECT_EQ(s.At(21, 10), (Rgb{255, 0, 128}));
    EXPECT_EQ(s.At(23, 10), kBackground);
    EXPECT_EQ(s.At(20, 11), kBackground);
    EXPECT_EQ(s.At(21, 11), (Rgb{250, 0, 0}));
}

TEST_F(PictureFormats, TgaWithAlphaAndJpegLoad)
{
    WriteFile(Path("a.tga"), MakeTga(2, 2, [](int x, int) { return x == 0 ? Rgba{9, 9, 9, 0} : Rgba{0, 255, 0, 255}; },
                                     true));
    // JPEG is lossy: colours are compared roughly, sizes exactly.
    const auto jpeg = MakeJpeg(40, 24, [](int x, int) { return x < 20 ? Rgba{240, 20, 20} : Rgba{20, 20, 240}; });
    ASSERT_FALSE(jpeg.empty());
    WriteFile(Path("j.jpg"), jpeg);
    LOADSPRITE(Path("a.tga").c_str(), 9);
    LOADSPRITE(Path("j.jpg").c_str(), 10);
    EXPECT_EQ(pRbow->slots.imgWidth[10], 40);
    EXPECT_EQ(pRbow->slots.imgHeight[10], 24);
    EXPECT_EQ(pRbow->slots.texWidth[10], 64);
    EXPECT_EQ(pRbow->slots.texHeight[10], 32);

    FillBackground();
    SPRITE(9, 10, 10);
    SPRITE(10, 100, 100);
    const Screen s = Screen::Capture();
    EXPECT_EQ(s.At(10, 10), kBackground);
    EXPECT_EQ(s.At(11, 11), (Rgb{0, 255, 0}));
    auto near = [](Rgb a, Rgb b) { return std::abs(a.r - b.r) < 24 && std::abs(a.g - b.g) < 24 && std::abs(a.b - b.b) < 24; };
    EXPECT_TRUE(near(s.At(105, 110), Rgb{240, 20, 20})) << s.At(105, 110);
    EXPECT_TRUE(near(s.At(134, 110), Rgb{20, 20, 240})) << s.At(134, 110);
    EXPECT_EQ(s.At(140, 110), kBackground);
}

TEST_F(PictureFormats, LoadBmpAndLoadFontTakePngs)
{
    // A background of 100 x 70 (two tiles by two), the same as its BMP.
    auto colour = [](int x, int y) { return Rgba{x * 2, y * 3, 255 - x, 255}; };
    WriteFile(Path("bg.png"), MakePngRgb(100, 70, colour));
    const auto bmp = MakeBmp24(100, 70, [&](int x, int y) { return Rgb{colour(x, y).r, colour(x, y).g, colour(x, y).b}; });
    ClearScreen();
    LOADBMP(WriteBmp("bg.bmp", bmp).c_str());
    const Screen fromBmp = Screen::Capture();
    ClearScreen();
    LOADBMP(Path("bg.png").c_str());
    EXPECT_EQ(pRbow->surfaces[0].columns, 2);
    EXPECT_EQ(pRbow->surfaces[0].rows, 2);
    const Screen fromPng = Screen::Capture();
    EXPECT_EQ(fromPng.rgb, fromBmp.rgb);
    EXPECT_EQ(fromPng.At(99, 69), (Rgb{198, 207, 156}));

    // A font: black is transparent, as in a BMP font.
    auto glyphs = [](int x, int y) {
        return x % 16 == 15 && y % 16 == 15 ? Rgba{0, 0, 0} : Rgba{(y / 16) * 16 + x / 16, 200, 100};
    };
    WriteFile(Path("font.png"), MakePngRgb(256, 128, glyphs));
    LOADFONT(Path("font.png").c_str(), 3);
    EXPECT_EQ(nCurFont, 3);
    FillBackground();
    PRINT("AB", 0, 0);
    const Screen text = Screen::Capture();
    EXPECT_EQ(text.At(0, 0), (Rgb{65, 200, 100}));
    EXPECT_EQ(text.At(16, 0), (Rgb{66, 200, 100}));
    EXPECT_EQ(text.At(15, 15), kBackground);
    EXPECT_EQ(g_error, 0);
}

TEST_F(PictureFormats, DamagedAndHugePngsLeaveTheSlotEmptyWithAReason)
{
    auto png = MakePngRgb(16, 16, Pattern);
    const std::vector<std::uint8_t> truncated(png.begin(), png.begin() + 60);
    // 100000 x 100000 pixels, with a right checksum: only the size refuses it.
    auto huge = png;
    const auto ihdr = PngChunk("IHDR", {0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0, 8, 2, 0, 0, 0});
    std::copy(ihdr.begin(), ihdr.end(), huge.begin() + 8);
    std::vector<std::uint8_t> gifHuge = MakeGif(2, 2, {{1, 2, 3}}, {{0, 0, 0, 0}});
    gifHuge[6] = gifHuge[7] = 0xFF;  // a logical screen of 65535 x 2
    WriteFile(Path("cut.png"), truncated);
    WriteFile(Path("huge.png"), huge);
    WriteFile(Path("huge.gif"), gifHuge);
    testing::internal::CaptureStderr();
    LOADSPRITE(Path("cut.png").c_str(), 11);
    LOADSPRITE(Path("huge.png").c_str(), 12);
    LOADBUMPTEXTURE(Path("huge.gif").c_str(), 13);
    LOADSPRITE(Path("cut.png").c_str(), 11);
    const std::string said = testing::internal::GetCapturedStderr();
    for (int slot : {11, 12, 13}) {
        EXPECT_EQ(pRbow->slots.spriteTex[slot][0], 0u) << slot;
        EXPECT_EQ(pRbow->slots.texWidth[slot], -1) << slot;
    }
    const std::string cut = "picture " + Path("cut.png") + " cannot be read: it is a damaged PNG picture: ";
    EXPECT_NE(said.find(cut), std::string::npos) << said;
    EXPECT_EQ(said.find(cut, said.find(cut) + 1), std::string::npos) << "said once: " << said;
    EXPECT_NE(said.find("huge.png cannot be read: its PNG header declares 100000 x 100000 pixels, more than 16384 on a side\n"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("huge.gif cannot be read: its GIF header declares 65535 x 2 pixels"), std::string::npos) << said;
    EXPECT_NE(ErrorLog(m_folder).find("cut.png cannot be read: it is a damaged PNG picture"), std::string::npos);
    EXPECT_EQ(g_error, 0);
}

// LOADBMP and LOADFONT of a damaged PNG end the program with runtime error 3.
class PictureFormatsDeath : public GfxDeathTest {};

TEST_F(PictureFormatsDeath, LoadBmpAndLoadFontOfADamagedPngAreFatalError3)
{
    const auto png = MakePngRgb(64, 64, Pattern);
    WriteFile(Path("cut.png"), std::vector<std::uint8_t>(png.begin(), png.begin() + 200));
    const std::string path = Path("cut.png");
#ifdef _WIN32
    // GoogleTest's own regular expressions on Windows: "." is no line end.
    const std::string nextLine = ".*\\s+";
#else
    const std::string nextLine = ".*";
#endif
    EXPECT_EXIT(LOADBMP(path.c_str()), ::testing::ExitedWithCode(1),
                "cut.png cannot be read: it is a damaged PNG picture: " + nextLine +
                    "file 0, line 1: runtime error 3: file or media missing or unreadable");
    EXPECT_EXIT(LOADFONT(path.c_str(), 1), ::testing::ExitedWithCode(1),
                "cut.png cannot be read: it is a damaged PNG picture: " + nextLine + "file 0, line 1: runtime error 3");
}
