// Reads 24-bit BMP files (screenshots of the scripted runs and the game's
// own pictures) and tells whether a text in one of the game's bitmap fonts
// is shown at a place of a screenshot.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace game_testing {

struct Colour {
    int r = -1, g = -1, b = -1;
    bool operator==(const Colour&) const = default;
    bool IsBlack() const { return r == 0 && g == 0 && b == 0; }
};

class BmpPicture {
public:
    explicit BmpPicture(const std::string& path)
    {
        std::string bytes = testing_support::ReadWholeFile(path);
        if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return;
        auto u32 = [&](std::size_t at) {
            std::uint32_t v = 0;
            for (int k = 3; k >= 0; --k) v = v << 8 | static_cast<unsigned char>(bytes[at + k]);
            return v;
        };
        std::uint32_t offset = u32(10);
        int width = static_cast<int>(u32(18)), height = static_cast<int>(u32(22));
        if (u32(28) != 24 || width <= 0 || height <= 0) return;
        std::size_t row = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
        if (offset + row * height > bytes.size()) return;
        width_ = width;
        height_ = height;
        pixels_.resize(static_cast<std::size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const char* p = &bytes[offset + (height - 1 - y) * row + x * 3];
                pixels_[y * width + x] = {static_cast<unsigned char>(p[2]), static_cast<unsigned char>(p[1]),
                                          static_cast<unsigned char>(p[0])};
            }
    }
    bool Loaded() const { return width_ > 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    Colour At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
        return pixels_[y * width_ + x];
    }

private:
    int width_ = 0, height_ = 0;
    std::vector<Colour> pixels_;
};

// True when every visible (non-black) pixel of the text's glyphs, drawn
// with its first cell's top-left at (x, y), shows in the screenshot with
// the font's colour. The glyph cells are 1/16 and 1/8 of the font picture.
inline bool TextShown(const BmpPicture& screen, const BmpPicture& font, const std::string& text, int x, int y)
{
    if (!screen.Loaded() || !font.Loaded()) return false;
    const int cw = font.Width() >> 4, ch = font.Height() >> 3;
    int checked = 0;
    for (std::size_t n = 0; n < text.size(); ++n) {
        const int code = static_cast<unsigned char>(text[n]) & 127;
        const int cx = (code % 16) * cw, cy = (code / 16) * ch;
        for (int dy = 0; dy < ch; ++dy)
            for (int dx = 0; dx < cw; ++dx) {
                Colour glyph = font.At(cx + dx, cy + dy);
                if (glyph.IsBlack()) continue;
                Colour shown = screen.At(x + static_cast<int>(n) * cw + dx, y + dy);
                if (std::abs(shown.r - glyph.r) > 2 || std::abs(shown.g - glyph.g) > 2 ||
                    std::abs(shown.b - glyph.b) > 2)
                    return false;
                ++checked;
            }
    }
    return checked > 0;
}

inline std::string MediaPath(const std::string& name)
{
    return std::string(KV_SOURCE_DIR) + "/game/media/" + name;
}

}  // namespace game_testing
