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

class Batch2D {
public:
    // Disabled, every primitive is a draw of its own (KV_NO_BATCH=1).
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool Empty() const { return m_vertices.empty(); }
    bool Flushing() const { return m_flushing; }
    // True when vertices drawn with `key` would join the pending ones.
    bool Accepts(const BatchKey& key) const { return m_enabled && m_key.Mergeable(key); }

    // Room for `count` vertices drawn with `key`; pending vertices drawn
    // another way are drawn first. The pointer is valid until the next call.
    BatchVertex* Append(const BatchKey& key, std::size_t count, GlStateShadow& shadow);
    // Continues the open polygon (same key, never drawn in between).
    BatchVertex* Continue(std::size_t count);

    // Draws what is pending and leaves the texture units as they were.
    void Flush(GlStateShadow& shadow);

private:
    bool m_enabled = true;
    bool m_flushing = false;
    BatchKey m_key;
    std::vector<BatchVertex> m_vertices;
};
