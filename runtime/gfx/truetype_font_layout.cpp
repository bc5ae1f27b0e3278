#include "gfx/truetype_font_layout.h"

#include "gfx/texture_images.h"

bool PlanTrueTypeFontLayout(int cellWidth, int cellHeight, int largestSide, TrueTypeFontLayout* layout)
{
    if (cellWidth <= 0 || cellHeight <= 0 || cellWidth > largestSide || cellHeight > largestSide) return false;
    // Codes 129..255 wrap to cell columns 16 - 15 .. 16 - 1 counted from the
    // right edge, so the grid's 16 columns and those 15 must fit side by
    // side; their rows reach up to cell row 14 from the bottom.
    const int width = NextPowerOfTwo(31 * cellWidth);
    const int height = NextPowerOfTwo(15 * cellHeight);
    if (width > largestSide || height > largestSide) return false;
    *layout = TrueTypeFontLayout{cellWidth, cellHeight, width, height};
    return true;
}

std::uint32_t CodePointOfByte(unsigned char byte)
{
    return byte < 32 || (byte >= 127 && byte < 160) ? 0 : byte;
}

void CellOrigin(const TrueTypeFontLayout& layout, unsigned char byte, int* column, int* row)
{
    // The text drawing's cell of a byte: k = b rem 128 of the signed byte,
    // cell row k quot 16 and column k rem 16 (both toward zero, so negative
    // for bytes 129..255), the cell's corner at texture coordinates
    // (c / 16 * picture width, (7 - r) / 8 * picture height); the texture
    // repeats, so a negative column lands that far left of the right edge.
    const int k = static_cast<std::int8_t>(byte) % 128;
    const int r = k / 16;
    const int c = k % 16;
    const int x = c * layout.cellWidth;
    *column = x < 0 ? x + layout.textureWidth : x;
    *row = (7 - r) * layout.cellHeight;
}

void PlaceGlyph(const TrueTypeFontLayout& layout, unsigned char byte, const platform::TrueTypeGlyph& glyph,
                std::vector<std::uint8_t>& texels)
{
    int column = 0, row = 0;
    CellOrigin(layout, byte, &column, &row);
    const int left = (layout.cellWidth - glyph.width) / 2;
    for (int y = 0; y < glyph.height && y < layout.cellHeight; ++y) {
        // Glyph row y (from the top) is texture row cellHeight - 1 - y of the cell.
        const int ty = row + layout.cellHeight - 1 - y;
        for (int x = 0; x < glyph.width; ++x) {
            const int cx = left + x;
            if (cx < 0 || cx >= layout.cellWidth) continue;
            const std::uint8_t alpha = glyph.coverage[static_cast<std::size_t>(y) * glyph.width + x];
            if (alpha == 0) continue;
            std::uint8_t* texel =
                &texels[4 * (static_cast<std::size_t>(ty) * layout.textureWidth + column + cx)];
            texel[0] = texel[1] = texel[2] = 255;
            texel[3] = alpha;
        }
    }
}
