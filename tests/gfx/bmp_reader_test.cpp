// The BMP reader and the CPU-side texture pictures, without OpenGL.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gfx/bmp_reader.h"
#include "gfx/opengl_rainbows.h"
#include "gfx/texture_images.h"
#include "gfx_test_support.h"

namespace {

void Set32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool Parses(const std::vector<std::uint8_t>& b)
{
    BmpPicture picture;
    return ParseBmpPicture(b.data(), b.size(), picture);
}

// The RGBA texel at texture column c, row r (row 0 = bottom).
std::vector<int> Texel(const std::vector<std::uint8_t>& texels, int tw, int c, int r)
{
    const std::uint8_t* p = &texels[(static_cast<std::size_t>(r) * tw + c) * 4];
    return {p[0], p[1], p[2], p[3]};
}

}  // namespace

TEST(BmpReader, ReadsBothDepthsBottomUpWithoutRowPadding)
{
    // Width 3: rows of 9 bytes padded to 12 (padding bytes 0xEE).
    auto bmp24 = MakeBmp24(3, 2, [](int x, int y) { return Rgb{x * 10, y * 10, 200}; });
    BmpPicture p;
    ASSERT_TRUE(ParseBmpPicture(bmp24.data(), bmp24.size(), p));
    EXPECT_EQ(p.width, 3);
    EXPECT_EQ(p.height, 2);
    EXPECT_EQ(p.rowBytes, 12u);
    EXPECT_EQ(p.ColorAt(2, 1), 20u | 10u << 8 | 200u << 16);
    EXPECT_EQ(p.ColorAt(0, 0), 0u | 0u << 8 | 200u << 16);

    auto bmp8 = MakeBmp8(2, 2, {{1, 2, 3}, {4, 5, 6}}, {0, 1, 1, 0});
    ASSERT_TRUE(ParseBmpPicture(bmp8.data(), bmp8.size(), p));
    EXPECT_EQ(p.paletteEntries, 2);
    EXPECT_EQ(p.ColorAt(1, 0), 4u | 5u << 8 | 6u << 16);
    EXPECT_EQ(p.ColorAt(1, 1), 1u | 2u << 8 | 3u << 16);
}

TEST(BmpReader, NegativeHeightIsTakenByMagnitudeStillBottomUp)
{
    auto bmp = MakeBmp24(1, 2, [](int, int y) { return Rgb{y == 0 ? 255 : 0, 0, 0}; });
    Set32(bmp, 22, static_cast<std::uint32_t>(-2));
    BmpPicture p;
    ASSERT_TRUE(ParseBmpPicture(bmp.data(), bmp.size(), p));
    EXPECT_EQ(p.height, 2);
    EXPECT_EQ(p.ColorAt(0, 0), 255u);  // rows are always read as stored bottom-up
}

TEST(BmpReader, RefusesDamagedFiles)
{
    const auto good = MakeBmp24(4, 4, [](int, int) { return Rgb{1, 2, 3}; });
    ASSERT_TRUE(Parses(good));

    auto notBm = good;
    notBm[0] = 'X';
    EXPECT_FALSE(Parses(notBm));

    for (std::size_t length : {0u, 13u, 14u, 53u}) {
        std::vector<std::uint8_t> truncatedHeader(good.begin(), good.begin() + length);
        EXPECT_FALSE(Parses(truncatedHeader)) << length;
    }
    std::vector<std::uint8_t> truncatedPixels(good.begin(), good.end() - 1);
    EXPECT_FALSE(Parses(truncatedPixels));

    for (std::uint32_t offset : {0u, 14u, 53u}) {
        auto early = good;
        Set32(early, 10, offset);
        EXPECT_FALSE(Parses(early)) << "pixel data at " << offset;
    }
    auto pastEnd = good;
    Set32(pastEnd, 10, static_cast<std::uint32_t>(good.size() + 1));
    EXPECT_FALSE(Parses(pastEnd));

    for (std::uint16_t bits : {0, 1, 4, 16, 32}) {
        auto depth = good;
        depth[28] = static_cast<std::uint8_t>(bits);
        depth[29] = 0;
        EXPECT_FALSE(Parses(depth)) << bits << " bits";
    }

    auto minHeight = good;
    Set32(minHeight, 22, 0x80000000u);
    EXPECT_FALSE(Parses(minHeight));
    BmpHeader header;
    EXPECT_FALSE(ParseBmpHeader(minHeight.data(), minHeight.size(), minHeight.size(), header));

    auto zeroOrNegativeWidth = good;
    Set32(zeroOrNegativeWidth, 18, 0);
    EXPECT_FALSE(Parses(zeroOrNegativeWidth));
    Set32(zeroOrNegativeWidth, 18, static_cast<std::uint32_t>(-4));
    EXPECT_FALSE(Parses(zeroOrNegativeWidth));
}

