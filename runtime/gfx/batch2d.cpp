#include "gfx/batch2d.h"

#include "gfx/opengl_rainbows.h"

namespace {

constexpr float kPixelShift = 0.375f;

}  // namespace

BatchVertex* Batch2D::Append(const BatchKey& key, std::size_t count, GlStateShadow& shadow)
{
    if (!m_vertices.empty() && !Accepts(key)) Flush(shadow);
    m_key = key;
    return Continue(count);
}

BatchVertex* Batch2D::Continue(std::size_t count)
{
    const std::size_t first = m_vertices.size();
    m_vertices.resize(first + count);
    return m_vertices.data() + first;
}

void Batch2D::Flush(GlStateShadow& shadow)
{
    // Drawing calls guarded functions of its own; they must not re-enter.
    if (m_vertices.empty() || m_flushing) return;
    m_flushing = true;
    const GlStateShadow::Units before = shadow.Current();
    GlStateShadow::Units drawing = before;
    drawing.enabled[1] = false;
    drawing.enabled[0] = m_key.textured;
    if (m_key.textured) drawing.bound[0] = m_key.texture;
    shadow.Apply(drawing);

    const BatchVertex* v = m_vertices.data();
    constexpr GLsizei stride = sizeof(BatchVertex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, &v->x);
    glColorPointer(4, GL_FLOAT, stride, &v->r);
    if (m_key.textured) {
        if (GlStateShadow::HasMultitexture()) glClientActiveTextureARB(GL_TEXTURE0_ARB);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, &v->s);
    }
    if (m_key.pixelShift) {
        glMatrixMode(GL_PROJECTION);
        glTranslatef(kPixelShift, kPixelShift, 0);
        glMatrixMode(GL_MODELVIEW);
    }
    glDrawArrays(m_key.mode, 0, static_cast<GLsizei>(m_vertices.size()));
    if (m_key.pixelShift) {
        glMatrixMode(GL_PROJECTION);
        glTranslatef(-kPixelShift, -kPixelShift, 0);
        glMatrixMode(GL_MODELVIEW);
    }
    // The rest of the runtime draws with arrays of its own and expects
    // every array off.
    if (m_key.textured) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    shadow.Apply(before);
    m_vertices.clear();
    m_flushing = false;
}
