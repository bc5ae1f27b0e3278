// 2D drawing through the runtime's commands against raw OpenGL arrays of the
// same primitives, in one process, interleaved. Run under a display (Xvfb
// in CI), from a release build:
//   xvfb-run -a -s "-screen 0 1024x768x24" build-rel/bench/bench_sprite_throughput
//
// A "frame" is N commands followed by glFinish, so wall time includes the
// rasteriser threads. Each case first draws a few frames of both sides
// (warm-up, not counted), then runs repetitions; each repetition draws the
// command side and the raw side for the same number of frames, the order
// alternating between repetitions. Reported per primitive, min and median
// over the repetitions: wall time, and CPU time of the main thread (the
// thread the program runs on; llvmpipe's rasteriser threads excluded).
//   throughput_ratio = raw median wall / command median wall (1 = as fast)
//   cpu_ratio        = command median CPU / raw median CPU
// SPRITE is also measured against SDL's own 2D renderer (its OpenGL driver,
// batching on, nearest sampling) drawing the same picture into a window of
// its own, with its own context; the context switches between the sides
// are outside the timed frames.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "commands.h"
#include "gl/gl_calls.h"
#include "support/measure.h"
#include "gfx/opengl_rainbows.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;
// Repetitions per side: at least kRepetitions, more for cases whose
// repetitions are short (small sprites), where a frame's few hundred
// microseconds are at the mercy of when the rasteriser threads wake; about
// kTimedSecondsPerSide of timed frames per side, at most kMaxRepetitions.
constexpr int kRepetitions = 11;
constexpr int kMaxRepetitions = 41;
constexpr double kTimedSecondsPerSide = 1.0;
constexpr int kWarmUpFrames = 3;

// A 24-bit picture of size x size with a keyed 4 x 4 corner, loaded into slot.
void LoadTestSprite(int slot, int size)
{
    const std::string path = "/tmp/kv_bench_sprite" + std::to_string(size) + ".bmp";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    unsigned char header[54] = {'B', 'M'};
    auto put32 = [&header](int at, unsigned v) {
        for (int i = 0; i < 4; ++i) header[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    const int rowBytes = (size * 3 + 3) / 4 * 4;
    put32(2, 54 + static_cast<unsigned>(rowBytes * size));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<unsigned>(size));
    put32(22, static_cast<unsigned>(size));
    header[26] = 1;
    header[28] = 24;
    std::fwrite(header, 1, sizeof header, file);
    std::vector<unsigned char> row(static_cast<std::size_t>(rowBytes), 0);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const bool keyed = x < 4 && y < 4;
            row[3 * x] = keyed ? 128 : static_cast<unsigned char>(x * 255 / size);
            row[3 * x + 1] = keyed ? 0 : static_cast<unsigned char>(y * 255 / size);
            row[3 * x + 2] = keyed ? 255 : 90;
        }
        std::fwrite(row.data(), 1, row.size(), file);
    }
    std::fclose(file);
    LOADSPRITE(path.c_str(), slot);
    std::remove(path.c_str());
}

constexpr int kFontFile = 0;

void EnsureRuntime()
{
    if (pRbow != nullptr) return;
    setenv("KV_NO_MESSAGEBOX", "1", 0);
    setenv("KV_WINDOWED", "1", 0);
    KV_RESX = kWidth;
    KV_RESY = kHeight;
    KV_FULLSCREEN = 0;
    KV_FRAMERATE = 1000;
    char noArguments[] = "";
    __GlobalInit(nullptr, nullptr, noArguments, 0, "sprite throughput");
    LoadTestSprite(8, 8);
    LoadTestSprite(32, 32);
    LoadTestSprite(128, 128);
    LoadTestSprite(kFirstFontSlot + kFontFile, 256);  // a 16 x 8 grid of 16 x 32 cells
    SETFONT(kFontFile);
}

