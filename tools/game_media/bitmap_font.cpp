#include "bitmap_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <vector>

namespace media {

namespace {

constexpr Colour kBlack{0, 0, 0};

// Coverage of one rendered glyph, placed in a cell-sized grid.
struct Coverage {
    int width, height;
    std::vector<double> value;
    double At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        return value[y * width + x];
    }
};

// Renders one character so that it fits its cell with a one-pixel border:
// too-wide glyphs are squeezed horizontally.
bool RenderGlyph(FT_Face face, const FontStyle& style, int code, Coverage& cell)
{
    cell = {style.cellWidth, style.cellHeight, std::vector<double>(style.cellWidth * style.cellHeight, 0.0)};
    const int room = style.cellWidth - 2;
    FT_Matrix squeeze{0x10000, 0, 0, 0x10000};
    for (int attempt = 0; attempt < 2; ++attempt) {
        FT_Set_Transform(face, &squeeze, nullptr);
        if (FT_Load_Char(face, code, FT_LOAD_RENDER) != 0) return false;
        FT_Bitmap& bitmap = face->glyph->bitmap;
        if (static_cast<int>(bitmap.width) > room && attempt == 0) {
            squeeze.xx = static_cast<FT_Fixed>(0x10000 * static_cast<double>(room) / bitmap.width);
            continue;
        }
        const int ascent = static_cast<int>(face->size->metrics.ascender >> 6);
        const int descent = static_cast<int>(-face->size->metrics.descender >> 6);
        const int baseline = 1 + ascent + std::max(0, (style.cellHeight - 2 - ascent - descent) / 2);
        const int left = (style.cellWidth - static_cast<int>(bitmap.width)) / 2;
        const int top = baseline - face->glyph->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row)
            for (unsigned col = 0; col < bitmap.width; ++col) {
                int x = left + static_cast<int>(col), y = top + static_cast<int>(row);
                if (x < 1 || y < 1 || x >= style.cellWidth - 1 || y >= style.cellHeight - 1) continue;
                cell.value[y * cell.width + x] = bitmap.buffer[row * bitmap.pitch + col] / 255.0;
            }
        break;
    }
    FT_Set_Transform(face, nullptr, nullptr);
    return true;
}

}  // namespace

bool DrawBitmapFont(const FontStyle& style, Picture& out, std::string& error)
{
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) {
        error = "FreeType could not start";
        return false;
    }
    FT_Face face;
    if (FT_New_Face(library, style.ttfPath.c_str(), 0, &face) != 0) {
        error = "cannot read the font " + style.ttfPath;
        FT_Done_FreeType(library);
        return false;
    }
    FT_Set_Pixel_Sizes(face, 0, style.pixelSize);
    out = Picture(style.cellWidth * 16, style.cellHeight * 8, kBlack);

    for (int code = 33; code < 127; ++code) {
        Coverage cell;
        if (!RenderGlyph(face, style, code, cell)) continue;
        const int x0 = (code % 16) * style.cellWidth, y0 = (code / 16) * style.cellHeight;
        for (int y = 0; y < style.cellHeight; ++y)
            for (int x = 0; x < style.cellWidth; ++x) {
                double ink = cell.At(x, y);
                double near = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) near = std::max(near, cell.At(x + dx, y + dy));
                Colour fill = Mix(style.fillTop, style.fillBottom, static_cast<double>(y) / (style.cellHeight - 1));
                if (ink >= 0.3)
                    out.Set(x0 + x, y0 + y, Mix(style.border, fill, std::min(1.0, (ink - 0.3) / 0.5)));
                else if (near >= 0.3)
                    out.Set(x0 + x, y0 + y, style.border);
            }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return true;
}

}  // namespace media
