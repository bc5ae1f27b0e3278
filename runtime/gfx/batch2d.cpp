#include "gfx/batch2d.h"

#include <algorithm>

#include "gfx/opengl_rainbows.h"

namespace {

constexpr float kPixelShift = 0.375f;

}  // namespace

BatchVertex* Batch2D::Append(const BatchKey& key, std::size_t count, GlStateShadow& shadow, const PixelArea* area,
                             int screenWidth, int screenHeight)
{
    if (m_enabled && !m_vertices.empty()) {
        if (m_key.Mergeable(key)) {
            if (m_side.empty() || (area != nullptr && !SideTouches(*area))) return Continue(count);
        } else if (key.mode == GL_POINTS && area != nullptr && (m_side.empty() || m_sideKey.Mergeable(key))) {
            // A pixel after the main run's primitives: it waits beside them.
            m_sideKey = key;
            MarkSide(*area, screenWidth, screenHeight);
            const std::size_t first = m_side.size();
            m_side.resize(first + count);
            return m_side.data() + first;
        }
    }
    if (!Empty()) Flush(shadow);
    m_key = key;
    return Continue(count);
}

void Batch2D::MarkSide(const PixelArea& area, int screenWidth, int screenHeight)
{
    if (m_side.empty() && (screenWidth != m_gridWidth || screenHeight != m_gridHeight)) {
        m_gridWidth = screenWidth > 0 ? screenWidth : 0;
        m_gridHeight = screenHeight > 0 ? screenHeight : 0;
        m_wordsPerRow = (m_gridWidth + 63) / 64;
        m_grid.assign(static_cast<std::size_t>(m_wordsPerRow) * static_cast<std::size_t>(m_gridHeight), 0);
    }
    for (int y = std::max(area.top - 1, 0); y < std::min(area.bottom + 1, m_gridHeight); ++y)
        for (int x = std::max(area.left - 1, 0); x < std::min(area.right + 1, m_gridWidth); ++x) {
            const std::size_t word = static_cast<std::size_t>(y) * m_wordsPerRow + static_cast<std::size_t>(x / 64);
            if (m_grid[word] == 0) m_markedWords.push_back(word);
            m_grid[word] |= std::uint64_t{1} << (x % 64);
        }
}

bool Batch2D::SideTouches(const PixelArea& area) const
{
    const int left = std::max(area.left, 0), right = std::min(area.right, m_gridWidth);
    if (left >= right) return false;
    for (int y = std::max(area.top, 0); y < std::min(area.bottom, m_gridHeight); ++y) {
        const std::uint64_t* row = m_grid.data() + static_cast<std::size_t>(y) * m_wordsPerRow;
        for (int x = left; x < right;) {
            const int bit = x % 64;
            const int bits = std::min(64 - bit, right - x);
            const std::uint64_t mask = (bits == 64 ? ~std::uint64_t{0} : ((std::uint64_t{1} << bits) - 1)) << bit;
            if (row[x / 64] & mask) return true;
            x += bits;
        }
    }
    return false;
}

void Batch2D::ClearSide()
{
    for (std::size_t word : m_markedWords) m_grid[word] = 0;
    m_markedWords.clear();
    m_side.clear();
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
    if (Empty() || m_flushing) return;
    m_flushing = true;
    ++m_flushes;
    DrawRun(m_key, m_vertices, shadow);
    DrawRun(m_sideKey, m_side, shadow);
    m_vertices.clear();
    ClearSide();
    m_flushing = false;
}

void Batch2D::DrawRun(const BatchKey& key, const std::vector<BatchVertex>& vertices, GlStateShadow& shadow)
{
    if (vertices.empty()) return;
    const GlStateShadow::Units before = shadow.Current();
    GlStateShadow::Units drawing = before;
    drawing.enabled[1] = false;
    drawing.enabled[0] = key.textured;
    if (key.textured) drawing.bound[0] = key.texture;
    shadow.Apply(drawing);

    const BatchVertex* v = vertices.data();
    constexpr GLsizei stride = sizeof(BatchVertex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, &v->x);
    glColorPointer(4, GL_FLOAT, stride, &v->r);
    if (key.textured) {
        if (GlStateShadow::HasMultitexture()) glClientActiveTextureARB(GL_TEXTURE0_ARB);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, &v->s);
    }
    if (key.pixelShift) {
        glMatrixMode(GL_PROJECTION);
        glTranslatef(kPixelShift, kPixelShift, 0);
        glMatrixMode(GL_MODELVIEW);
    }
    glDrawArrays(key.mode, 0, static_cast<GLsizei>(vertices.size()));
    if (key.pixelShift) {
        glMatrixMode(GL_PROJECTION);
        glTranslatef(-kPixelShift, -kPixelShift, 0);
        glMatrixMode(GL_MODELVIEW);
    }
    // The rest of the runtime draws with arrays of its own and expects
    // every array off.
    if (key.textured) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    shadow.Apply(before);
}
