// Runs Zorvelin's subroutines inside the test process: the runtime is
// started on the test's X display with the game's media, and the keys come
// from a script of frame-numbered key states (the scripted input source),
// so every frame's input is known.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "audio/sfx_sound_buffer.h"
#include "commands.h"
#include "gl/gl_calls.h"
#include "zorvelin.h"  // the game translated from game/zorvelin.bas
#include "bmp_picture.h"
#include "support/child_process.h"

namespace game_testing {

using Rgb = Colour;
inline std::ostream& operator<<(std::ostream& out, const Colour& c)
{
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// DIK scan codes the game reads.
constexpr int kUp = 200, kDown = 208, kLeft = 203, kRight = 205, kSpace = 57, kKeyM = 50;

class GameTest : public ::testing::Test {
protected:
    // Nothing of the runtime may still run when the process exits and the
    // leak checker looks at it.
    void TearDown() override { __ReleaseRuntime(); }

    // The first frame a test draws; script entries count from here.
    static constexpr long kFirstFrame = 10;

    // Starts the runtime and loads the game's media. script holds lines
    // "<frame> key <code> down|up" with frames counted from kFirstFrame.
    void Start(const std::vector<std::string>& script = {})
    {
        std::ofstream file(folder.File("input.txt"));
        for (const std::string& line : script) {
            long frame = std::stol(line);
            file << frame + kFirstFrame << line.substr(line.find(' ')) << "\n";
        }
        file.close();
        setenv("TMPDIR", folder.Path().c_str(), 1);
        setenv("KV_INPUT_SCRIPT", folder.File("input.txt").c_str(), 1);
        setenv("KV_UNPACED", "1", 1);
        setenv("KV_SEED", "7", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        KV_RESX = 640;
        KV_RESY = 480;
        KV_FULLSCREEN = 0;
        KV_FRAMERATE = 60;
        KV_DEBUG = 1;
        __GlobalInit(nullptr, nullptr, g_cmdline.GetStrData(), 1, "game_test");
        ASSERT_NE(pRbow, nullptr);
        LoadMedia();
        while (platform::PresentedFrames() < kFirstFrame) SHOWSCREEN();
    }

    // What the game loads at every game start.
    static void LoadMedia()
    {
        LOADFONT("font.bmp", 0);
        LOADFONT("fontklein.bmp", 1);
        const char* sprites[] = {"katze_rechts.bmp", "katze_links.bmp", "wachmann.bmp", "flagge.bmp",
                                 "land.bmp",         "himmel.bmp",      "berge.bmp",    "sonne.bmp",
                                 "vogel_0.bmp",      "vogel_1.bmp",     "vogel_2.bmp",  "vogel_3.bmp"};
        for (int n = 0; n < 12; ++n) LOADSPRITE(sprites[n], n);
        LOADSOUND("einsammeln.wav", 0, 1);
        LOADSOUND("gefangen.wav", 1, 1);
        LOADSOUND("musik.wav", 2, 1);
    }

    // The game-start and level-start values of the main loop, with the map
    // of four sky rows, land and the nine flags.
    static void NewGameAndLevel()
    {
        geschwindigkeit = 1;
        anzahlleben = 3;
        levelz = 1;
        gegner2aktiv = 0;
        anzahlgegner3 = -2;
        levelgeschafft = 0;
        DIM(feld, 22, 30);
        for (int r = 0; r < 22; ++r)
            for (int c = 0; c < 30; ++c) feld(r, c) = r < 4 ? 0 : 1;
        for (int r : {6, 13, 20})
            for (int c : {1, 14, 28}) feld(r, c) = 2;
        DIM(braunepixelx, 631);
        DIM(braunepixely, 631);
        xpos = 300;
        ypos = 140;
        scrollx = -160;
        scrolly = -112;
        gegner2x = 100;
        gegner2y = 160;
        gegner2startschalter = 0;
        geschnappt = 0;
        DIM(gegner3x, 3);
        DIM(gegner3y, 3);
        gegner3x(0) = 64, gegner3x(1) = 864, gegner3x(2) = 80;
        gegner3y(0) = 352, gegner3y(1) = 352, gegner3y(2) = 608;
    }

    // The frame now being drawn, counted from kFirstFrame.
    static long Frame() { return platform::PresentedFrames() - kFirstFrame; }

    // One pixel of the drawing area, screen coordinates (y down).
    static Rgb Pixel(int x, int y)
    {
        unsigned char rgb[3] = {};
        gl::PixelStorei(GL_PACK_ALIGNMENT, 1);
        gl::ReadPixels(x, KV_RESY - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        return {rgb[0], rgb[1], rgb[2]};
    }

    // A block of the drawing area, top row first.
    static std::vector<Rgb> Block(int x, int y, int w, int h)
    {
        std::vector<unsigned char> rgb(static_cast<std::size_t>(w) * h * 3);
        gl::PixelStorei(GL_PACK_ALIGNMENT, 1);
        gl::ReadPixels(x, KV_RESY - y - h, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        std::vector<Rgb> block;
        for (int row = h - 1; row >= 0; --row)
            for (int col = 0; col < w; ++col) {
                const unsigned char* p = &rgb[(static_cast<std::size_t>(row) * w + col) * 3];
                block.push_back({p[0], p[1], p[2]});
            }
        return block;
    }

    // A pixel of one of the game's pictures (top row first).
    static Rgb MediaPixel(const std::string& name, int x, int y) { return BmpPicture(MediaPath(name)).At(x, y); }

    testing_support::ScratchFolder folder;
};

}  // namespace game_testing
