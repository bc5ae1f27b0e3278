// Loading BMP files into sprite slots, fonts and surfaces; grabbing the
// screen; saving it; and what damaged files do to the commands.
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gfx_test_support.h"
#include "gl/gl_calls.h"

namespace {

using BitmapLoading = GfxTest;

void Set32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::vector<std::uint8_t> Plain(int w, int h, Rgb c = Rgb{10, 20, 30})
{
    return MakeBmp24(w, h, [c](int, int) { return c; });
}

}  // namespace

TEST_F(BitmapLoading, SpriteSlotRecordsPictureAndPowerOfTwoTextureSizes)
{
    LOADSPRITE(WriteBmp("s.bmp", Plain(100, 50)).c_str(), 12);
    EXPECT_EQ(pRbow->slots.imgWidth[12], 100);
    EXPECT_EQ(pRbow->slots.imgHeight[12], 50);
    EXPECT_EQ(pRbow->slots.texWidth[12], 128);
    EXPECT_EQ(pRbow->slots.texHeight[12], 64);
    EXPECT_NE(pRbow->slots.spriteTex[12][0], 0u);
    EXPECT_NE(pRbow->slots.spriteTex[12][1], 0u);

    // The mipmapped texture holds the whole chain down to 1 x 1.
    gl::BindTexture(GL_TEXTURE_2D, pRbow->slots.spriteTex[12][1]);
    GLint w = 0, h = 0;
    gl::GetTexLevelParameteriv(GL_TEXTURE_2D, 7, GL_TEXTURE_WIDTH, &w);
    gl::GetTexLevelParameteriv(GL_TEXTURE_2D, 7, GL_TEXTURE_HEIGHT, &h);
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 1);

    // Loading again frees first; a failed load leaves the slot empty.
    LOADSPRITE(WriteBmp("bad.bmp", std::vector<std::uint8_t>{'B', 'M', 0}).c_str(), 12);
    EXPECT_EQ(pRbow->slots.texWidth[12], -1);
    EXPECT_EQ(pRbow->slots.spriteTex[12][0], 0u);
    EXPECT_EQ(g_error, 0);
}

TEST_F(BitmapLoading, EightBitPaletteWithRowPaddingDrawsItsColours)
{
    // 3 x 2 (rows padded to 4 bytes), palette of 3.
    const auto bmp = MakeBmp8(3, 2, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}, {0, 1, 2, 2, 1, 0});
    LOADSPRITE(WriteBmp("p.bmp", bmp).c_str(), 1);
    SPRITE(1, 10, 10);
    const Screen s = Screen::Capture();
    EXPECT_EQ(s.At(10, 10), (Rgb{255, 0, 0}));
    EXPECT_EQ(s.At(12, 10), (Rgb{0, 0, 255}));
    EXPECT_EQ(s.At(10, 11), (Rgb{0, 0, 255}));
    EXPECT_EQ(s.At(13, 10), (Rgb{})) << "padding must not reach the screen";
}

TEST_F(BitmapLoading, GrabSpriteCopiesTheScreenIntoAPowerOfTwoAtLeast32)
{
    FILLRECT(50, 60, 70, 70, RGB(0, 255, 255));
    GRABSPRITE(20, 50, 60, 20, 10);
    EXPECT_EQ(pRbow->slots.texWidth[20], 32);
    EXPECT_EQ(pRbow->slots.texHeight[20], 32);
    EXPECT_EQ(pRbow->slots.imgWidth[20], 20);
    EXPECT_EQ(pRbow->slots.spriteTex[20][1], 0u);
    GRABSPRITE(21, 0, 0, 33, 1);
    EXPECT_EQ(pRbow->slots.texWidth[21], 64);

    ClearScreen();
    SPRITE(20, 300, 300);
    const Screen s = Screen::Capture();
    int left, top, right, bottom;
    ASSERT_TRUE(s.Bounds(Rgb{}, left, top, right, bottom));
    EXPECT_EQ(left, 300);
    EXPECT_EQ(top, 300);
    EXPECT_EQ(right, 319);
    EXPECT_EQ(bottom, 309);
    EXPECT_EQ(s.At(300, 300), (Rgb{0, 255, 255}));
}

