// OpenGLRainbows: untextured lines, rectangles and pixels, and polygons
// built vertex by vertex.
#include <cstdint>

#include "gfx/opengl_rainbows.h"

std::int32_t g_nTexture = 0;

namespace {

// The projection's shift by (+0.375, +0.375) puts lines and points on pixel
// centres the same way on every rasteriser.
constexpr float kPixelShift = 0.375f;

float Red(std::uint32_t color) { return static_cast<float>(color & 0xFF) / 255.0f; }
float Green(std::uint32_t color) { return static_cast<float>((color >> 8) & 0xFF) / 255.0f; }
float Blue(std::uint32_t color) { return static_cast<float>((color >> 16) & 0xFF) / 255.0f; }

// Untextured drawing in a colour, with the pixel shift; the texture
// selection, colour and projection are put back afterwards.
class PrimitiveScope {
public:
    PrimitiveScope(OpenGLRainbows& renderer, std::uint32_t color)
        : m_renderer(renderer), m_first(renderer.curTexture), m_second(renderer.curTexture2),
          m_mipmap(renderer.curMipmap)
    {
        m_renderer.SetTexture3D(-1, -1, 0);
        const float a = m_renderer.alpha;
        glColor4f(a * Red(color), a * Green(color), a * Blue(color), 1);
        glMatrixMode(GL_PROJECTION);
        glTranslatef(kPixelShift, kPixelShift, 0);
        glMatrixMode(GL_MODELVIEW);
    }
    ~PrimitiveScope()
    {
        glMatrixMode(GL_PROJECTION);
        glTranslatef(-kPixelShift, -kPixelShift, 0);
        glMatrixMode(GL_MODELVIEW);
        const float a = m_renderer.alpha;
        glColor4f(a, a, a, 1);
        m_renderer.SetTexture3D(m_first, m_second, m_mipmap);
    }
    PrimitiveScope(const PrimitiveScope&) = delete;
    PrimitiveScope& operator=(const PrimitiveScope&) = delete;

private:
    OpenGLRainbows& m_renderer;
    int m_first, m_second, m_mipmap;
};

}  // namespace

void OpenGLRainbows::DrawLine(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2,
                              std::uint32_t color)
{
    PrimitiveScope scope(*this, color);
    glBegin(GL_LINES);
    glVertex2i(x1, -y1);
    glVertex2i(x2, -y2);
    glEnd();
    // Lines leave out their last pixel; this sets it too.
    glBegin(GL_POINTS);
    glVertex2i(x2, -y2);
    glEnd();
}

void OpenGLRainbows::DrawRect(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2,
                              std::uint32_t color)
{
    PrimitiveScope scope(*this, color);
    glBegin(GL_QUADS);
    glVertex2i(x1, -y2);
    glVertex2i(x2, -y2);
    glVertex2i(x2, -y1);
    glVertex2i(x1, -y1);
    glEnd();
}

void OpenGLRainbows::DrawPixel(std::int16_t x, std::int16_t y, std::uint32_t color)
{
    PrimitiveScope scope(*this, color);
    glBegin(GL_POINTS);
    glVertex2i(x, -y);
    glEnd();
}

void OpenGLRainbows::StartPoly(int slot)
{
    g_nTexture = slot;
    SetTexture3D(slot, -1, 0);
    glBegin(GL_TRIANGLE_FAN);
}

void OpenGLRainbows::PolyPoint(float x, float y, float s, float t, std::uint32_t color)
{
    // t runs down from the texture's top edge.
    if (g_nTexture >= 0) glTexCoord2f(s, 1 - t);
    glColor4f(alpha * Red(color), alpha * Green(color), alpha * Blue(color), 1);
    glVertex2f(x, -y);
}

void OpenGLRainbows::EndPoly()
{
    glEnd();
    glEnable(GL_TEXTURE_2D);
    glColor4f(alpha, alpha, alpha, 1);
    glDisable(GL_COLOR_MATERIAL);
}
