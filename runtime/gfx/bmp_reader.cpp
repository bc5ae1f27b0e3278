#include "gfx/bmp_reader.h"

#include <climits>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

namespace {

std::uint16_t Read16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t Read32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

bool ParseBmpHeader(const std::uint8_t* data, std::size_t available, std::uint64_t fileSize,
                    BmpHeader& header, std::string* why)
{
    auto refuse = [why](std::string reason) {
        if (why != nullptr) *why = std::move(reason);
        return false;
    };
    if (data == nullptr || available < kBmpHeaderBytes || fileSize < kBmpHeaderBytes)
        return refuse("it is shorter than the " + std::to_string(kBmpHeaderBytes) + " bytes of a BMP header");
    if (data[0] != 'B' || data[1] != 'M') return refuse("it is not a BMP file (it does not start with \"BM\")");
    header.pixelOffset = Read32(data + 10);
    header.width = static_cast<std::int32_t>(Read32(data + 18));
    header.height = static_cast<std::int32_t>(Read32(data + 22));
    header.bitsPerPixel = Read16(data + 28);
    // The info block runs from byte 14 to the pixel data: it must hold the
    // whole header and lie inside the file.
    if (header.pixelOffset < kBmpHeaderBytes || header.pixelOffset > fileSize)
        return refuse("its pixel data would start at byte " + std::to_string(header.pixelOffset) + " of " +
                      std::to_string(fileSize));
    // -2^31 has no magnitude in 32 bits.
    if (header.width == INT32_MIN || header.height == INT32_MIN) return refuse("its width or height is out of range");
    return true;
}

bool ParseBmpPicture(const std::uint8_t* data, std::size_t size, BmpPicture& picture, std::string* why)
{
    auto refuse = [why](std::string reason) {
        if (why != nullptr) *why = std::move(reason);
        return false;
    };
    BmpHeader header;
    if (!ParseBmpHeader(data, size, size, header, why)) return false;
    if (header.bitsPerPixel != 8 && header.bitsPerPixel != 24)
        return refuse("it has " + std::to_string(header.bitsPerPixel) + " bits per pixel; 8 and 24 can be read");
    if (header.width <= 0 || header.height == 0)
        return refuse("it has no pixels (width " + std::to_string(header.width) + ", height " +
                      std::to_string(header.height) + ")");

    const int bytesPerPixel = header.bitsPerPixel / 8;
    const std::uint64_t width = static_cast<std::uint64_t>(header.width);
    const std::uint64_t height = static_cast<std::uint64_t>(header.height < 0 ? -static_cast<std::int64_t>(header.height)
                                                                              : header.height);
    // Rows are padded to a multiple of 4 bytes. 64-bit sums cannot overflow
    // for 31-bit sizes.
    const std::uint64_t rowBytes = (width * bytesPerPixel + 3) / 4 * 4;
    const std::uint64_t pixelBytes = rowBytes * height;
    if (pixelBytes > size - header.pixelOffset)
        return refuse("it is cut short: its " + std::to_string(width) + " x " + std::to_string(height) +
                      " pixels need " + std::to_string(pixelBytes) + " bytes, " +
                      std::to_string(size - header.pixelOffset) + " are there");

    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.bytesPerPixel = bytesPerPixel;
    picture.rowBytes = static_cast<std::size_t>(rowBytes);
    picture.pixels = data + header.pixelOffset;
    picture.palette = data + kBmpHeaderBytes;
    const std::uint32_t entries = (header.pixelOffset - static_cast<std::uint32_t>(kBmpHeaderBytes)) / 4;
    picture.paletteEntries = bytesPerPixel == 1 ? static_cast<int>(entries < 256 ? entries : 256) : 0;
    return true;
}

std::uint32_t BmpPicture::ColorAt(int x, int y) const
{
    // Rows are stored bottom row first.
    const std::uint8_t* row = pixels + static_cast<std::size_t>(height - 1 - y) * rowBytes;
    std::uint8_t blue = 0, green = 0, red = 0;
    if (bytesPerPixel == 1) {
        const int index = row[x];
        if (index < paletteEntries) {
            blue = palette[index * 4];
            green = palette[index * 4 + 1];
            red = palette[index * 4 + 2];
        }
    } else {
        const std::uint8_t* pixel = row + static_cast<std::size_t>(x) * 3;
        blue = pixel[0];
        green = pixel[1];
        red = pixel[2];
    }
    return red | static_cast<std::uint32_t>(green) << 8 | static_cast<std::uint32_t>(blue) << 16;
}

bool ReadWholeFile(const char* path, std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    if (path == nullptr) return false;
    // Only regular files: a folder opens too, but reports a meaningless length.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long length = ok ? std::ftell(file) : -1;
    ok = ok && length >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(length));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    if (!ok) bytes.clear();
    return ok;
}

std::string BmpFileProblem(const char* path)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return "it cannot be read as a plain file";
    BmpPicture picture;
    std::string why;
    return ParseBmpPicture(bytes.data(), bytes.size(), picture, &why) ? std::string() : why;
}
