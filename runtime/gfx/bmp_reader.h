// Reading Windows BMP files (8-bit palette and 24-bit, uncompressed) from
// bytes in memory. Every field of the file is checked against the bytes that
// are really there before it is used, so a damaged or hostile file is
// refused instead of read out of bounds. No OpenGL here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// File header (14 bytes) and the info header this reader uses (40 bytes).
constexpr std::size_t kBmpHeaderBytes = 54;

// What the 54-byte header says.
struct BmpHeader {
    std::uint32_t pixelOffset = 0;   // where the pixel data starts
    std::int32_t width = 0;          // as stored (signed)
    std::int32_t height = 0;         // as stored (signed; rows are always bottom-up)
    std::uint16_t bitsPerPixel = 0;
};

// Checks the header in the first `available` bytes of a file of fileSize
// bytes: "BM", the whole 54-byte header present, a pixel-data offset not
// before the end of the header nor past the end of the file, and sizes whose
// magnitudes exist as 32-bit numbers. Bits per pixel are not checked here.
// A refused header puts the reason into *why when it is given.
bool ParseBmpHeader(const std::uint8_t* data, std::size_t available, std::uint64_t fileSize,
                    BmpHeader& header, std::string* why = nullptr);

// A readable picture: a view into the file's bytes, which must outlive it.
struct BmpPicture {
    int width = 0;                   // pixels, > 0
    int height = 0;                  // pixels, > 0 (magnitude of the stored height)
    int bytesPerPixel = 0;           // 1 (palette) or 3 (blue, green, red)
    std::size_t rowBytes = 0;        // stored row length including padding
    const std::uint8_t* palette = nullptr;  // entries blue, green, red, reserved
    int paletteEntries = 0;          // entries present in the file, at most 256
    const std::uint8_t* pixels = nullptr;   // the first stored row (the bottom one)

    // Colour of the pixel in column x and row y counted from the top, in
    // RGB() packing (red in bits 0..7). A palette index past the palette in
    // the file gives black. x and y must lie inside the picture.
    std::uint32_t ColorAt(int x, int y) const;
};

// Checks the whole file (header, 8 or 24 bits per pixel, a positive width,
// every pixel row present) and describes its picture. A refused file puts
// the reason into *why when it is given ("it is cut short: ...").
bool ParseBmpPicture(const std::uint8_t* data, std::size_t size, BmpPicture& picture, std::string* why = nullptr);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const char* path, std::vector<std::uint8_t>& bytes);

// Why the file cannot be loaded as a picture, in words; empty when it can.
// Reads the file whole: for the message after a load failed.
std::string BmpFileProblem(const char* path);
