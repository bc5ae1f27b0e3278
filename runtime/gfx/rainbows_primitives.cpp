// OpenGLRainbows: untextured lines, rectangles and pixels, and polygons
// built vertex by vertex.
#include <cstdint>

#include "gfx/opengl_rainbows.h"
#include "gl/gl_direct.h"

std::int32_t g_nTexture = 0;

namespace {

float Red(std::uint32_t color) { return static_cast<float>(color & 0xFF) / 255.0f; }
float Green(std::uint32_t color) { return static_cast<float>((color >> 8) & 0xFF) / 255.0f; }
float Blue(std::uint32_t color) { return static_cast<float>((color >> 16) & 0xFF) / 255.0f; }

// Lines, rectangles and pixels: untextured, in the projection moved by
// (+0.375, +0.375), which puts lines and points on pixel centres the same
// way on every rasteriser.
BatchKey PrimitiveKey(GLenum mode)
{
    BatchKey key;
    key.mode = mode;
    key.textured = false;
    key.pixelShift = true;
    return key;
}

void Put(BatchVertex& v, float x, float y, const float* c) { v = {x, y, 0, 0, 0, c[0], c[1], c[2], c[3]}; }

}  // namespace

void OpenGLRainbows::DrawLine(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2,
                              std::uint32_t rgb)
{
    const float c[4] = {alpha * Red(rgb), alpha * Green(rgb), alpha * Blue(rgb), 1};
    BatchVertex* v = AppendVertices(PrimitiveKey(GL_LINES), 4);
    Put(v[0], x1, -y1, c);
    Put(v[1], x2, -y2, c);
    // Lines leave out their last pixel. A one-pixel horizontal line from
    // it sets exactly that pixel, like a point would, and keeps every
    // line of a run in one draw.
    Put(v[2], x2, -y2, c);
    Put(v[3], x2 + 1.0f, -y2, c);
    RestoreAfterPrimitive();
}

void OpenGLRainbows::DrawRect(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2,
                              std::uint32_t rgb)
{
    const float c[4] = {alpha * Red(rgb), alpha * Green(rgb), alpha * Blue(rgb), 1};
    BatchVertex* v = AppendVertices(PrimitiveKey(GL_QUADS), 4);
    Put(v[0], x1, -y2, c);
    Put(v[1], x2, -y2, c);
    Put(v[2], x2, -y1, c);
    Put(v[3], x1, -y1, c);
    RestoreAfterPrimitive();
}

void OpenGLRainbows::DrawPixel(std::int16_t x, std::int16_t y, std::uint32_t rgb)
{
    const float c[4] = {alpha * Red(rgb), alpha * Green(rgb), alpha * Blue(rgb), 1};
    // Drawn at (x + 0.375, -y + 0.375) in the 2D projection, the point
    // lights column x of row y - 1.
    const PixelArea area{x, y - 1, x + 1, y};
    if (!OffDrawingArea(area)) Put(*AppendVertices(PrimitiveKey(GL_POINTS), 1, &area), x, -y, c);
    RestoreAfterPrimitive();
}

void OpenGLRainbows::RestoreAfterPrimitive()
{
    // A primitive leaves the texture selection and the colour as they
    // were chosen, rebinding what something else may have bound since.
    SelectTextures(selection.curTexture, selection.curTexture2, selection.curMipmap);
    CommitTextures();
    if (!colorKnown || color[0] != alpha || color[1] != alpha || color[2] != alpha || color[3] != 1)
        SetColor(alpha, alpha, alpha, 1);
}

void OpenGLRainbows::StartPoly(int slot)
{
    g_nTexture = slot;
    SelectTextures(slot, -1, 0);
    polygonKey = SpriteKey(slot, GL_TRIANGLE_FAN);
    polygonOpen = true;
    AppendVertices(polygonKey, 0);
    CommitTextures();
}

void OpenGLRainbows::PolyPoint(float x, float y, float s, float t, std::uint32_t rgb)
{
    // Corners outside STARTPOLY ... ENDPOLY draw nothing.
    if (!polygonOpen) return;
    // t runs down from the texture's top edge.
    *batch.Continue(1) = {x, -y, 0, s, 1 - t, alpha * Red(rgb), alpha * Green(rgb), alpha * Blue(rgb), 1};
}

void OpenGLRainbows::EndPoly()
{
    if (polygonOpen) Flush2D();
    polygonOpen = false;
    // Texturing on (unit 0), whatever the polygon was.
    RequestUnit0(true, 0, false);
    CommitTextures();
    SetColor(alpha, alpha, alpha, 1);
    gl::direct::Disable(GL_COLOR_MATERIAL);
    // Colour material is not in the shadow: the next commit is made in full.
    committedValid = false;
}