int X(int i, int size) { return (i * 37) % (kWidth - size); }
int Y(int i, int size) { return (i * 53) % (kHeight - size); }
double Rgb(int i) { return (i * 2654435761u) & 0xFFFFFF; }

// Filtering of the texture bound to unit 0.
void Filter(GLint filter)
{
    gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
}

// Raw OpenGL: one glDrawArrays of prepared arrays (position, texture
// coordinate, colour), in the state the runtime draws the same primitives in.
struct RawArrays {
    GLenum mode = GL_QUADS;
    int slot = -1;         // texture slot, -1 untextured
    bool pixelShift = false;
    bool nearest = false;  // sampled as the runtime samples sprites at their own size
    std::vector<float> xy, st, rgba;

    void Vertex(float x, float y, float s, float t, const float* c)
    {
        xy.insert(xy.end(), {x, y});
        st.insert(st.end(), {s, t});
        rgba.insert(rgba.end(), c, c + 4);
    }
    void Draw() const
    {
        pRbow->SetTexture3D(slot, -1, 0);
        if (pixelShift) {
            gl::MatrixMode(GL_PROJECTION);
            gl::Translatef(0.375f, 0.375f, 0);
            gl::MatrixMode(GL_MODELVIEW);
        }
        gl::EnableClientState(GL_VERTEX_ARRAY);
        gl::EnableClientState(GL_COLOR_ARRAY);
        gl::VertexPointer(2, GL_FLOAT, 0, xy.data());
        gl::ColorPointer(4, GL_FLOAT, 0, rgba.data());
        if (slot >= 0) {
            gl::EnableClientState(GL_TEXTURE_COORD_ARRAY);
            gl::TexCoordPointer(2, GL_FLOAT, 0, st.data());
        }
        if (nearest) Filter(GL_NEAREST);
        gl::DrawArrays(mode, 0, static_cast<GLsizei>(xy.size() / 2));
        if (nearest) Filter(GL_LINEAR);
        gl::DisableClientState(GL_TEXTURE_COORD_ARRAY);
        gl::DisableClientState(GL_COLOR_ARRAY);
        gl::DisableClientState(GL_VERTEX_ARRAY);
        if (pixelShift) {
            gl::MatrixMode(GL_PROJECTION);
            gl::Translatef(-0.375f, -0.375f, 0);
            gl::MatrixMode(GL_MODELVIEW);
        }
    }
};

struct Totals {
    std::vector<double> wall, cpu;  // per primitive, one entry per repetition
};

double Min(std::vector<double> v) { return *std::min_element(v.begin(), v.end()); }
double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// What a side does before and after its timed frames (switching contexts).
struct Untimed {
    std::function<void()> enter, leave;
};

void RunFrames(const std::function<void()>& frame, int frames, int primitives, Totals& totals,
               const Untimed& untimed = {})
{
    if (untimed.enter) untimed.enter();
    const double w0 = bench::WallSeconds(), c0 = bench::ThreadCpuSeconds();
    for (int f = 0; f < frames; ++f) {
        frame();
        gl::Finish();
    }
    const double n = static_cast<double>(frames) * primitives;
    totals.wall.push_back((bench::WallSeconds() - w0) / n);
    totals.cpu.push_back((bench::ThreadCpuSeconds() - c0) / n);
    if (untimed.leave) untimed.leave();
}

// How many pixels of one frame of `raw` differ from one frame of
// `commands`, each drawn on a cleared screen: a baseline should draw the
// very picture the commands draw.
long DifferingPixels(const std::function<void()>& commands, const std::function<void()>& raw)
{
    auto picture = [](const std::function<void()>& frame) {
        gl::Clear(GL_COLOR_BUFFER_BIT);
        frame();
        std::vector<unsigned char> pixels(static_cast<std::size_t>(kWidth) * kHeight * 4);
        gl::ReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    };
    const std::vector<unsigned char> a = picture(commands), b = picture(raw);
    long differing = 0;
    for (std::size_t i = 0; i < a.size(); i += 4)
        differing += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    gl::Clear(GL_COLOR_BUFFER_BIT);
    return differing;
}