TEST(BmpReader, RefusesSizesTheFileCannotHold)
{
    auto huge = MakeBmp24(4, 4, [](int, int) { return Rgb{}; });
    // 2^31-1 squared times 3 overflows 32 and would overflow a naive 64-bit
    // product of padded rows; the reader must refuse it, not wrap around.
    Set32(huge, 18, 0x7FFFFFFF);
    Set32(huge, 22, 0x7FFFFFFF);
    EXPECT_FALSE(Parses(huge));
    // A product that wraps to a small number in 32 bits: 65536 x 65536 x 1.
    auto wraps = MakeBmp8(4, 4, {{0, 0, 0}}, std::vector<std::uint8_t>(16, 0));
    Set32(wraps, 18, 65536);
    Set32(wraps, 22, 65536);
    EXPECT_FALSE(Parses(wraps));
}

TEST(BmpReader, PaletteIndexBeyondThePaletteInTheFileIsBlack)
{
    // Two palette entries in the file; pixel index 200 points past them.
    auto bmp = MakeBmp8(2, 1, {{10, 20, 30}, {40, 50, 60}}, {200, 1});
    BmpPicture p;
    ASSERT_TRUE(ParseBmpPicture(bmp.data(), bmp.size(), p));
    EXPECT_EQ(p.ColorAt(0, 0), 0u);
    EXPECT_EQ(p.ColorAt(1, 0), 40u | 50u << 8 | 60u << 16);
}

TEST(SpriteTexels, PictureFillsLowerLeftWithKeyedPixelsTransparent)
{
    // 100 x 50: the key colour on the left column, white elsewhere.
    auto bmp = MakeBmp24(100, 50, [](int x, int y) {
        if (x == 0) return Rgb{255, 0, 128};
        return Rgb{255, 255, y == 0 ? 1 : 255};
    });
    BmpPicture p;
    ASSERT_TRUE(ParseBmpPicture(bmp.data(), bmp.size(), p));
    const int tw = NextPowerOfTwo(100), th = NextPowerOfTwo(50);
    EXPECT_EQ(tw, 128);
    EXPECT_EQ(th, 64);
    auto texels = MakeSpriteTexels(p, 0, 0, 100, 50, tw, th, kSpriteColorKey, true);
    EXPECT_EQ(Texel(texels, tw, 0, 10), (std::vector<int>{0, 0, 0, 0}));        // keyed
    EXPECT_EQ(Texel(texels, tw, 99, 0), (std::vector<int>{255, 255, 255, 255}));  // bottom row
    EXPECT_EQ(Texel(texels, tw, 99, 49), (std::vector<int>{255, 255, 1, 255}));   // top row = picture row 0
    EXPECT_EQ(Texel(texels, tw, 100, 0), (std::vector<int>{0, 0, 0, 0}));        // beside the picture
    EXPECT_EQ(Texel(texels, tw, 0, 50), (std::vector<int>{0, 0, 0, 0}));         // above it

    auto unkeyed = MakeSpriteTexels(p, 0, 0, 100, 50, tw, th, kSpriteColorKey, false);
    EXPECT_EQ(Texel(unkeyed, tw, 0, 10), (std::vector<int>{255, 0, 128, 255}));
}