// The drawing area holds no alpha the program can see: a grabbed piece of
// the cleared screen is opaque black, not see-through.
TEST_F(BitmapLoading, GrabbedClearedScreenIsOpaque)
{
    ClearScreen();
    FILLRECT(0, 0, 10, 10, RGB(0, 255, 0));
    GRABSPRITE(20, 0, 0, 20, 10);  // half green, half cleared
    FILLRECT(100, 100, 140, 140, RGB(255, 0, 0));
    SPRITE(20, 110, 110);
    const Screen s = Screen::Capture();
    EXPECT_EQ(s.At(112, 112), (Rgb{0, 255, 0}));
    EXPECT_EQ(s.At(125, 112), (Rgb{}));
    EXPECT_EQ(s.At(125, 125), (Rgb{255, 0, 0}));  // below the sprite
}

TEST_F(BitmapLoading, SaveBmpWritesTheScreenAndReadsBackAsIt)
{
    FILLRECT(0, 0, 640, 480, RGB(1, 2, 3));
    FILLRECT(100, 50, 101, 51, RGB(200, 100, 50));
    const std::string path = Path("shot.bmp");
    SAVEBMP(path.c_str());
    const auto bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 54u + 3u * 640u * 480u);

    // Loaded as a background it shows the same screen.
    const Screen before = Screen::Capture();
    ClearScreen();
    LOADBMP(path.c_str());
    EXPECT_EQ(Screen::Capture().rgb, before.rgb);

    // Saving into a folder that does not exist does nothing.
    SAVEBMP(Path("no/such/folder/x.bmp").c_str());
    EXPECT_EQ(g_error, 0);
}

TEST_F(BitmapLoading, SaveBmpRoundsTheSizeUpToMultiplesOfFourWithBlackBeyond)
{
    pRbow->ChangeSize(642, 481);
    FILLRECT(0, 0, 642, 481, RGB(255, 255, 255));
    const std::string path = Path("wide.bmp");
    SAVEBMP(path.c_str());
    const auto bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 54u + 3u * 644u * 484u);
    EXPECT_EQ(bytes[18] | bytes[19] << 8, 644);
    EXPECT_EQ(bytes[22] | bytes[23] << 8, 484);
    // Bottom row: 642 white pixels, then 2 black ones.
    EXPECT_EQ(bytes[54 + 641 * 3], 255);
    EXPECT_EQ(bytes[54 + 642 * 3], 0);
}

TEST_F(BitmapLoading, SurfacesAreCutIntoTilesOf64)
{
    ASSERT_TRUE(pRbow->LoadSurface(2, WriteBmp("bg.bmp", Plain(640, 480)).c_str()));
    EXPECT_EQ(pRbow->surfaces[2].columns, 10);
    EXPECT_EQ(pRbow->surfaces[2].rows, 8);
    ASSERT_TRUE(pRbow->LoadSurface(2, WriteBmp("wide.bmp", Plain(650, 64)).c_str()));
    EXPECT_EQ(pRbow->surfaces[2].columns, 11);
    EXPECT_EQ(pRbow->surfaces[2].rows, 1);

    // The last tile is mostly transparent black; no colour is keyed.
    const auto keyed = MakeBmp24(650, 64, [](int, int) { return Rgb{255, 0, 128}; });
    ASSERT_TRUE(pRbow->LoadSurface(2, WriteBmp("k.bmp", keyed).c_str()));
    FILLRECT(0, 0, 640, 480, RGB(0, 0, 50));
    pRbow->PasteSurface(2);
    const Screen s = Screen::Capture();
    EXPECT_EQ(s.At(5, 5), (Rgb{255, 0, 128}));
    EXPECT_EQ(s.At(639, 63), (Rgb{255, 0, 128}));
    EXPECT_EQ(s.At(5, 64), (Rgb{0, 0, 50}));
}

