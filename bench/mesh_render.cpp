// Triangles per second for a 10 000-triangle mesh: frame 0 from its display
// list, a blend of two frames through the stream buffer, and the bump light
// (tangent-space light vectors per vertex, dot-product texture stage), in
// wall-clock time since llvmpipe rasterises on threads of its own. Run
// under a display (Xvfb in CI, llvmpipe):
//   KV_NO_MESSAGEBOX=1 xvfb-run -a -s "-screen 0 1024x768x24" bench/bench_mesh_render
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "commands.h"
#include "gfx/opengl_rainbows.h"
#include "gfx3d/mesh_object.h"
#include "gfx3d/object_file.h"
#include "gfx3d/rainbows3d.h"

namespace {

constexpr int kMesh = 1;
constexpr int kRows = 50;
constexpr int kColumns = 100;                      // quads per row
constexpr int kTriangles = kRows * kColumns * 2;   // 10 000

// A sheet of kRows strips of kColumns quads, in two frames (flat and
// bulged), written as an object file and loaded into slot kMesh.
void LoadSheet()
{
    MeshObject mesh;
    mesh.colours.Add(kGroupStrip);
    mesh.colours.Add(kWhite);
    for (int f = 0; f < 2; ++f) {
        POLY_FRAME frame;
        for (int k = 0; k < 3; ++k) {
            frame.offset[k] = 128;
            frame.scale[k] = 1;
        }
        // Texture coordinates go by node index, markers included.
        auto addTexture = [&](float u, float v) {
            if (f != 0) return;
            mesh.texU.Add(u);
            mesh.texV.Add(v);
        };
        for (int row = 0; row < kRows; ++row) {
            frame.nodes.Add(PACKED_NODE{0, 0, 0, 5, 0, 0, 0});
            addTexture(0, 0);
            for (int column = 0; column <= kColumns; ++column)
                for (int r : {row + 1, row}) {
                    const int x = 128 - kColumns / 2 + column;
                    const int y = 128 - kRows / 2 + r;
                    const int bulge = f == 0 ? 0 : ((column * 7 + r * 3) % 9);
                    frame.nodes.Add(PACKED_NODE{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                                static_cast<std::uint8_t>(128 + bulge), 5, 0, 0, 1});
                    addTexture(static_cast<float>(column) / kColumns, static_cast<float>(r) / kRows);
                }
        }
        mesh.frames.Add(std::move(frame));
    }

    const std::vector<std::uint8_t> image = EncodeObjectFile(mesh);
    const std::string path = "/tmp/kv_bench_sheet.obj";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(image.data(), 1, image.size(), file);
    std::fclose(file);
    X_LOADOBJ(KvStr(path.c_str()), kMesh);
    std::remove(path.c_str());
}

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
    __GlobalInit(nullptr, nullptr, noArguments, 0, "mesh render");
    LoadSheet();
    if (rbow3D.objects[kMesh].frames.Count() != 2) std::fprintf(stderr, "the benchmark sheet did not load\n");
}

void View()
{
    X_MAKE3D(1, 1000, 60);
    X_CAMERA(0, 0, 120, 0, 0, 0);
}

void Report(benchmark::State& state)
{
    state.counters["triangles_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kTriangles, benchmark::Counter::kIsRate);
}

void BM_DisplayList(benchmark::State& state)
{
    EnsureRuntime();
    View();
    X_SPOT_LT(-1, 0, 0, 0, 0, 0, 0, 0, 0);
    for (auto _ : state) {
        X_DRAWOBJ(kMesh, 0);
        glFinish();
    }
    Report(state);
}
BENCHMARK(BM_DisplayList)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BlendTwoFrames(benchmark::State& state)
{
    EnsureRuntime();
    View();
    X_SPOT_LT(-1, 0, 0, 0, 0, 0, 0, 0, 0);
    double t = 0;
    for (auto _ : state) {
        X_DRAWANIM(kMesh, 0, 1, t, 0);
        glFinish();
        t = t > 0.9 ? 0.05 : t + 0.05;
    }
    Report(state);
}
BENCHMARK(BM_BlendTwoFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BumpLight(benchmark::State& state)
{
    EnsureRuntime();
    View();
    X_SPOT_LT(-1, 0, 30, 20, 60, 0, 0, 0, 1);
    for (auto _ : state) {
        X_DRAWOBJ(kMesh, 0);
        glFinish();
    }
    X_SPOT_LT(-1, 0, 0, 0, 0, 0, 0, 0, 0);
    Report(state);
}
BENCHMARK(BM_BumpLight)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
