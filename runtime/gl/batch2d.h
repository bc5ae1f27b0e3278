// The 2D batch: sprites, text, pixels, lines, rectangles, polygons,
// surfaces, particles and billboards append their vertices to one
// client-side array, and primitives that draw the same way go to OpenGL as
// a single glDrawArrays. What is pending is drawn before anything that
// depends on the picture or on the GL state; blending, the
// alpha test and the matrices are changed only after pending vertices were
// drawn, so every primitive is drawn in the state of its own command and in
// the order of the commands.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "gl/gl_state_shadow.h"

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
    // Every pixel centre lands on a texel centre (a picture at its own size
    // on whole pixels): nearest sampling gives the pixels linear sampling
    // would, at less cost to the rasteriser.
    bool nearest = false;
    // A polygon is one triangle fan: it never shares a draw.
    bool Mergeable(const BatchKey& o) const
    {
        return mode == o.mode && mode != GL_TRIANGLE_FAN && textured == o.textured &&
               (!textured || (texture == o.texture && nearest == o.nearest)) && pixelShift == o.pixelShift;
    }
};

// The pixels a primitive lights, in screen pixels from the top-left:
// columns left..right-1, rows top..bottom-1. It must hold every pixel the
// primitive can change, or the batch may draw it in the wrong order.
struct PixelArea {
    int left, top, right, bottom;
};

// Pending primitives wait in runs, drawn in order, one glDrawArrays each.
// A primitive joins the latest run that draws the same way unless a run
// after that one touches any of its pixels: moving it before primitives it
// does not overlap changes no pixel. So tiles of a few textures laid out
// in turns, and the pixels dotted over them, become a few draws. Which run
// last touched each screen pixel is kept in a coverage map; primitives of
// unknown extent touch everything.
class Batch2D {
public:
    // Disabled, every primitive is a draw of its own (KV_NO_BATCH=1).
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool Empty() const { return m_runCount == 0; }
    bool Flushing() const { return m_flushing; }
    // Draws issued so far (so callers can tell that Append drew).
    std::size_t Flushes() const { return m_flushes; }

    // Room for `count` vertices drawn with `key`. Pending vertices are
    // drawn first when the runs are full or the screen size changed. The
    // pointer is valid until the next call. `area` (null: unknown) lets the
    // primitive join an earlier run.
    BatchVertex* Append(const BatchKey& key, std::size_t count, GlStateShadow& shadow,
                        const PixelArea* area = nullptr, int screenWidth = 0, int screenHeight = 0)
    {
        // The common case, kept inline: the primitive draws like the
        // latest run, so it joins that run and moves before nothing.
        if (m_runCount > 0 && m_enabled && (area == nullptr || (screenWidth == m_width && screenHeight == m_height))) {
            Run& latest = m_runs[m_runCount - 1];
            if (latest.key.Mergeable(key)) {
                if (m_runCount > 1) NoteJoiningLatest(area);
                return Extend(latest, count);
            }
        }
        return AppendElsewhere(key, count, shadow, area, screenWidth, screenHeight);
    }
    // Continues the open polygon (the latest run, never drawn in between).
    BatchVertex* Continue(std::size_t count);

    // Draws what is pending and leaves the texture units as they were.
    void Flush(GlStateShadow& shadow);

private:
    // A run's vertices. Storage grows without clearing what the caller is
    // about to write anyway, and is kept from one frame to the next.
    struct Run {
        BatchKey key;
        std::unique_ptr<BatchVertex[]> vertices;
        std::size_t count = 0, capacity = 0;
    };
    // Run numbers are kept per pixel in a byte (0: no run).
    static constexpr std::size_t kMaxRuns = 255;
    // Primitives of more pixels than this count as of unknown extent.
    static constexpr std::size_t kLargestMapped = 64 * 64;

    BatchVertex* AppendElsewhere(const BatchKey& key, std::size_t count, GlStateShadow& shadow,
                                 const PixelArea* area, int screenWidth, int screenHeight);
    // What a primitive joining the latest run (not the first) leaves for
    // the primitives after it: its pixels marked, or the floor raised.
    void NoteJoiningLatest(const PixelArea* area);
    BatchVertex* StartRun(const BatchKey& key, std::size_t count);
    BatchVertex* Extend(Run& run, std::size_t count)
    {
        if (run.capacity - run.count < count) Grow(run, count);
        BatchVertex* v = run.vertices.get() + run.count;
        run.count += count;
        return v;
    }
    static void Grow(Run& run, std::size_t count);
    // The pixels of `area` on screen; false when none are.
    bool OnScreen(const PixelArea& area, PixelArea& clipped) const;
    // Whether a run after run number `runNumber` (1 + its index) touches `area`.
    bool CoveredAfter(const PixelArea& area, std::uint8_t runNumber) const;
    std::size_t BandsPerRow() const { return static_cast<std::size_t>((m_width + kBand - 1) / kBand); }
    void Cover(const PixelArea& area, std::uint8_t runNumber);
    void ClearCoverage();
    void DrawRun(const Run& run, GlStateShadow& shadow);

    bool m_enabled = true;
    bool m_flushing = false;
    std::size_t m_flushes = 0;
    // Runs in drawing order; the objects stay to keep their storage.
    std::vector<Run> m_runs;
    std::size_t m_runCount = 0;
    // No primitive may join a run before this one: a primitive of unknown
    // extent is in it.
    std::size_t m_floor = 0;
    int m_width = 0, m_height = 0;
    std::vector<std::uint8_t> m_coverage;
    // The highest run number in each band of kBand pixels of a row, so that
    // a primitive looks at single pixels only where a later run is near.
    static constexpr int kBand = 32;
    std::vector<std::uint8_t> m_bandCoverage;
    int m_coveredTop = 0, m_coveredBottom = 0;  // rows holding marks
};
