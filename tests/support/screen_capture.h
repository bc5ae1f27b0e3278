// The whole screen of an X display read back through xwd, as RGB pixels.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace testing_support {

struct ScreenPicture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0xRRGGBB, top row first
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Reads the root window of display (":N") with xwd; empty on failure.
inline ScreenPicture CaptureScreen(const std::string& display)
{
    ScreenPicture picture;
    std::FILE* pipe = popen(("xwd -root -silent -display " + display).c_str(), "r");
    if (pipe == nullptr) return picture;
    std::string bytes;
    char buffer[65536];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) bytes.append(buffer, got);
    pclose(pipe);
    if (bytes.size() < 100) return picture;
    auto field = [&](int i) {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data()) + 4 * i;
        return static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
    };
    // The header: its size, the format, the size in pixels, the pixel byte
    // order, the bits per pixel and the bytes per line; then the colour map.
    const std::uint32_t headerSize = field(0), width = field(4), height = field(5), byteOrder = field(7),
                        bitsPerPixel = field(11), bytesPerLine = field(12), colours = field(19);
    const std::size_t start = headerSize + static_cast<std::size_t>(colours) * 12;
    const std::uint32_t bytesPerPixel = bitsPerPixel / 8;
    if (field(2) != 2 || byteOrder != 0 || (bytesPerPixel != 3 && bytesPerPixel != 4) || width == 0 ||
        width > 10000 || height > 10000 || start + static_cast<std::size_t>(bytesPerLine) * height > bytes.size() ||
        bytesPerLine < width * bytesPerPixel)
        return picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.pixels.resize(static_cast<std::size_t>(width) * height);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const unsigned char* p =
                reinterpret_cast<const unsigned char*>(bytes.data()) + start + y * bytesPerLine + x * bytesPerPixel;
            picture.pixels[static_cast<std::size_t>(y) * width + x] = p[2] << 16 | p[1] << 8 | p[0];
        }
    return picture;
}

}  // namespace testing_support
