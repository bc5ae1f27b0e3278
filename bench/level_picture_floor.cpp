// What the game's level-1 picture costs OpenGL alone: a plain program, no
// runtime, draws one screen of 32 × 32 textured tiles (20 × 15 quads,
// nearest sampling, alpha test, one glDrawArrays) into a framebuffer object
// of 640 × 480, copies it into the window and swaps, as every frame of the
// game does at the least. CPU per frame of the main thread and of the whole
// process (llvmpipe's rasteriser threads included), for the drawing area
// the runtime makes (BGRA colour texture, no depth buffer, rows top-down so
// that the copy is straight) and for the one it made before (RGB
// renderbuffer beside a depth buffer, rows in GL's order), interleaved.
//   xvfb-run -a -s "-screen 0 1024x768x24" build-bench/bench/bench_level_picture_floor
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "gl/framebuffers.h"
#include "gl/gl_calls.h"
#include "support/measure.h"

namespace {

constexpr int kWidth = 640, kHeight = 480, kTile = 32, kFrames = 300;

struct Picture {
    bool colourTexture = true;  // else an RGB renderbuffer and a depth buffer
    GLuint framebuffer = 0, colour = 0, depth = 0;
};

void MakeArea(Picture& area)
{
    gl::GenFramebuffers(1, &area.framebuffer);
    gl::BindFramebuffer(GL_FRAMEBUFFER, area.framebuffer);
    if (area.colourTexture) {
        gl::GenTextures(1, &area.colour);
        gl::BindTexture(GL_TEXTURE_2D, area.colour);
        gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        gl::TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kWidth, kHeight, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        gl::FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, area.colour, 0);
    } else {
        gl::GenRenderbuffers(1, &area.colour);
        gl::BindRenderbuffer(GL_RENDERBUFFER, area.colour);
        gl::RenderbufferStorage(GL_RENDERBUFFER, GL_RGB8, kWidth, kHeight);
        gl::FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, area.colour);
        gl::GenRenderbuffers(1, &area.depth);
        gl::BindRenderbuffer(GL_RENDERBUFFER, area.depth);
        gl::RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, kWidth, kHeight);
        gl::FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, area.depth);
    }
}

void BM_LevelPictureFloor(benchmark::State& state)
{
    SDL_Init(SDL_INIT_VIDEO);
    SDL_Window* window = SDL_CreateWindow("level picture", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL);
    SDL_GLContext context = window != nullptr ? SDL_GL_CreateContext(window) : nullptr;
    if (context == nullptr || !gl::LoadFramebufferFunctions()) {
        state.SkipWithError("no OpenGL context with framebuffer objects");
        return;
    }
    Picture now{true}, before{false};
    MakeArea(now);
    MakeArea(before);

    // A 32 × 32 tile, opaque, and the quads of one screen, the game's way:
    // y sent negated under an orthographic projection, counter-clockwise.
    std::vector<unsigned char> texels(kTile * kTile * 4);
    for (int i = 0; i < kTile * kTile; ++i) {
        texels[i * 4] = static_cast<unsigned char>(i);
        texels[i * 4 + 1] = static_cast<unsigned char>(i * 7);
        texels[i * 4 + 2] = 99;
        texels[i * 4 + 3] = 255;
    }
    GLuint tile = 0;
    gl::GenTextures(1, &tile);
    gl::BindTexture(GL_TEXTURE_2D, tile);
    gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl::TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kTile, kTile, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    std::vector<float> corners, texture;
    for (int y = 0; y < kHeight; y += kTile) {
        for (int x = 0; x < kWidth; x += kTile) {
            const float left = static_cast<float>(x), right = left + kTile;
            const float top = static_cast<float>(-y), bottom = top - kTile;
            corners.insert(corners.end(), {left, top, left, bottom, right, bottom, right, top});
            texture.insert(texture.end(), {0, 0, 0, 1, 1, 1, 1, 0});
        }
    }
    gl::Viewport(0, 0, kWidth, kHeight);
    gl::MatrixMode(GL_PROJECTION);
    gl::LoadIdentity();
    gl::Ortho(0, kWidth, -kHeight, 0, -1, 1);
    gl::MatrixMode(GL_MODELVIEW);
    gl::LoadIdentity();
    gl::Enable(GL_TEXTURE_2D);
    gl::Enable(GL_CULL_FACE);
    gl::Enable(GL_ALPHA_TEST);
    gl::AlphaFunc(GL_GREATER, 0.5f);
    gl::ShadeModel(GL_FLAT);
    gl::Disable(GL_DITHER);
    gl::EnableClientState(GL_VERTEX_ARRAY);
    gl::EnableClientState(GL_TEXTURE_COORD_ARRAY);
    gl::VertexPointer(2, GL_FLOAT, 0, corners.data());
    gl::TexCoordPointer(2, GL_FLOAT, 0, texture.data());
    const GLsizei vertices = static_cast<GLsizei>(corners.size() / 2);

    struct Cpu {
        std::vector<double> main, process;
    };
    auto frames = [&](const Picture& area, Cpu& cpu) {
        // The runtime's module keeps the rows of the area it is told of top-down.
        gl::UseDrawingArea(area.colourTexture ? area.framebuffer : 0, 0, true, kWidth, kHeight);
        const double main0 = bench::ThreadCpuSeconds(), process0 = bench::ProcessCpuSeconds();
        for (int frame = 0; frame < kFrames; ++frame) {
            gl::BindFramebuffer(GL_FRAMEBUFFER, area.framebuffer);
            gl::Clear(GL_COLOR_BUFFER_BIT | (area.depth != 0 ? GL_DEPTH_BUFFER_BIT : 0));
            gl::DrawArrays(GL_QUADS, 0, vertices);
            gl::BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
            gl::BlitFramebuffer(0, 0, kWidth, kHeight, 0, 0, kWidth, kHeight, GL_COLOR_BUFFER_BIT, GL_NEAREST);
            SDL_GL_SwapWindow(window);
        }
        gl::Finish();
        cpu.main.push_back((bench::ThreadCpuSeconds() - main0) / kFrames);
        cpu.process.push_back((bench::ProcessCpuSeconds() - process0) / kFrames);
    };
    Cpu ours, theirs, warmUp;
    for (auto _ : state) {
        frames(now, warmUp);
        frames(before, warmUp);
        for (int round = 0; round < 5; ++round) {
            frames(now, ours);
            frames(before, theirs);
        }
    }
    auto summary = [](const Cpu& cpu) {
        return bench::Duration(bench::Samples::Min(cpu.main)) + " / " +
               bench::Duration(bench::Samples::Median(cpu.main)) + " main thread, " +
               bench::Duration(bench::Samples::Min(cpu.process)) + " / " +
               bench::Duration(bench::Samples::Median(cpu.process)) + " whole process";
    };
    bench::Result("one screen of 32² tiles drawn into the drawing area and presented, plain OpenGL, CPU per "
                  "frame (min / median of 5): the floor under the game's level-1 frame",
                  summary(ours), summary(theirs) + " (RGB renderbuffer and depth buffer, rows bottom-up)",
                  bench::Number(bench::Samples::Median(theirs.process) / bench::Samples::Median(ours.process)) +
                      " whole process",
                  "", "-");
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
}
BENCHMARK(BM_LevelPictureFloor)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
