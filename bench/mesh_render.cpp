// Triangles per second for a 10 000-triangle mesh: frame 0 from its display
// list, a blend of two frames through the stream buffer, and the bump light
// (tangent-space light vectors per vertex, dot-product texture stage),
// against the same number of triangles drawn by one glDrawArrays from client
// arrays, interleaved. Wall time, since llvmpipe rasterises on threads of
// its own, with the main thread's CPU beside it. Prints RESULT rows (see
// bench/support/measure.h). Run under a display (Xvfb in CI, llvmpipe):
//   KV_NO_MESSAGEBOX=1 xvfb-run -a -s "-screen 0 1024x768x24" bench/bench_mesh_render

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "commands.h"
#include "gfx/opengl_rainbows.h"
#include "gfx3d/mesh_object.h"
#include "gfx3d/object_file.h"
#include "gfx3d/rainbows3d.h"
#include "gl/gl_calls.h"
#include "support/measure.h"

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

// The same sheet as plain triangles from client arrays, one glDrawArrays:
// the least the GL needs to draw this many lit, textured triangles.
struct PlainSheet {
    std::vector<float> positions, normals, texture;

    PlainSheet()
    {
        auto vertex = [&](int column, int r) {
            positions.insert(positions.end(), {static_cast<float>(column - kColumns / 2),
                                               static_cast<float>(r - kRows / 2), 0.0f});
            normals.insert(normals.end(), {0.0f, 0.0f, 1.0f});
            texture.insert(texture.end(), {static_cast<float>(column) / kColumns, static_cast<float>(r) / kRows});
        };
        for (int row = 0; row < kRows; ++row)
            for (int column = 0; column < kColumns; ++column) {
                vertex(column, row);
                vertex(column + 1, row);
                vertex(column + 1, row + 1);
                vertex(column, row);
                vertex(column + 1, row + 1);
                vertex(column, row + 1);
            }
    }

    void draw() const
    {
        gl::EnableClientState(GL_VERTEX_ARRAY);
        gl::EnableClientState(GL_NORMAL_ARRAY);
        gl::EnableClientState(GL_TEXTURE_COORD_ARRAY);
        gl::VertexPointer(3, GL_FLOAT, 0, positions.data());
        gl::NormalPointer(GL_FLOAT, 0, normals.data());
        gl::TexCoordPointer(2, GL_FLOAT, 0, texture.data());
        gl::DrawArrays(GL_TRIANGLES, 0, kTriangles * 3);
        gl::DisableClientState(GL_TEXTURE_COORD_ARRAY);
        gl::DisableClientState(GL_NORMAL_ARRAY);
        gl::DisableClientState(GL_VERTEX_ARRAY);
    }
};

// Draws per sample: one draw is close to the clock's grain on a fast GL.
constexpr int kDrawsPerSample = 10;

}  // namespace

int main()
{
    EnsureRuntime();
    View();
    const PlainSheet plain;
    double t = 0;
    auto repeat = [](auto body) {
        for (int i = 0; i < kDrawsPerSample; ++i) body();
        gl::Finish();
    };
    auto displayList = [&] {
        X_SPOT_LT(-1, 0, 0, 0, 0, 0, 0, 0, 0);
        repeat([] { X_DRAWOBJ(kMesh, 0); });
    };
    auto blend = [&] {
        X_SPOT_LT(-1, 0, 0, 0, 0, 0, 0, 0, 0);
        repeat([&] {
            X_DRAWANIM(kMesh, 0, 1, t, 0);
            t = t > 0.9 ? 0.05 : t + 0.05;
        });
    };
    auto bump = [&] {
        X_SPOT_LT(-1, 0, 30, 20, 60, 0, 0, 0, 1);
        repeat([] { X_DRAWOBJ(kMesh, 0); });
        X_SPOT_LT(-1, 0, 0, 0, 0, 0, 0, 0, 0);
    };
    auto arrays = [&] { repeat([&] { plain.draw(); }); };

    bench::Samples list, blended, bumped, baseline;
    bench::Interleave(1, 7, {&list, &blended, &bumped, &baseline}, displayList, blend, bump, arrays);

    // Triangles per second from the minimum wall time (the rasteriser's
    // threads do most of the work, so wall time is the figure; the main
    // thread's CPU is shown beside it).
    const double perSample = static_cast<double>(kTriangles) * kDrawsPerSample;
    const double baseRate = perSample / baseline.minWall();
    std::printf("glDrawArrays baseline: %s\n", bench::Summary(baseline).c_str());
    auto row = [&](const char* what, const bench::Samples& s) {
        const double rate = perSample / s.minWall();
        std::printf("%s: %s\n", what, bench::Summary(s).c_str());
        bench::Result(std::string("mesh 10 000 triangles, ") + what + " (triangles/s, main-thread cpu per draw)",
                      bench::Number(rate / 1e6, "%.1f M/s") + ", " +
                          bench::Duration(s.minCpu() / kDrawsPerSample),
                      bench::Number(baseRate / 1e6, "%.1f M/s") + ", " +
                          bench::Duration(baseline.minCpu() / kDrawsPerSample) + " (glDrawArrays)",
                      bench::Number(rate / baseRate, "%.2f"), "", "-");
    };
    row("display list, frame 0", list);
    row("two frames blended", blended);
    row("bump light", bumped);
    return 0;
}
