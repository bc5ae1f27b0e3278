#include "gl/batch2d.h"

#include <algorithm>
#include <cstring>

// The batch's matrix and draw calls go through the guards like everyone's:
// while the batch draws, a guard draws nothing more and only notes that
// the picture changed. Its texture and array calls go straight to OpenGL.
#include "gl/gl_calls.h"

namespace {

constexpr float kPixelShift = 0.375f;

// Magnification and minification filter of the texture bound to unit 0.
void SampleTexture(GLint filter)
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
}

std::size_t Size(const PixelArea& a)
{
    return static_cast<std::size_t>(a.right - a.left) * static_cast<std::size_t>(a.bottom - a.top);
}

}  // namespace

BatchVertex* Batch2D::AppendElsewhere(const BatchKey& key, std::size_t count, GlStateShadow& shadow,
                                      const PixelArea* area, int screenWidth, int screenHeight)
{
    if (!m_enabled) {
        Flush(shadow);
        return StartRun(key, count);
    }
    if (area != nullptr && (screenWidth != m_width || screenHeight != m_height)) {
        Flush(shadow);
        m_width = std::max(screenWidth, 0);
        m_height = std::max(screenHeight, 0);
        m_coverage.assign(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), 0);
        m_bandCoverage.assign(BandsPerRow() * static_cast<std::size_t>(m_height), 0);
        m_coveredTop = m_coveredBottom = 0;
    }
    // The earliest run the primitive may join: none before a run that
    // touches its pixels (or before one of unknown extent).
    PixelArea pixels{};
    bool visible = area != nullptr && OnScreen(*area, pixels);
    // Large primitives are not worth mapping pixel by pixel: like those of
    // unknown extent, nothing later moves before them.
    const bool known = area != nullptr && (!visible || Size(pixels) <= kLargestMapped);
    visible = visible && known;
    // Joining the latest run never moves anything: no need to look.
    const bool latestFits = m_runCount > 0 && m_runs[m_runCount - 1].key.Mergeable(key);
    std::size_t lowest = m_floor;
    if ((!known || latestFits) && m_runCount > 0) lowest = m_runCount - 1;
    // The latest run it could join; it may, unless a later run touches its pixels.
    std::size_t run = m_runCount;
    for (std::size_t r = m_runCount; r > lowest;) {
        --r;
        if (m_runs[r].key.Mergeable(key)) {
            run = r;
            break;
        }
    }
    if (visible && !latestFits && run < m_runCount && CoveredAfter(pixels, static_cast<std::uint8_t>(run + 1)))
        run = m_runCount;
    if (run == m_runCount && m_runCount == kMaxRuns) {
        Flush(shadow);
        run = 0;
    }
    BatchVertex* v = run == m_runCount ? StartRun(key, count) : Extend(m_runs[run], count);
    if (!known) m_floor = run;
    if (visible) Cover(pixels, static_cast<std::uint8_t>(run + 1));
    return v;
}

void Batch2D::NoteJoiningLatest(const PixelArea* area)
{
    const std::size_t run = m_runCount - 1;
    PixelArea pixels{};
    const bool visible = area != nullptr && OnScreen(*area, pixels);
    if (area == nullptr || (visible && Size(pixels) > kLargestMapped))
        m_floor = run;
    else if (visible)
        Cover(pixels, static_cast<std::uint8_t>(run + 1));
}

BatchVertex* Batch2D::StartRun(const BatchKey& key, std::size_t count)
{
    if (m_runCount == m_runs.size()) m_runs.emplace_back();
    Run& run = m_runs[m_runCount++];
    run.key = key;
    run.count = 0;
    return Extend(run, count);
}

void Batch2D::Grow(Run& run, std::size_t count)
{
    const std::size_t capacity = std::max({run.capacity * 2, run.count + count, std::size_t{1024}});
    std::unique_ptr<BatchVertex[]> vertices(new BatchVertex[capacity]);
    if (run.count > 0) std::memcpy(vertices.get(), run.vertices.get(), run.count * sizeof(BatchVertex));
    run.vertices = std::move(vertices);
    run.capacity = capacity;
}

BatchVertex* Batch2D::Continue(std::size_t count)
{
    if (m_runCount == 0) return StartRun(BatchKey{GL_TRIANGLE_FAN}, count);
    return Extend(m_runs[m_runCount - 1], count);
}

bool Batch2D::OnScreen(const PixelArea& area, PixelArea& clipped) const
{
    clipped.left = std::max(area.left, 0);
    clipped.top = std::max(area.top, 0);
    clipped.right = std::min(area.right, m_width);
    clipped.bottom = std::min(area.bottom, m_height);
    return clipped.left < clipped.right && clipped.top < clipped.bottom;
}