// Interleaved repetitions of the command side and the raw side.
// The row for scripts/bench's table: throughput is raw wall time over the
// command's (medians), CPU the command's main-thread time over raw's.
void Compare(benchmark::State& state, int primitives, const std::function<void()>& commands,
             const std::function<void()>& raw, const std::string& figure, double throughputGoal,
             double cpuGoal = 0, const std::string& baselineName = "one glDrawArrays", const Untimed& rawUntimed = {})
{
    EnsureRuntime();
    // The SDL renderer draws into a window of its own: nothing to compare.
    if (!rawUntimed.enter)
        std::printf("%s: %ld pixels differ from the baseline's picture\n", figure.c_str(),
                    DifferingPixels(commands, raw));
    // About 20 000 primitives per repetition and side, at least 3 frames.
    const int frames = std::max(3, 20000 / primitives);
    Totals commandTotals, rawTotals;
    for (auto _ : state) {
        Totals ignored;
        RunFrames(commands, kWarmUpFrames, primitives, ignored);
        RunFrames(raw, kWarmUpFrames, primitives, ignored, rawUntimed);
        const double repetitionSeconds = Min(ignored.wall) * primitives * frames;
        const int repetitions =
            std::clamp(static_cast<int>(kTimedSecondsPerSide / std::max(repetitionSeconds, 1e-6)) | 1, kRepetitions,
                       kMaxRepetitions);
        for (int r = 0; r < repetitions; ++r) {
            if (r % 2 == 0) {
                RunFrames(commands, frames, primitives, commandTotals);
                RunFrames(raw, frames, primitives, rawTotals, rawUntimed);
            } else {
                RunFrames(raw, frames, primitives, rawTotals, rawUntimed);
                RunFrames(commands, frames, primitives, commandTotals);
            }
        }
        gl::Clear(GL_COLOR_BUFFER_BIT);
    }
    auto us = [](double seconds) { return seconds * 1e6; };
    state.counters["cmd_wall_us_min"] = us(Min(commandTotals.wall));
    state.counters["cmd_wall_us_med"] = us(Median(commandTotals.wall));
    state.counters["raw_wall_us_min"] = us(Min(rawTotals.wall));
    state.counters["raw_wall_us_med"] = us(Median(rawTotals.wall));
    state.counters["cmd_cpu_us_med"] = us(Median(commandTotals.cpu));
    state.counters["raw_cpu_us_med"] = us(Median(rawTotals.cpu));
    state.counters["throughput_ratio"] = Median(rawTotals.wall) / Median(commandTotals.wall);
    state.counters["cpu_ratio"] = Median(commandTotals.cpu) / Median(rawTotals.cpu);

    const double throughput = Median(rawTotals.wall) / Median(commandTotals.wall);
    const double cpu = Median(commandTotals.cpu) / Median(rawTotals.cpu);
    auto perPrimitive = [&](const Totals& t) {
        return bench::Number(us(Min(t.wall))) + " / " + bench::Number(us(Median(t.wall))) + " µs wall, " +
               bench::Number(us(Median(t.cpu))) + " µs cpu (median)";
    };
    // A throughput goal of 0: a row for information, without a goal.
    std::string goal = throughputGoal > 0 ? "throughput ≥ " + bench::Number(throughputGoal) : "";
    bool met = throughput >= throughputGoal;
    if (cpuGoal > 0) {
        goal += ", cpu ≤ " + bench::Number(cpuGoal) + "×";
        met = met && cpu <= cpuGoal;
    }
    bench::Result(figure + ", per primitive (min / median)", perPrimitive(commandTotals),
                  perPrimitive(rawTotals) + " (" + baselineName + ")",
                  "throughput " + bench::Number(throughput) + ", cpu " + bench::Number(cpu) + "×", goal,
                  throughputGoal > 0 ? bench::Met(met) : "-");
}

