#include "platform/gif_picture.h"

#include <vector>

namespace platform {

namespace {

// Reads the file front to back; every read checks that its bytes exist.
struct GifBytes {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;

    bool Has(std::size_t n) const { return n <= size - at; }
    std::uint8_t Byte() { return data[at++]; }
    int Word() { const int v = data[at] | data[at + 1] << 8; at += 2; return v; }
};

// The sub-blocks of an image's data, joined: a length byte, that many
// bytes, ..., a length of 0. False when they run past the end of the file.
bool JoinSubBlocks(GifBytes& in, std::vector<std::uint8_t>& out)
{
    for (;;) {
        if (!in.Has(1)) return false;
        const std::size_t length = in.Byte();
        if (length == 0) return true;
        if (!in.Has(length)) return false;
        out.insert(out.end(), in.data + in.at, in.data + in.at + length);
        in.at += length;
    }
}

bool SkipSubBlocks(GifBytes& in)
{
    for (;;) {
        if (!in.Has(1)) return false;
        const std::size_t length = in.Byte();
        if (length == 0) return true;
        if (!in.Has(length)) return false;
        in.at += length;
    }
}

// The variable-length LZW codes of the image data into colour indices;
// false when the codes are not a valid stream or end before every pixel.
bool DecodeLzw(const std::vector<std::uint8_t>& codes, int minimumCodeSize, std::vector<std::uint8_t>& indices)
{
    constexpr int kMaxCodes = 4096;
    const int clearCode = 1 << minimumCodeSize;
    const int endCode = clearCode + 1;
    std::vector<std::uint16_t> prefix(kMaxCodes);
    std::vector<std::uint8_t> suffix(kMaxCodes), stack(kMaxCodes + 1);
    for (int i = 0; i < clearCode; ++i) suffix[i] = static_cast<std::uint8_t>(i);

    int codeSize = minimumCodeSize + 1;
    int nextCode = endCode + 1;
    int previous = -1;
    std::uint8_t firstOfPrevious = 0;
    std::size_t written = 0;
    std::uint32_t bitBuffer = 0;
    int bitCount = 0;
    std::size_t position = 0;
    while (written < indices.size()) {
        while (bitCount < codeSize) {
            if (position >= codes.size()) return false;
            bitBuffer |= static_cast<std::uint32_t>(codes[position++]) << bitCount;
            bitCount += 8;
        }
        const int code = static_cast<int>(bitBuffer & ((1u << codeSize) - 1));
        bitBuffer >>= codeSize;
        bitCount -= codeSize;

        if (code == clearCode) {
            codeSize = minimumCodeSize + 1;
            nextCode = endCode + 1;
            previous = -1;
            continue;
        }
        if (code == endCode) return false;  // the image ended before its last pixel
        if (previous < 0) {
            if (code >= clearCode) return false;
            indices[written++] = static_cast<std::uint8_t>(code);
            previous = code;
            firstOfPrevious = static_cast<std::uint8_t>(code);
            continue;
        }
        if (code > nextCode) return false;
        // Unwind the code's string onto the stack, last byte first.
        int depth = 0;
        int current = code;
        if (code == nextCode) {
            stack[depth++] = firstOfPrevious;
            current = previous;
        }
        while (current >= clearCode) {
            if (depth >= kMaxCodes) return false;
            stack[depth++] = suffix[current];
            current = prefix[current];
        }
        stack[depth++] = static_cast<std::uint8_t>(current);
        const std::uint8_t first = static_cast<std::uint8_t>(current);
        while (depth > 0 && written < indices.size()) indices[written++] = stack[--depth];
        if (nextCode < kMaxCodes) {
            prefix[nextCode] = static_cast<std::uint16_t>(previous);
            suffix[nextCode] = first;
            ++nextCode;
            if (nextCode == (1 << codeSize) && codeSize < 12) ++codeSize;
        }
        previous = code;
        firstOfPrevious = first;
    }
    return true;
}

// Rows of an interlaced image come in four passes: every 8th row from 0,
// every 8th from 4, every 4th from 2, every 2nd from 1.
int InterlacedRow(int stored, int height)
{
    static const int kStart[4] = {0, 4, 2, 1};
    static const int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        const int rows = kStart[pass] < height ? (height - 1 - kStart[pass]) / kStep[pass] + 1 : 0;
        if (stored < rows) return kStart[pass] + stored * kStep[pass];
        stored -= rows;
    }
    return 0;
}

}  // namespace

