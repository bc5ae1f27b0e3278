// Loading sprites from PNG files against loading them from BMP files of the
// same pixels, in one process, interleaved. Run under a display (Xvfb in
// CI), from a release build:
//   xvfb-run -a -s "-screen 0 1024x768x24" build-rel/bench/bench_picture_loading
//
// 100 sprites of 64 x 64 (each its own picture, a keyed corner in each) are
// written once as compressed PNG files (as SDL2_image writes them) and as
// 24-bit BMP files. One repetition loads all 100 of one kind into slots
// 100 .. 199 with LOADSPRITE (file read, decode, texels, mip chain, upload)
// and waits with glFinish; the two kinds alternate, first one then the
// other. Two rounds of both are warm-up, not counted. Reported: min and
// median over the repetitions of wall time and of the main thread's CPU
// time; ratio = PNG median wall / BMP median wall, goal at most 1.5.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "commands.h"
#include "gfx/opengl_rainbows.h"
#include "gfx/picture_encoders.h"
#include "gl/gl_calls.h"
#include "support/measure.h"

namespace {

constexpr int kSprites = 100;
constexpr int kSize = 64;
constexpr int kFirstSlot = 100;
constexpr int kRepetitions = 15;
constexpr int kWarmUp = 2;

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
    __GlobalInit(nullptr, nullptr, noArguments, 0, "picture loading");
}

Rgba SpritePixel(int sprite, int x, int y)
{
    if (x < 4 && y < 4) return {255, 0, 128, 255};
    return {(x * 4 + sprite) & 255, (y * 4 + sprite * 3) & 255, (x ^ y) * 4 & 255, 255};
}

// A 24-bit BMP, rows bottom first, padded to 4 bytes.
std::vector<std::uint8_t> Bmp24(int width, int height, const PixelsRgba& colour)
{
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> bmp(54 + static_cast<std::size_t>(rowBytes) * height, 0);
    auto put32 = [&bmp](int at, unsigned v) {
        for (int i = 0; i < 4; ++i) bmp[static_cast<std::size_t>(at + i)] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<unsigned>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<unsigned>(width));
    put32(22, static_cast<unsigned>(height));
    bmp[26] = 1;
    bmp[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgba c = colour(x, y);
            std::uint8_t* p = &bmp[54 + static_cast<std::size_t>(height - 1 - y) * rowBytes + x * 3];
            p[0] = static_cast<std::uint8_t>(c.b);
            p[1] = static_cast<std::uint8_t>(c.g);
            p[2] = static_cast<std::uint8_t>(c.r);
        }
    return bmp;
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

void LoadAll(const std::vector<std::string>& files)
{
    for (int i = 0; i < kSprites; ++i) LOADSPRITE(files[static_cast<std::size_t>(i)].c_str(), kFirstSlot + i);
    gl::Finish();
}

void BM_LoadPngAgainstBmp(benchmark::State& state)
{
    EnsureRuntime();
    const std::string folder = "/tmp/kv_bench_pictures_" + std::to_string(getpid());
    std::filesystem::create_directories(folder);
    std::vector<std::string> pngs, bmps;
    std::size_t pngBytes = 0, bmpBytes = 0;
    for (int i = 0; i < kSprites; ++i) {
        auto colour = [i](int x, int y) { return SpritePixel(i, x, y); };
        const auto png = MakeCompressedPng(kSize, kSize, colour);
        const auto bmp = Bmp24(kSize, kSize, colour);
        pngBytes += png.size();
        bmpBytes += bmp.size();
        pngs.push_back(folder + "/s" + std::to_string(i) + ".png");
        bmps.push_back(folder + "/s" + std::to_string(i) + ".bmp");
        WriteBytes(pngs.back(), png);
        WriteBytes(bmps.back(), bmp);
    }

    bench::Samples png, bmp;
    for (auto _ : state)
        bench::Interleave(kWarmUp, kRepetitions, {&png, &bmp}, [&] { LoadAll(pngs); }, [&] { LoadAll(bmps); });
    // Both kinds must really have loaded.
    const bool loaded = pRbow->slots.spriteTex[kFirstSlot][0] != 0 && pRbow->slots.imgWidth[kFirstSlot + kSprites - 1] == kSize;
    std::filesystem::remove_all(folder);

    const double ratio = bmp.medianWall() > 0 ? png.medianWall() / bmp.medianWall() : 0;
    state.counters["png_median_ms"] = png.medianWall() * 1e3;
    state.counters["bmp_median_ms"] = bmp.medianWall() * 1e3;
    state.counters["ratio"] = ratio;
    std::printf("100 PNG sprites of 64 x 64 (%zu bytes): %s\n", pngBytes, bench::Summary(png).c_str());
    std::printf("100 BMP sprites of 64 x 64 (%zu bytes): %s\n", bmpBytes, bench::Summary(bmp).c_str());
    std::printf("CPU ratio (medians): %.2f\n", bmp.medianCpu() > 0 ? png.medianCpu() / bmp.medianCpu() : 0);
    bench::Result("loading 100 PNG sprites of 64 x 64 (median wall)", bench::Duration(png.medianWall()),
                  bench::Duration(bmp.medianWall()) + " (BMP)", bench::Number(ratio, "%.2f"), "<= 1.5",
                  bench::Met(loaded && ratio > 0 && ratio <= 1.5));
    if (!loaded) state.SkipWithError("the sprites did not load");
}
BENCHMARK(BM_LoadPngAgainstBmp)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