// SPRITE of an n x n picture, count sprites a frame, against one
// glDrawArrays of the same textured quads.
void BM_Sprite(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    const int count = static_cast<int>(state.range(1));
    EnsureRuntime();
    const int slot = size;
    RawArrays raw;
    raw.slot = slot;
    raw.nearest = true;
    const float u = static_cast<float>(pRbow->slots.imgWidth[slot]) / pRbow->slots.texWidth[slot];
    const float v = static_cast<float>(pRbow->slots.imgHeight[slot]) / pRbow->slots.texHeight[slot];
    const float white[4] = {1, 1, 1, 1};
    for (int i = 0; i < count; ++i) {
        const float x = static_cast<float>(X(i, size)), y = static_cast<float>(Y(i, size));
        const float s = static_cast<float>(size);
        raw.Vertex(x, -(y + s), 0, 0, white);
        raw.Vertex(x + s, -(y + s), u, 0, white);
        raw.Vertex(x + s, -y, u, v, white);
        raw.Vertex(x, -y, 0, v, white);
    }
    Compare(
        state, count,
        [&] {
            for (int i = 0; i < count; ++i) SPRITE(slot, X(i, size), Y(i, size));
        },
        [&] { raw.Draw(); },
        "SPRITE " + std::to_string(size) + "×" + std::to_string(size) + ", " + std::to_string(count) + " a frame",
        0.9, 2.0);
}
BENCHMARK(BM_Sprite)
    ->ArgNames({"size", "sprites"})
    ->ArgsProduct({{8, 32, 128}, {100, 1000, 10000}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// SDL's 2D renderer in a window of its own: its OpenGL driver, batching
// on, nearest sampling, the test picture with its key colour transparent.
class SdlRenderer {
public:
    SdlRenderer()
    {
        SaveRuntimeContext();
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
        SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        m_window = SDL_CreateWindow("SDL renderer baseline", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL);
        if (m_window != nullptr) m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_ACCELERATED);
        if (m_renderer == nullptr) std::fprintf(stderr, "SDL renderer: %s\n", SDL_GetError());
        m_context = SDL_GL_GetCurrentContext();
        Leave();
    }
    ~SdlRenderer()
    {
        for (SDL_Texture* t : m_textures)
            if (t != nullptr) SDL_DestroyTexture(t);
        if (m_renderer != nullptr) SDL_DestroyRenderer(m_renderer);
        if (m_window != nullptr) SDL_DestroyWindow(m_window);
        Leave();
    }
    bool Ready() const { return m_renderer != nullptr; }
    // The bench picture of size x size, as LoadTestSprite makes it.
    SDL_Texture* Picture(int size)
    {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, size, size, 24, SDL_PIXELFORMAT_RGB24);
        if (surface == nullptr) return nullptr;
        auto* pixels = static_cast<unsigned char*>(surface->pixels);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                // The BMP's rows run bottom-up: row y of the file is screen row size-1-y.
                const bool keyed = x < 4 && y < 4;
                unsigned char* p = pixels + (size - 1 - y) * surface->pitch + 3 * x;
                p[0] = keyed ? 255 : 90;
                p[1] = keyed ? 0 : static_cast<unsigned char>(y * 255 / size);
                p[2] = keyed ? 128 : static_cast<unsigned char>(x * 255 / size);
            }
        }
        SDL_SetColorKey(surface, SDL_TRUE, SDL_MapRGB(surface->format, 255, 0, 128));
        SDL_Texture* texture = SDL_CreateTextureFromSurface(m_renderer, surface);
        SDL_FreeSurface(surface);
        if (texture != nullptr) {
            SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
            SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
            m_textures.push_back(texture);
        }
        Leave();
        return texture;
    }
    void Copy(SDL_Texture* texture, int x, int y, int size)
    {
        const SDL_Rect to{x, y, size, size};
        SDL_RenderCopy(m_renderer, texture, nullptr, &to);
    }
    // Draws what is queued; the next glFinish then waits for it.
    void EndFrame() { SDL_RenderFlush(m_renderer); }
    // Takes the thread to the renderer's context (as its next call would).
    void Enter() { SDL_GL_MakeCurrent(m_window, m_context); }
    // Hands the thread back to the runtime's context.
    void Leave() { SDL_GL_MakeCurrent(m_runtimeWindow, m_runtimeContext); }

