// OpenGLRainbows: background surfaces. A surface is a picture cut into
// square tiles (64 pixels from a file, 32 from the screen), so pictures
// larger than the driver's texture limit can be shown.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "gfx/bmp_reader.h"
#include "gfx/crossfade.h"
#include "gfx/opengl_rainbows.h"
#include "gfx/texture_state.h"

namespace {

constexpr int kFileTileSize = 64;
constexpr int kScreenTileSize = 32;

bool ValidSurface(int surface) { return surface >= 0 && surface < kSurfaceCount; }

}  // namespace

bool OpenGLRainbows::LoadSurface(int index, const char* file, bool)
{
    if (!ValidSurface(index)) return false;
    std::int32_t w = 0, h = 0;
    GetBMPSize(file, w, h);
    if (w == 0 || h == 0) return false;
    FreeSurface(index);

    // The file is read once for all tiles.
    std::vector<std::uint8_t> bytes;
    BmpPicture picture;
    if (!ReadWholeFile(file, bytes) || !ParseBmpPicture(bytes.data(), bytes.size(), picture)) return false;

    // The record has room for 64 x 64 tiles (4096 x 4096 pixels); a larger
    // picture is cut off at its right and bottom there.
    OpenGLSurface& surface = surfaces[index];
    int row = 0;
    for (int y = 0; y < h && row < kSurfaceTiles; y += kFileTileSize, ++row) {
        int column = 0;
        for (int x = 0; x < w && column < kSurfaceTiles; x += kFileTileSize, ++column) {
            MakePictureTexture(picture, x, y, kFileTileSize, kFileTileSize, &surface.tile[column][row], nullptr,
                               0, false, false);
            surface.tileWidth[column][row] = kFileTileSize;
            surface.tileHeight[column][row] = kFileTileSize;
        }
        if (column > surface.columns) surface.columns = static_cast<std::int8_t>(column);
    }
    surface.rows = static_cast<std::int8_t>(row);
    return true;
}

void OpenGLRainbows::GrabSurface(int index)
{
    if (!ValidSurface(index)) return;
    GLint maxTex = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTex);
    const int T = maxTex > 0 && maxTex < kScreenTileSize ? maxTex : kScreenTileSize;
    SetTightUnpacking();
    FreeSurface(index);

    // Rows go on past the top of the drawing area (their content is
    // undefined); they are drawn below the picture, off screen.
    OpenGLSurface& surface = surfaces[index];
    int row = 0, columns = 0;
    for (int y = 0; y < height + 64 && row < kSurfaceTiles; y += T, ++row) {
        int column = 0;
        for (int x = 0; x < width && column < kSurfaceTiles; x += T, ++column) {
            GLuint& tile = surface.tile[column][row];
            glGenTextures(1, &tile);
            glBindTexture(GL_TEXTURE_2D, tile);
            SetTextureParameters(GL_LINEAR);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, T, T, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
            glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, height - y - T, T, T);
            surface.tileWidth[column][row] = static_cast<std::int16_t>(T);
            surface.tileHeight[column][row] = static_cast<std::int16_t>(T);
        }
        columns = column;
    }
    surface.columns = static_cast<std::int8_t>(columns);
    surface.rows = static_cast<std::int8_t>(row);
}

void OpenGLRainbows::PasteSurface(int index)
{
    if (!ValidSurface(index)) return;
    const OpenGLSurface& surface = surfaces[index];
    const int columns = std::abs(surface.columns) < kSurfaceTiles ? std::abs(surface.columns) : kSurfaceTiles;
    const int rows = std::abs(surface.rows) < kSurfaceTiles ? std::abs(surface.rows) : kSurfaceTiles;

    glDisable(GL_ALPHA_TEST);
    if (glMultiTexCoord2fARB != nullptr && glActiveTextureARB != nullptr) {
        glActiveTextureARB(GL_TEXTURE1_ARB);
        glDisable(GL_TEXTURE_2D);
        glActiveTextureARB(GL_TEXTURE0_ARB);
    }
    // A primitive drawn last may have left texturing off.
    glEnable(GL_TEXTURE_2D);

    int left = 0;
    for (int c = 0; c < columns; ++c) {
        int top = 0;
        for (int r = 0; r < rows; ++r) {
            const int w = surface.tileWidth[c][r];
            const int h = surface.tileHeight[c][r];
            glBindTexture(GL_TEXTURE_2D, surface.tile[c][r]);
            glBegin(GL_QUADS);
            glTexCoord2f(0, 0); glVertex2i(left, -(top + h));
            glTexCoord2f(1, 0); glVertex2i(left + w, -(top + h));
            glTexCoord2f(1, 1); glVertex2i(left + w, -top);
            glTexCoord2f(0, 1); glVertex2i(left, -top);
            glEnd();
            top += h;
        }
        if (rows > 0) left += surface.tileWidth[c][rows - 1];
    }
    glEnable(GL_ALPHA_TEST);
}

void OpenGLRainbows::BlendToSurface(int from, int to)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glClear(GL_COLOR_BUFFER_BIT);
    for (float f : CrossfadeWeights()) {
        glColor4f(f, f, f, 1);
        PasteSurface(to);
        glColor4f(1 - f, 1 - f, 1 - f, 1);
        PasteSurface(from);
        FlipScreens();
    }
    glColor4f(1, 1, 1, 1);
    PasteSurface(to);
    FlipScreens();
    DoAlpha(0);
}
