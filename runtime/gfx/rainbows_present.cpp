// OpenGLRainbows: the 2D state every frame starts from, the clock, pacing
// and presenting.
#include "core/runtime_state.h"
#include "gfx/frame_pacing.h"
#include "gfx/opengl_rainbows.h"
#include "gfx/render_state.h"
#include "gl/gl_calls.h"

#include <cmath>
#include <cstdint>

namespace {

// The real world for pacing: the renderer's clock, sleeping, and the
// window messages that reach the window procedure while we wait.
class RendererClock : public PacingClock {
public:
    explicit RendererClock(const OpenGLRainbows& renderer) : m_renderer(renderer) {}
    double Now() override { return m_renderer.AccurateTime(); }
    void SleepUntil(double ms) override
    {
        const RendererTimer& timer = m_renderer.timer;
        if (timer.usePerfCounter)
            platform::SleepUntilCount(static_cast<std::uint64_t>(std::ceil(ms * timer.perfFrequency / 1000.0)));
        else
            platform::SleepMilliseconds(ms - Now());
    }
    void PumpMessages() override { PumpWindowMessages(); }
    double MessageLeadMs() override { return platform::SleepsPrecisely() ? PacingClock::MessageLeadMs() : 0; }

private:
    const OpenGLRainbows& m_renderer;
};

}  // namespace

void OpenGLRainbows::Make2DViewport()
{
    gl::Viewport(0, 0, window.width, window.height);
    gl::MatrixMode(GL_PROJECTION);
    gl::LoadIdentity();
    gl::Ortho(0, window.width, -window.height, 0, -1, 1);
    gl::MatrixMode(GL_MODELVIEW);
    gl::LoadIdentity();

    SetPassRenderState(PassKind::Flat2D);
    plainProjection = true;
}

void OpenGLRainbows::SetupAccurateTimer()
{
    timer.usePerfCounter = 0;
    const std::uint64_t frequency = platform::PerformanceFrequency();
    if (static_cast<std::int64_t>(frequency) > 0) {
        timer.perfFrequency = static_cast<double>(frequency);
        timer.usePerfCounter = 1;
    }
}

double OpenGLRainbows::AccurateTime() const
{
    if (timer.usePerfCounter)
        return static_cast<double>(platform::PerformanceCounter()) * 1000.0 / timer.perfFrequency;
    return platform::Milliseconds();
}

void OpenGLRainbows::SetMaxFPS(int fps)
{
    timer.frameTime = fps > 0 ? 1000.0 / fps : 2.0;
}

double OpenGLRainbows::FlipScreens()
{
    // A frame that drew nothing still holds the colour of the last clear:
    // the window shows that colour without the area being copied, and the
    // area (colour and depth) needs no clearing.
    const bool blank = !pictureDrawn;
    FinishPending2D();  // the frame is complete before it is shown
    gl::Flush();
    const bool kept = platform::PresentFrame(window.hWnd, blank ? clearedTo : nullptr);
    if (!blank || !kept) {
        gl::GetFloatv(GL_COLOR_CLEAR_VALUE, clearedTo);
        gl::Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    pictureDrawn = false;
    if (platform::UnpacedFrames()) {
        // Automated runs present as fast as they draw; the grid restarts.
        const double t0 = AccurateTime();
        WinMessages();
        timer.nextFrameTime = AccurateTime();
        return (timer.nextFrameTime - t0) + 1;
    }
    RendererClock clock(*this);
    return PaceToNextFrame(timer.nextFrameTime, timer.frameTime, clock);
}
