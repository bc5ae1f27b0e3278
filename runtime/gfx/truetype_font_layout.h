// Where the glyphs of a TrueType font go in a font slot's texture, so that
// the bitmap-font text drawing shows all 256 Latin-1 characters unchanged:
// codes 0 to 127 fill the 16 x 8 grid of cells that is the slot's picture,
// and each code 129 to 255 sits exactly where its negative cell index,
// wrapped by the repeating texture, points: to the right of the picture
// (cell columns -15 to -1 wrap to the texture's right edge) or above it
// (cell rows -7 to -1 wrap to rows 8 to 14). No OpenGL here.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

// Pixel sizes a TrueType font is rendered at, and the largest side of its
// texture (4096 x 4096 RGBA is 64 MiB): a size whose texture would be
// larger is lowered until it fits.
constexpr int kSmallestTrueTypeSize = 4;
constexpr int kLargestTrueTypeSize = 128;
constexpr int kLargestTrueTypeTexture = 4096;

// Sizes of one TrueType font slot: cells of cellWidth x cellHeight pixels,
// the picture 16 x 8 cells, the texture textureWidth x textureHeight.
struct TrueTypeFontLayout {
    int cellWidth = 0;
    int cellHeight = 0;
    int textureWidth = 0;
    int textureHeight = 0;
    int PictureWidth() const { return 16 * cellWidth; }
    int PictureHeight() const { return 8 * cellHeight; }
};

// The smallest power-of-two texture that holds the grid and, beside and
// above it, the cells the codes 129 to 255 wrap onto: at least 31 cells
// wide and 15 cells high. False when a side would exceed largestSide.
bool PlanTrueTypeFontLayout(int cellWidth, int cellHeight, int largestSide, TrueTypeFontLayout* layout);

// The Unicode code point a font byte shows (Latin-1 is Unicode's first 256
// code points); 0 for the bytes drawn blank: controls 0 to 31 and 127 to 159.
std::uint32_t CodePointOfByte(unsigned char byte);

// Texel column and row (row 0 at the texture's bottom) of the lower-left
// corner of the cell that the text drawing shows for `byte`.
void CellOrigin(const TrueTypeFontLayout& layout, unsigned char byte, int* column, int* row);

// Writes a glyph into its byte's cell of the RGBA texels (rows bottom
// first, textureWidth x textureHeight): white with the glyph's coverage as
// alpha, centred across the cell, its top row at the cell's top. Rows and
// columns beyond the cell are left out.
void PlaceGlyph(const TrueTypeFontLayout& layout, unsigned char byte, const platform::TrueTypeGlyph& glyph,
                std::vector<std::uint8_t>& texels);