private:
    void SaveRuntimeContext()
    {
        m_runtimeWindow = SDL_GL_GetCurrentWindow();
        m_runtimeContext = SDL_GL_GetCurrentContext();
    }

    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_GLContext m_context = nullptr;
    std::vector<SDL_Texture*> m_textures;
    SDL_Window* m_runtimeWindow = nullptr;
    SDL_GLContext m_runtimeContext = nullptr;
};

// SPRITE against SDL_RenderCopy of the same picture at the same places.
void BM_SpriteVsSdlRenderer(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    constexpr int kCount = 1000;
    EnsureRuntime();
    static SdlRenderer sdl;
    if (!sdl.Ready()) {
        state.SkipWithError("no SDL renderer");
        return;
    }
    SDL_Texture* texture = sdl.Picture(size);
    const int slot = size;
    Compare(
        state, kCount,
        [&] {
            for (int i = 0; i < kCount; ++i) SPRITE(slot, X(i, size), Y(i, size));
        },
        [&] {
            for (int i = 0; i < kCount; ++i) sdl.Copy(texture, X(i, size), Y(i, size), size);
            sdl.EndFrame();
        },
        "SPRITE " + std::to_string(size) + "×" + std::to_string(size) + ", 1000 a frame, against SDL_RenderCopy",
        1.0, 0, "SDL_RenderCopy, batched, nearest", Untimed{[] { sdl.Enter(); }, [] { sdl.Leave(); }});
}
BENCHMARK(BM_SpriteVsSdlRenderer)->ArgNames({"size"})->Arg(8)->Arg(32)->Arg(128)->Iterations(1)->Unit(
    benchmark::kMillisecond);

constexpr int kPrimitives = 1000;

// SETPIXEL against one glDrawArrays of the same coloured points.
void BM_SetPixel(benchmark::State& state)
{
    EnsureRuntime();
    RawArrays raw;
    raw.mode = GL_POINTS;
    raw.pixelShift = true;
    for (int i = 0; i < kPrimitives; ++i) {
        const int c = static_cast<int>(Rgb(i));
        const float rgba[4] = {(c & 255) / 255.0f, ((c >> 8) & 255) / 255.0f, ((c >> 16) & 255) / 255.0f, 1};
        raw.Vertex(static_cast<float>(X(i, 1)), -static_cast<float>(Y(i, 1)), 0, 0, rgba);
    }
    Compare(
        state, kPrimitives,
        [] {
            for (int i = 0; i < kPrimitives; ++i) SETPIXEL(X(i, 1), Y(i, 1), Rgb(i));
        },
        [&] { raw.Draw(); }, "SETPIXEL, 1000 a frame", 0.8);
}
BENCHMARK(BM_SetPixel)->Iterations(1)->Unit(benchmark::kMillisecond);

