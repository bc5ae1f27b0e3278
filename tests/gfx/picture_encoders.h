// Small PNG, GIF and TGA files written byte by byte for the picture tests
// (and a JPEG through SDL2_image's own writer): each test makes exactly the
// file it needs, so no binary fixture is kept.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct Rgba {
    int r = 0, g = 0, b = 0, a = 255;
};
using PixelsRgba = std::function<Rgba(int x, int y)>;  // (x, y) from the top-left

// PNG colour types: 2 (RGB), 6 (RGBA); 8 bits a channel, no compression.
std::vector<std::uint8_t> MakePngRgb(int width, int height, const PixelsRgba& colour);
std::vector<std::uint8_t> MakePngRgba(int width, int height, const PixelsRgba& colour);
// The PNG chunks, for tests that damage a file: signature, then chunks in order.
std::vector<std::uint8_t> PngChunk(const char type[4], const std::vector<std::uint8_t>& data);

// A GIF of up to 128 colours (the palette's alpha is ignored); frames of
// palette indices, each width x height; transparentIndex -1 = none.
std::vector<std::uint8_t> MakeGif(int width, int height, const std::vector<Rgba>& palette,
                                  const std::vector<std::vector<std::uint8_t>>& frames, int transparentIndex = -1);

// An uncompressed true-colour TGA, rows top first: 24 bits, or 32 with alpha.
std::vector<std::uint8_t> MakeTga(int width, int height, const PixelsRgba& colour, bool withAlpha);

// A JPEG of quality 95, written by SDL2_image.
std::vector<std::uint8_t> MakeJpeg(int width, int height, const PixelsRgba& colour);
// An RGB PNG compressed as SDL2_image writes it (as a paint program would).
std::vector<std::uint8_t> MakeCompressedPng(int width, int height, const PixelsRgba& colour);
