// The 2D batch: sprites, text, pixels, lines, rectangles, polygons,
// surfaces, particles and billboards append their vertices to one
// client-side array, and consecutive primitives that draw the same way go
// to OpenGL as a single glDrawArrays. A draw is issued when the way of
// drawing changes (texture, primitive type, pixel shift) and before
// anything that depends on the picture or on the GL state; blending, the
// alpha test and the matrices are changed only after pending vertices were
// drawn, so every primitive is drawn in the state of its own command and in
// the order of the commands.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/gl_state_shadow.h"

struct BatchVertex {
    float x, y, z;
    float s, t;
    float r, g, b, a;
};

// How a run of vertices is drawn. Quads drawn as fans are stored as two
// triangles each, in the order OpenGL splits a four-corner fan, so the
// rasterised pixels are the same.
struct BatchKey {
    GLenum mode = GL_TRIANGLES;
    bool textured = false;
    GLuint texture = 0;
    // Lines, points and rectangles: the projection moved by +0.375 pixels.
    bool pixelShift = false;
    // A polygon is one triangle fan: it never shares a draw.
    bool Mergeable(const BatchKey& o) const
    {
        return mode == o.mode && mode != GL_TRIANGLE_FAN && textured == o.textured &&
               (!textured || texture == o.texture) && pixelShift == o.pixelShift;
    }
};

// The pixels a primitive may touch, in screen pixels from the top-left:
// columns left..right-1, rows top..bottom-1.
struct PixelArea {
    int left, top, right, bottom;
};

// Pixels (SETPIXEL) that come between primitives of another kind wait in a
// side run, drawn right after the main run. A later primitive joins the
// main run only when it touches none of the waiting pixels, so moving it
// before them changes no pixel; otherwise both runs are drawn first.
class Batch2D {
public:
    // Disabled, every primitive is a draw of its own (KV_NO_BATCH=1).
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool Empty() const { return m_vertices.empty() && m_side.empty(); }
    bool Flushing() const { return m_flushing; }
    // Draws issued so far (so callers can tell that Append drew).
    std::size_t Flushes() const { return m_flushes; }
    // True when vertices drawn with `key` would join the pending ones.
    bool Accepts(const BatchKey& key) const { return m_enabled && m_key.Mergeable(key); }

    // Room for `count` vertices drawn with `key`; pending vertices drawn
    // another way are drawn first. The pointer is valid until the next call.
    // `area` (null: unknown) lets primitives and pixels share the batch.
    BatchVertex* Append(const BatchKey& key, std::size_t count, GlStateShadow& shadow,
                        const PixelArea* area = nullptr, int screenWidth = 0, int screenHeight = 0);
    // Continues the open polygon (same key, never drawn in between).
    BatchVertex* Continue(std::size_t count);

    // Draws what is pending and leaves the texture units as they were.
    void Flush(GlStateShadow& shadow);

private:
    void DrawRun(const BatchKey& key, const std::vector<BatchVertex>& vertices, GlStateShadow& shadow);
    // The waiting pixels, widened by one pixel each way, as a bit grid.
    void MarkSide(const PixelArea& area, int screenWidth, int screenHeight);
    bool SideTouches(const PixelArea& area) const;
    void ClearSide();

    bool m_enabled = true;
    BatchKey m_sideKey;
    std::vector<BatchVertex> m_side;
    int m_gridWidth = 0, m_gridHeight = 0, m_wordsPerRow = 0;
    std::vector<std::uint64_t> m_grid;
    std::vector<std::size_t> m_markedWords;
    bool m_flushing = false;
    std::size_t m_flushes = 0;
    BatchKey m_key;
    std::vector<BatchVertex> m_vertices;
};