TEST(SpriteTexels, CropBeyondThePictureStaysTransparentBlack)
{
    // A 64 x 64 tile at (64, 0) of a 100 x 10 picture: 36 columns of picture.
    auto bmp = MakeBmp24(100, 10, [](int, int) { return Rgb{9, 9, 9}; });
    BmpPicture p;
    ASSERT_TRUE(ParseBmpPicture(bmp.data(), bmp.size(), p));
    auto texels = MakeSpriteTexels(p, 64, 0, 64, 64, 64, 64, 0, false);
    EXPECT_EQ(Texel(texels, 64, 35, 63), (std::vector<int>{9, 9, 9, 255}));  // picture row 0 at the top
    EXPECT_EQ(Texel(texels, 64, 36, 63), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(Texel(texels, 64, 0, 53), (std::vector<int>{0, 0, 0, 0}));     // below the picture's 10 rows
}

TEST(MipChain, HalvesDownToOneByOne)
{
    std::vector<std::uint8_t> texels(64 * 16 * 4, 100);
    const auto chain = MakeMipChain(texels.data(), 64, 16);
    std::vector<std::pair<int, int>> sizes;
    for (const auto& level : chain) sizes.emplace_back(level.width, level.height);
    EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{{64, 16}, {32, 8}, {16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}}));
    // A flat picture stays flat only where the weights sum to their divisor.
    EXPECT_EQ(chain[1].texels[0], 100);
}

TEST(MipChain, WeighsTheTexelsTwoRowsUp)
{
    // 4 x 4, channel value 10 y + x.
    std::vector<std::uint8_t> texels(4 * 4 * 4, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            for (int c = 0; c < 4; ++c) texels[(y * 4 + x) * 4 + c] = static_cast<std::uint8_t>(10 * y + x);
    const auto chain = MakeMipChain(texels.data(), 4, 4);
    ASSERT_GE(chain.size(), 2u);
    const auto& l1 = chain[1].texels;
    EXPECT_EQ(l1[0], (4 * 0 + 2 * 1 + 2 * 21 + 20) / 9);  // inner texel
    EXPECT_EQ(l1[4], (2 * 2 + 22) / 3);                    // last column only
    EXPECT_EQ(l1[8], (2 * 20 + 21) / 3);                   // last row only
    EXPECT_EQ(l1[12], 22);                                 // last column and row
    EXPECT_EQ(l1[15], 22);                                 // alpha alike
}

TEST(NormalMap, FlatPictureFacesTheViewerAndSlopesTilt)
{
    std::vector<std::uint8_t> flat(4 * 4 * 4, 80);
    OpenGLRainbows::build_detail_normalmap(flat.data(), 4, 4);
    EXPECT_EQ(flat[0], 127);
    EXPECT_EQ(flat[1], 127);
    EXPECT_EQ(flat[2], 255);
    EXPECT_EQ(flat[3], 80);  // alpha kept

    // Height rising to the right (blue = 0, 85, 170, 255 by column): dx < 0,
    // so red falls below the middle; no slope up or down keeps green at 127.
    std::vector<std::uint8_t> ramp(4 * 4 * 4, 255);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) ramp[(y * 4 + x) * 4 + 2] = static_cast<std::uint8_t>(85 * x);
    OpenGLRainbows::build_detail_normalmap(ramp.data(), 4, 4);
    const std::uint8_t* t = &ramp[(1 * 4 + 1) * 4];
    EXPECT_LT(t[0], 127);
    EXPECT_EQ(t[1], 127);
    EXPECT_LT(t[2], 255);
}
