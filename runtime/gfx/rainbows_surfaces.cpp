// OpenGLRainbows: background surfaces. A surface is a picture cut into
// square tiles (64 pixels from a file, 32 from the screen), so pictures
// larger than the driver's texture limit can be shown.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "gfx/bmp_reader.h"
#include "gfx/picture_reader.h"
#include "gfx/crossfade.h"
#include "gfx/opengl_rainbows.h"
#include "gl/gl_calls.h"
#include "gl/texture_state.h"

namespace {

constexpr int kFileTileSize = 64;
constexpr int kScreenTileSize = 32;

bool ValidSurface(int surface) { return surface >= 0 && surface < kSurfaceCount; }

}  // namespace

bool OpenGLRainbows::LoadSurface(int index, const char* file, bool)
{
    if (!ValidSurface(index)) return false;
    // The file is read once for its sizes and all tiles.
    PictureFile picture;
    if (!ReadPictureFile(file, picture)) return false;
    const std::int32_t w = picture.width, h = picture.height;
    FreeSurface(index);
    if (!picture.pixelsRead) return false;

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
    FinishPending2D();  // the screen as drawn so far
    GLint maxTex = 0;
    gl::GetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTex);
    const int T = maxTex > 0 && maxTex < kScreenTileSize ? maxTex : kScreenTileSize;
    SetTightUnpacking();
    FreeSurface(index);

    // Rows go on past the top of the drawing area (their content is
    // undefined); they are drawn below the picture, off screen.
    OpenGLSurface& surface = surfaces[index];
    int row = 0, columns = 0;
    for (int y = 0; y < window.height + 64 && row < kSurfaceTiles; y += T, ++row) {
        int column = 0;
        for (int x = 0; x < window.width && column < kSurfaceTiles; x += T, ++column) {
            GLuint& tile = surface.tile[column][row];
            gl::GenTextures(1, &tile);
            gl::BindTexture(GL_TEXTURE_2D, tile);
            SetTextureParameters(GL_LINEAR);
            gl::TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, T, T, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
            gl::CopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, window.height - y - T, T, T);
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

    SetAlphaTest(false);
    // Unit 1 off; a primitive drawn last may have left texturing off.
    if (gl::HasMultitexture()) {
        request.setEnabled[1] = true;
        request.enabled[1] = false;
    }
    bool bound = false;
    GLuint lastTile = 0;
    const float* c = CurrentColor();
    int left = 0;
    for (int col = 0; col < columns; ++col) {
        int top = 0;
        for (int r = 0; r < rows; ++r) {
            const float w = surface.tileWidth[col][r];
            const float h = surface.tileHeight[col][r];
            BatchKey key;
            key.mode = GL_QUADS;
            key.textured = true;
            key.texture = lastTile = surface.tile[col][r];
            bound = true;
            BatchVertex* v = AppendVertices(key, 4);
            const float x = static_cast<float>(left), y = static_cast<float>(top);
            v[0] = {x, -(y + h), 0, 0, 0, c[0], c[1], c[2], c[3]};
            v[1] = {x + w, -(y + h), 0, 1, 0, c[0], c[1], c[2], c[3]};
            v[2] = {x + w, -y, 0, 1, 1, c[0], c[1], c[2], c[3]};
            v[3] = {x, -y, 0, 0, 1, c[0], c[1], c[2], c[3]};
            top += surface.tileHeight[col][r];
        }
        if (rows > 0) left += surface.tileWidth[col][rows - 1];
    }
    RequestUnit0(true, lastTile, bound);
    CommitTextures();
    SetAlphaTest(true);
}

void OpenGLRainbows::BlendToSurface(int from, int to)
{
    SetBlending(true, GL_ONE, GL_ONE);
    gl::Clear(GL_COLOR_BUFFER_BIT);
    for (float f : CrossfadeWeights()) {
        SetColor(f, f, f, 1);
        PasteSurface(to);
        SetColor(1 - f, 1 - f, 1 - f, 1);
        PasteSurface(from);
        FlipScreens();
    }
    SetColor(1, 1, 1, 1);
    PasteSurface(to);
    FlipScreens();
    DoAlpha(0);
}
