// Bitmap fonts in the runtime's layout: 16 x 8 equal cells, the cell in
// column c and row r holding character 16 r + c, black (transparent)
// around the glyphs. Glyphs are rendered from a TrueType font with
// FreeType, filled with a vertical gradient and given a dark border so
// they read on any background.
#pragma once

#include <string>

#include "picture.h"

namespace media {

struct FontStyle {
    std::string ttfPath;
    int cellWidth;
    int cellHeight;
    int pixelSize;     // em size the glyphs are rendered at
    Colour fillTop;    // gradient of the glyph body, top to bottom
    Colour fillBottom;
    Colour border;
};

// Draws every printable ASCII character (32 to 126); false when the
// TrueType file cannot be read. error says why.
bool DrawBitmapFont(const FontStyle& style, Picture& out, std::string& error);

}  // namespace media