TEST_F(BitmapLoading, PicturesWiderThan64TilesAreCutOffNotOverrun)
{
    // 4160 pixels wide would need 65 columns; the record holds 64.
    ASSERT_TRUE(pRbow->LoadSurface(2, WriteBmp("huge.bmp", MakeBmp8(4160, 1, {{9, 9, 9}},
                                                                      std::vector<std::uint8_t>(4160, 0)))
                                          .c_str()));
    EXPECT_EQ(pRbow->surfaces[2].columns, 64);
    EXPECT_EQ(pRbow->surfaces[2].rows, 1);
    pRbow->FreeSurface(2);
    EXPECT_EQ(pRbow->surfaces[2].columns, 0);
}

TEST_F(BitmapLoading, DamagedFilesGiveSizeZeroOrLeaveATexturelessSlot)
{
    std::int32_t w = -1, h = -1;
    auto minHeight = Plain(4, 4);
    Set32(minHeight, 22, 0x80000000u);
    pRbow->GetBMPSize(WriteBmp("minh.bmp", minHeight).c_str(), w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);

    auto early = Plain(4, 4);
    Set32(early, 10, 20);
    pRbow->GetBMPSize(WriteBmp("early.bmp", early).c_str(), w, h);
    EXPECT_EQ(w, 0);

    const auto whole = Plain(4, 4);
    const std::vector<std::uint8_t> shortHeader(whole.begin(), whole.begin() + 30);
    pRbow->GetBMPSize(WriteBmp("short.bmp", shortHeader).c_str(), w, h);
    EXPECT_EQ(w, 0);

    auto negative = Plain(4, 4);
    Set32(negative, 22, static_cast<std::uint32_t>(-4));
    pRbow->GetBMPSize(WriteBmp("neg.bmp", negative).c_str(), w, h);
    EXPECT_EQ(w, 4);
    EXPECT_EQ(h, 4);

    // Sizes the file cannot hold pass the size query but make no texture;
    // nothing is allocated for them.
    auto claims = Plain(4, 4);
    Set32(claims, 18, 16000);
    Set32(claims, 22, 16000);
    LOADSPRITE(WriteBmp("claims.bmp", claims).c_str(), 30);
    EXPECT_EQ(pRbow->slots.imgWidth[30], 16000);
    EXPECT_EQ(pRbow->slots.spriteTex[30][0], 0u);
    // Too large to record at all: refused.
    Set32(claims, 18, 0x7FFFFFFF);
    Set32(claims, 22, 0x7FFFFFFF);
    LOADSPRITE(WriteBmp("claims2.bmp", claims).c_str(), 31);
    EXPECT_EQ(pRbow->slots.texWidth[31], -1);

    auto truncated = Plain(8, 8);
    truncated.resize(truncated.size() - 5);
    LOADBUMPTEXTURE(WriteBmp("trunc.bmp", truncated).c_str(), 32);
    EXPECT_EQ(pRbow->slots.spriteTex[32][0], 0u);

    auto beyondPalette = MakeBmp8(2, 1, {{255, 255, 255}}, {7, 0});
    LOADSPRITE(WriteBmp("pal.bmp", beyondPalette).c_str(), 33);
    SPRITE(33, 0, 0);
    FILLRECT(0, 10, 640, 480, 0);
    const Screen s = Screen::Capture();
    EXPECT_EQ(s.At(0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(s.At(1, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(g_error, 0);
}

// A picture that cannot be read is named on stderr (and in the error log)
// with the reason, once however often it is asked for again; the slot
// stays as the damage leaves it.
TEST_F(BitmapLoading, DamagedPicturesAreNamedOnceWithWhy)
{
    auto truncated = Plain(8, 8);
    truncated.resize(truncated.size() - 5);
    auto deep = Plain(4, 4);
    Set32(deep, 28, 32);
    auto text = Plain(4, 4);
    text[0] = 'X';
    const std::string trunc = WriteBmp("trunc.bmp", truncated);
    testing::internal::CaptureStderr();
    for (int pass = 0; pass < 3; ++pass) {
        LOADSPRITE(trunc.c_str(), 50);
        LOADBUMPTEXTURE(WriteBmp("deep.bmp", deep).c_str(), 51);
        LOADSPRITE(WriteBmp("text.bmp", text).c_str(), 52);
    }
    LOADFONT(trunc.c_str(), 2);  // sizes read, no texture: not fatal, said once already
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(pRbow->slots.spriteTex[50][0], 0u);
    EXPECT_EQ(pRbow->slots.texWidth[52], -1);
    const std::vector<std::string> reasons = {
        "Zorvelin runtime: picture " + trunc + " cannot be read: it is cut short: its 8 x 8 pixels need 192 bytes, 187 are there\n",
        "deep.bmp cannot be read: it has 32 bits per pixel; 8 and 24 can be read\n",
        "text.bmp cannot be read: it is not a BMP file (it does not start with \"BM\")\n",
    };
    for (const std::string& reason : reasons) {
        const std::size_t at = said.find(reason);
        EXPECT_NE(at, std::string::npos) << reason << said;
        EXPECT_EQ(said.find(reason, at + 1), std::string::npos) << reason << said;
    }
    EXPECT_NE(ErrorLog(m_folder).find("deep.bmp cannot be read: it has 32 bits per pixel"), std::string::npos)
        << ErrorLog(m_folder);
    // A good picture says nothing.
    testing::internal::CaptureStderr();
    LOADSPRITE(WriteBmp("good.bmp", Plain(4, 4)).c_str(), 53);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(BitmapLoading, AFolderIsNoPicture)
{
    GLuint texture = 0;
    EXPECT_FALSE(pRbow->MakeBMPTexture(m_folder.c_str(), 0, 0, 0, 0, &texture, nullptr, 0, false, false));
    EXPECT_EQ(texture, 0u);
    LOADSPRITE(m_folder.c_str(), 40);
    EXPECT_EQ(pRbow->slots.texWidth[40], -1);
    EXPECT_FALSE(pRbow->LoadSurface(3, m_folder.c_str()));
}

// LOADBMP and LOADFONT end the program with runtime error 3 when a file
// that exists cannot be loaded. The program ends through the normal
// shutdown, which writes the error state to the log.
class BitmapLoadingDeath : public GfxDeathTest {};

TEST_F(BitmapLoadingDeath, LoadBmpOfAnUnreadablePictureIsFatalError3)
{
    auto minHeight = Plain(4, 4);
    Set32(minHeight, 22, 0x80000000u);
    const std::string path = WriteBmp("minh.bmp", minHeight);
#ifdef _WIN32
    // GoogleTest's own regular expressions on Windows: "." is no line end.
    EXPECT_EXIT(LOADBMP(path.c_str()), ::testing::ExitedWithCode(1),
                "minh.bmp cannot be read: its width or height is out of range\\s+"
                "file 0, line 1: runtime error 3: file or media missing or unreadable");
#else
    EXPECT_EXIT(LOADBMP(path.c_str()), ::testing::ExitedWithCode(1),
                "minh.bmp cannot be read: its width or height is out of range.*"
                "runtime error 3: file or media missing or unreadable");
#endif
    EXPECT_NE(ErrorLog(m_folder).find("-End On Line\r\n3\r\n"), std::string::npos) << ErrorLog(m_folder);
}

TEST_F(BitmapLoadingDeath, LoadFontOfAPictureWithTooFewBytesIsFatalError3)
{
    auto early = Plain(4, 4);
    Set32(early, 10, 30);
    const std::string path = WriteBmp("early.bmp", early);
    EXPECT_EXIT(LOADFONT(path.c_str(), 1), ::testing::ExitedWithCode(1), "runtime error 3: file or media missing or unreadable");
    EXPECT_NE(ErrorLog(m_folder).find("-End On Line\r\n3\r\n"), std::string::npos) << ErrorLog(m_folder);
}

TEST_F(BitmapLoadingDeath, LoadBmpOfAMissingNameDoesNothing)
{
    LOADBMP(Path("missing.bmp").c_str());
    EXPECT_EQ(g_error, 0);
    EXPECT_EQ(pRbow->surfaces[0].columns, 0);
}
