#include "gfx/texture_images.h"

#include <cmath>
#include <cstring>


int NextPowerOfTwo(int n)
{
    int power = 1;
    while (power < n && power < (1 << 30)) power <<= 1;
    return power;
}

std::vector<std::uint8_t> MakeSpriteTexels(const BmpPicture& picture, int x0, int y0, int cw, int ch,
                                           int tw, int th, std::uint32_t colorKey, bool useKey)
{
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(tw) * th * 4, 0);
    for (int r = 0; r < ch && r < th; ++r) {
        const int y = y0 + r;
        if (y < 0 || y >= picture.height) continue;
        std::uint8_t* row = texels.data() + static_cast<std::size_t>(ch - 1 - r) * tw * 4;
        for (int c = 0; c < cw && c < tw; ++c) {
            const int x = x0 + c;
            if (x < 0 || x >= picture.width) continue;
            const std::uint32_t color = picture.ColorAt(x, y);
            if (useKey && color == colorKey) continue;  // stays (0, 0, 0, 0)
            std::uint8_t* texel = row + static_cast<std::size_t>(c) * 4;
            texel[0] = static_cast<std::uint8_t>(color);
            texel[1] = static_cast<std::uint8_t>(color >> 8);
            texel[2] = static_cast<std::uint8_t>(color >> 16);
            texel[3] = 255;
        }
    }
    return texels;
}

std::vector<std::uint8_t> MakeSpriteTexels(const platform::DecodedPicture& picture, int x0, int y0, int cw,
                                           int ch, int tw, int th, std::uint32_t colorKey, bool useKey)
{
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(tw) * th * 4, 0);
    for (int r = 0; r < ch && r < th; ++r) {
        const int y = y0 + r;
        if (y < 0 || y >= picture.height) continue;
        std::uint8_t* row = texels.data() + static_cast<std::size_t>(ch - 1 - r) * tw * 4;
        const std::uint8_t* source = picture.rgba.data() + static_cast<std::size_t>(y) * picture.width * 4;
        for (int c = 0; c < cw && c < tw; ++c) {
            const int x = x0 + c;
            if (x < 0 || x >= picture.width) continue;
            const std::uint8_t* pixel = source + static_cast<std::size_t>(x) * 4;
            std::uint8_t* texel = row + static_cast<std::size_t>(c) * 4;
            if (picture.transparent) {
                if (pixel[3] == 0) continue;  // stays (0, 0, 0, 0)
                std::memcpy(texel, pixel, 4);
                continue;
            }
            const std::uint32_t color = pixel[0] | static_cast<std::uint32_t>(pixel[1]) << 8 |
                                        static_cast<std::uint32_t>(pixel[2]) << 16;
            if (useKey && color == colorKey) continue;
            texel[0] = pixel[0];
            texel[1] = pixel[1];
            texel[2] = pixel[2];
            texel[3] = 255;
        }
    }
    return texels;
}

namespace {

// Next level of the chain: each new texel weighs the old texel below-left
// of it four times, its right neighbour and the one two rows up from that
// twice, and the texel two rows up once.
MipLevel HalveLevel(const MipLevel& old)
{
    MipLevel level;
    level.width = old.width / 2 > 1 ? old.width / 2 : 1;
    level.height = old.height / 2 > 1 ? old.height / 2 : 1;
    level.texels.assign(static_cast<std::size_t>(level.width) * level.height * 4, 0);
    auto at = [&old](int x, int y, int channel) -> int {
        return old.texels[(static_cast<std::size_t>(y) * old.width + x) * 4 + channel];
    };
    for (int y = 0; y < level.height; ++y) {
        const bool lastRow = y == level.height - 1;
        for (int x = 0; x < level.width; ++x) {
            const bool lastColumn = x == level.width - 1;
            for (int channel = 0; channel < 4; ++channel) {
                const int a = at(2 * x, 2 * y, channel);
                int value;
                if (!lastColumn && !lastRow)
                    value = (4 * a + 2 * at(2 * x + 1, 2 * y, channel) + 2 * at(2 * x + 1, 2 * y + 2, channel) +
                             at(2 * x, 2 * y + 2, channel)) / 9;
                else if (lastRow && !lastColumn)
                    value = (2 * a + at(2 * x + 1, 2 * y, channel)) / 3;
                else if (lastColumn && !lastRow)
                    value = (2 * a + at(2 * x, 2 * y + 2, channel)) / 3;
                else
                    value = a;
                level.texels[(static_cast<std::size_t>(y) * level.width + x) * 4 + channel] =
                    static_cast<std::uint8_t>(value);
            }
        }
    }
    return level;
}

}  // namespace

std::vector<MipLevel> MakeMipChain(const std::uint8_t* texels, int width, int height)
{
    std::vector<MipLevel> chain(1);
    chain[0].width = width;
    chain[0].height = height;
    chain[0].texels.assign(texels, texels + static_cast<std::size_t>(width) * height * 4);
    while (chain.back().width > 1 || chain.back().height > 1) chain.push_back(HalveLevel(chain.back()));
    return chain;
}

void MakeDetailNormalMap(unsigned char* image, int width, int height)
{
    if (image == nullptr || width <= 0 || height <= 0) return;
    std::vector<unsigned char> result(static_cast<std::size_t>(width) * height * 4);
    // Height of a texel: its blue channel; neighbours wrap around the edges.
    auto h = [&](int x, int y) -> float {
        x = (x + width) % width;
        y = (y + height) % height;
        return image[(static_cast<std::size_t>(y) * width + x) * 4 + 2] / 255.0f;
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float dx = 2 * h(x - 1, y) + h(x - 1, y - 1) + h(x - 1, y + 1) - h(x + 1, y - 1) -
                             2 * h(x + 1, y) - h(x + 1, y + 1);
            const float dy = h(x - 1, y + 1) + 2 * h(x, y + 1) + h(x + 1, y + 1) - h(x - 1, y - 1) -
                             2 * h(x, y - 1) - h(x + 1, y - 1);
            const float length = std::sqrt(dx * dx + dy * dy + 1.0f);
            const float m = 1.0f / length;
            unsigned char* out = &result[(static_cast<std::size_t>(y) * width + x) * 4];
            out[0] = static_cast<unsigned char>((dx * m + 1) * 0.5f * 255);
            out[1] = static_cast<unsigned char>((dy * m + 1) * 0.5f * 255);
            out[2] = static_cast<unsigned char>((m + 1) * 0.5f * 255);
            out[3] = image[(static_cast<std::size_t>(y) * width + x) * 4 + 3];
        }
    }
    std::memcpy(image, result.data(), result.size());
}