// DRAWLINE (40-pixel lines, each with its last pixel) against one
// glDrawArrays of the same picture. OpenGL leaves a line's last pixel out;
// drawn in order, each line is followed by a one-pixel segment from its
// end, so the baseline is GL_LINES of two segments a line. Drawing all
// lines first and all end pixels after them as points (the
// "ends after lines" row, two draws, no goal) is less work for the
// rasteriser but a different picture: an end pixel that a later line
// crosses keeps the earlier line's colour.
void DrawLines(benchmark::State& state, bool endsAfterLines)
{
    EnsureRuntime();
    RawArrays lines, ends;
    lines.mode = GL_LINES;
    ends.mode = GL_POINTS;
    lines.pixelShift = ends.pixelShift = true;
    auto endX = [](int i) { return X(i, 41) + 40 - (i % 3) * 20; };
    auto endY = [](int i) { return Y(i, 41) + (i % 5) * 10; };
    for (int i = 0; i < kPrimitives; ++i) {
        const int c = static_cast<int>(Rgb(i));
        const float rgba[4] = {(c & 255) / 255.0f, ((c >> 8) & 255) / 255.0f, ((c >> 16) & 255) / 255.0f, 1};
        const float x1 = static_cast<float>(X(i, 41)), y1 = -static_cast<float>(Y(i, 41));
        const float x2 = static_cast<float>(endX(i)), y2 = -static_cast<float>(endY(i));
        lines.Vertex(x1, y1, 0, 0, rgba);
        lines.Vertex(x2, y2, 0, 0, rgba);
        if (endsAfterLines) {
            ends.Vertex(x2, y2, 0, 0, rgba);
        } else {
            lines.Vertex(x2, y2, 0, 0, rgba);
            lines.Vertex(x2 + 1, y2, 0, 0, rgba);
        }
    }
    Compare(
        state, kPrimitives,
        [&] {
            for (int i = 0; i < kPrimitives; ++i) DRAWLINE(X(i, 41), Y(i, 41), endX(i), endY(i), Rgb(i));
        },
        [&] {
            lines.Draw();
            if (endsAfterLines) ends.Draw();
        },
        endsAfterLines ? "DRAWLINE, 1000 a frame, against lines then end pixels" : "DRAWLINE, 1000 a frame",
        endsAfterLines ? 0 : 0.8, 0,
        endsAfterLines ? "ends after lines: two glDrawArrays, another picture" : "one glDrawArrays");
}
void BM_DrawLine(benchmark::State& state) { DrawLines(state, false); }
void BM_DrawLineEndsAfterLines(benchmark::State& state) { DrawLines(state, true); }
BENCHMARK(BM_DrawLine)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawLineEndsAfterLines)->Iterations(1)->Unit(benchmark::kMillisecond);

// PRINT of a 40-character line, 100 lines a frame, against one
// glDrawArrays of the same glyph quads. Reported per line.
void BM_Print40(benchmark::State& state)
{
    EnsureRuntime();
    constexpr int kLines = 100;
    const char text[] = "Zorvelin draws forty characters a line!!";
    static_assert(sizeof text == 41);
    const int slot = kFirstFontSlot + kFontFile;
    const float su = static_cast<float>(pRbow->slots.imgWidth[slot]) / pRbow->slots.texWidth[slot] * 0.0625f;
    const float sv = static_cast<float>(pRbow->slots.imgHeight[slot]) / pRbow->slots.texHeight[slot] * 0.125f;
    const int cw = pRbow->slots.imgWidth[slot] >> 4, ch = pRbow->slots.imgHeight[slot] >> 3;
    RawArrays raw;
    raw.slot = slot;
    const float white[4] = {1, 1, 1, 1};
    for (int line = 0; line < kLines; ++line) {
        float x = 0;
        const float y = static_cast<float>((line * 7) % (kHeight - ch));
        for (int i = 0; i < 40; ++i) {
            const int k = text[i];
            const float s0 = static_cast<float>(k % 16) * su, t0 = static_cast<float>(7 - k / 16) * sv;
            raw.Vertex(x, -y - ch, s0, t0, white);
            raw.Vertex(x + cw, -y - ch, s0 + su, t0, white);
            raw.Vertex(x + cw, -y, s0 + su, t0 + sv, white);
            raw.Vertex(x, -y, s0, t0 + sv, white);
            x += static_cast<float>(cw);
        }
    }
    Compare(
        state, kLines,
        [&] {
            for (int line = 0; line < kLines; ++line) PRINT(text, 0, (line * 7) % (kHeight - ch));
        },
        [&] { raw.Draw(); }, "PRINT of 40 characters", 0.8);
}
BENCHMARK(BM_Print40)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