bool Batch2D::CoveredAfter(const PixelArea& area, std::uint8_t runNumber) const
{
    if (area.bottom <= m_coveredTop || area.top >= m_coveredBottom) return false;
    const int firstBand = area.left / kBand, lastBand = (area.right - 1) / kBand;
    for (int y = area.top; y < area.bottom; ++y) {
        const std::uint8_t* bands = m_bandCoverage.data() + static_cast<std::size_t>(y) * BandsPerRow();
        const std::uint8_t* row = m_coverage.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width);
        for (int band = firstBand; band <= lastBand; ++band) {
            if (bands[band] <= runNumber) continue;
            // A later run is in this band of the row: is it under the area?
            const int right = std::min(area.right, (band + 1) * kBand);
            for (int x = std::max(area.left, band * kBand); x < right; ++x)
                if (row[x] > runNumber) return true;
        }
    }
    return false;
}

void Batch2D::Cover(const PixelArea& area, std::uint8_t runNumber)
{
    // Marks of the first run never keep a primitive from joining any run
    // (every run is at or after it), so they are not made: a frame of one
    // run neither marks nor clears the map.
    if (runNumber <= 1) return;
    if (m_coveredTop >= m_coveredBottom) {
        m_coveredTop = area.top;
        m_coveredBottom = area.bottom;
    } else {
        m_coveredTop = std::min(m_coveredTop, area.top);
        m_coveredBottom = std::max(m_coveredBottom, area.bottom);
    }
    const int firstBand = area.left / kBand, lastBand = (area.right - 1) / kBand;
    for (int y = area.top; y < area.bottom; ++y) {
        std::memset(m_coverage.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + area.left,
                    runNumber, static_cast<std::size_t>(area.right - area.left));
        // A pixel's number only grows within a frame: a joined run is never
        // before a later one under the same pixels.
        std::uint8_t* bands = m_bandCoverage.data() + static_cast<std::size_t>(y) * BandsPerRow();
        for (int band = firstBand; band <= lastBand; ++band) bands[band] = std::max(bands[band], runNumber);
    }
}

void Batch2D::ClearCoverage()
{
    if (m_coveredTop < m_coveredBottom) {
        const std::size_t top = static_cast<std::size_t>(m_coveredTop);
        const std::size_t rows = static_cast<std::size_t>(m_coveredBottom - m_coveredTop);
        std::memset(m_coverage.data() + top * static_cast<std::size_t>(m_width), 0,
                    rows * static_cast<std::size_t>(m_width));
        std::memset(m_bandCoverage.data() + top * BandsPerRow(), 0, rows * BandsPerRow());
    }
    m_coveredTop = m_coveredBottom = 0;
}

void Batch2D::Flush(GlStateShadow& shadow)
{
    // Drawing calls guarded functions of its own; they must not re-enter.
    if (Empty() || m_flushing) return;
    m_flushing = true;
    ++m_flushes;
    for (std::size_t r = 0; r < m_runCount; ++r) DrawRun(m_runs[r], shadow);
    m_runCount = 0;
    m_floor = 0;
    ClearCoverage();
    m_flushing = false;
}

void Batch2D::DrawRun(const Run& run, GlStateShadow& shadow)
{
    const BatchKey& key = run.key;
    if (run.count == 0) return;
    const GlStateShadow::Units before = shadow.Current();
    GlStateShadow::Units drawing = before;
    drawing.enabled[1] = false;
    drawing.enabled[0] = key.textured;
    if (key.textured) drawing.bound[0] = key.texture;
    shadow.Apply(drawing);

    const BatchVertex* v = run.vertices.get();
    constexpr GLsizei stride = sizeof(BatchVertex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    // Lines, points and rectangles lie in the plane z = 0, which is what
    // OpenGL makes of two coordinates: the driver fetches one fewer.
    glVertexPointer(key.pixelShift ? 2 : 3, GL_FLOAT, stride, &v->x);
    glColorPointer(4, GL_FLOAT, stride, &v->r);
    if (key.textured) {
        if (gl::HasMultitexture()) gl::Extensions().clientActiveTexture(GL_TEXTURE0_ARB);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, &v->s);
    }
    if (key.pixelShift) {
        gl::MatrixMode(GL_PROJECTION);
        gl::Translatef(kPixelShift, kPixelShift, 0);
        gl::MatrixMode(GL_MODELVIEW);
    }
    // Sprite textures sample linearly everywhere else (scaled, turned, in
    // 3D): nearest holds only for this draw.
    const bool nearest = key.textured && key.nearest;
    if (nearest) SampleTexture(GL_NEAREST);
    gl::DrawArrays(key.mode, 0, static_cast<GLsizei>(run.count));
    if (nearest) SampleTexture(GL_LINEAR);
    if (key.pixelShift) {
        gl::MatrixMode(GL_PROJECTION);
        gl::Translatef(-kPixelShift, -kPixelShift, 0);
        gl::MatrixMode(GL_MODELVIEW);
    }
    // The rest of the runtime draws with arrays of its own and expects
    // every array off.
    if (key.textured) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    shadow.Apply(before);
}