bool DecodeGifFirstImage(const std::uint8_t* bytes, std::size_t size, int largestSide, DecodedPicture& picture,
                         std::string* why)
{
    auto refuse = [why](const char* reason) {
        if (why != nullptr) *why = reason;
        return false;
    };
    picture = DecodedPicture();
    GifBytes in{bytes, size};
    if (bytes == nullptr || !in.Has(13)) return refuse("its GIF header is cut short");
    in.at = 10;  // signature and logical screen size
    const std::uint8_t screenFlags = in.Byte();
    in.at += 2;  // background colour, aspect ratio
    std::vector<std::uint8_t> globalTable;
    if (screenFlags & 0x80) {
        const std::size_t bytesOfTable = 3u << ((screenFlags & 7) + 1);
        if (!in.Has(bytesOfTable)) return refuse("its GIF colour table is cut short");
        globalTable.assign(bytes + in.at, bytes + in.at + bytesOfTable);
        in.at += bytesOfTable;
    }

    int transparentIndex = -1;
    for (;;) {
        if (!in.Has(1)) return refuse("its GIF file ends before its first image");
        const std::uint8_t block = in.Byte();
        if (block == 0x3B) return refuse("its GIF file holds no image");
        if (block == 0x21) {
            if (!in.Has(1)) return refuse("its GIF extension is cut short");
            const std::uint8_t label = in.Byte();
            // The graphic control extension before an image names its transparent colour.
            if (label == 0xF9 && in.Has(6) && bytes[in.at] >= 4) {
                transparentIndex = (bytes[in.at + 1] & 1) ? bytes[in.at + 4] : -1;
            }
            if (!SkipSubBlocks(in)) return refuse("its GIF extension is cut short");
            continue;
        }
        if (block != 0x2C) return refuse("its GIF file holds a block of an unknown kind");
        break;
    }

    if (!in.Has(9)) return refuse("its GIF image descriptor is cut short");
    in.at += 4;  // the image's place on the logical screen
    const int width = in.Word();
    const int height = in.Word();
    const std::uint8_t imageFlags = in.Byte();
    if (width == 0 || height == 0) return refuse("its first GIF image has no pixels");
    if (width > largestSide || height > largestSide) return refuse("its first GIF image is larger than can be loaded");
    std::vector<std::uint8_t> table = globalTable;
    if (imageFlags & 0x80) {
        const std::size_t bytesOfTable = 3u << ((imageFlags & 7) + 1);
        if (!in.Has(bytesOfTable)) return refuse("its GIF colour table is cut short");
        table.assign(bytes + in.at, bytes + in.at + bytesOfTable);
        in.at += bytesOfTable;
    }
    if (table.empty()) return refuse("its first GIF image has no colour table");
    if (!in.Has(1)) return refuse("its GIF image data is cut short");
    const int minimumCodeSize = in.Byte();
    if (minimumCodeSize < 2 || minimumCodeSize > 8) return refuse("its GIF image data has an impossible code size");
    std::vector<std::uint8_t> codes;
    if (!JoinSubBlocks(in, codes)) return refuse("its GIF image data is cut short");

    std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) * height);
    if (!DecodeLzw(codes, minimumCodeSize, indices)) return refuse("its GIF image data is damaged or cut short");

    const std::size_t colours = table.size() / 3;
    const bool interlaced = (imageFlags & 0x40) != 0;
    picture.width = width;
    picture.height = height;
    picture.transparent = transparentIndex >= 0;
    picture.rgba.resize(indices.size() * 4);
    for (int stored = 0; stored < height; ++stored) {
        const int row = interlaced ? InterlacedRow(stored, height) : stored;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t index = indices[static_cast<std::size_t>(stored) * width + x];
            std::uint8_t* out = &picture.rgba[(static_cast<std::size_t>(row) * width + x) * 4];
            if (index < colours) {
                out[0] = table[index * 3];
                out[1] = table[index * 3 + 1];
                out[2] = table[index * 3 + 2];
            } else {
                out[0] = out[1] = out[2] = 0;  // an index past the table reads black
            }
            out[3] = index == transparentIndex ? 0 : 255;
        }
    }
    return true;
}

}  // namespace platform
