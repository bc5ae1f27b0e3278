// Sprites per second: 32 x 32 SPRITE calls (one immediate-mode quad each)
// against the same number of textured quads in one glDrawArrays, the
// fill-rate ceiling of the rasteriser. Run under a display (Xvfb in CI):
//   xvfb-run -a bench/bench_sprite_throughput
// The ratio benchmark times both in the same run and reports
// sprite_time_per_batch_time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <vector>

#include "commands.h"
#include "gfx/opengl_rainbows.h"

namespace {

constexpr int kSprites = 2000;
constexpr int kSlot = 1;

// Starts the runtime once, in a window, with a 32 x 32 sprite in slot 1.
void EnsureRuntime()
{
    if (pRbow != nullptr) return;
    setenv("KV_NO_MESSAGEBOX", "1", 0);
    setenv("KV_WINDOWED", "1", 0);
    KV_RESX = 640;
    KV_RESY = 480;
    KV_FULLSCREEN = 0;
    KV_FRAMERATE = 1000;
    char noArguments[] = "";
    __GlobalInit(nullptr, nullptr, noArguments, 0, "sprite throughput");
    // A 32 x 32 picture with a keyed corner.
    const char* path = "/tmp/kv_bench_sprite32.bmp";
    std::FILE* file = std::fopen(path, "wb");
    unsigned char header[54] = {'B', 'M'};
    auto put32 = [&header](int at, unsigned v) {
        for (int i = 0; i < 4; ++i) header[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    put32(2, 54 + 32 * 32 * 3);
    put32(10, 54);
    put32(14, 40);
    put32(18, 32);
    put32(22, 32);
    header[26] = 1;
    header[28] = 24;
    std::fwrite(header, 1, sizeof header, file);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const unsigned char keyed[3] = {128, 0, 255};
            const unsigned char plain[3] = {static_cast<unsigned char>(x * 8), static_cast<unsigned char>(y * 8), 90};
            std::fwrite(x < 4 && y < 4 ? keyed : plain, 1, 3, file);
        }
    std::fclose(file);
    LOADSPRITE(path, kSlot);
    std::remove(path);
}

int X(int i) { return (i * 37) % (640 - 32); }
int Y(int i) { return (i * 53) % (480 - 32); }

void DrawSprites()
{
    for (int i = 0; i < kSprites; ++i) SPRITE(kSlot, X(i), Y(i));
    glFinish();
}

// The same quads, texture coordinates and culling, in one call.
class Batch {
public:
    Batch()
    {
        const float u = static_cast<float>(pRbow->imgWidth[kSlot]) / pRbow->texWidth[kSlot];
        const float v = static_cast<float>(pRbow->imgHeight[kSlot]) / pRbow->texHeight[kSlot];
        for (int i = 0; i < kSprites; ++i) {
            const float x = static_cast<float>(X(i)), y = static_cast<float>(Y(i));
            const float quad[4][4] = {{0, 0, x, -(y + 32)}, {u, 0, x + 32, -(y + 32)}, {u, v, x + 32, -y}, {0, v, x, -y}};
            for (const auto& corner : quad) m_data.insert(m_data.end(), corner, corner + 4);
        }
    }
    void Draw()
    {
        pRbow->SetTexture3D(kSlot, -1, 0);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnableClientState(GL_VERTEX_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 4 * sizeof(float), m_data.data());
        glVertexPointer(2, GL_FLOAT, 4 * sizeof(float), m_data.data() + 2);
        glDrawArrays(GL_QUADS, 0, kSprites * 4);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glFinish();
    }

private:
    std::vector<float> m_data;
};

void BM_SpriteCalls(benchmark::State& state)
{
    EnsureRuntime();
    for (auto _ : state) DrawSprites();
    state.SetItemsProcessed(state.iterations() * kSprites);
}
BENCHMARK(BM_SpriteCalls)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OneDrawArrays(benchmark::State& state)
{
    EnsureRuntime();
    Batch batch;
    for (auto _ : state) batch.Draw();
    state.SetItemsProcessed(state.iterations() * kSprites);
}
BENCHMARK(BM_OneDrawArrays)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SpriteToBatchRatio(benchmark::State& state)
{
    EnsureRuntime();
    Batch batch;
    double spriteSeconds = 0, batchSeconds = 0;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        DrawSprites();
        const auto t1 = Clock::now();
        batch.Draw();
        const auto t2 = Clock::now();
        spriteSeconds += std::chrono::duration<double>(t1 - t0).count();
        batchSeconds += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["sprite_time_per_batch_time"] = batchSeconds > 0 ? spriteSeconds / batchSeconds : 0;
    state.counters["sprites_per_second"] = spriteSeconds > 0 ? state.iterations() * kSprites / spriteSeconds : 0;
}
BENCHMARK(BM_SpriteToBatchRatio)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
