// make_game_media: draws the game's pictures and fonts and synthesises its
// sounds into one folder. Deterministic: the same program writes the same
// files. The results are kept in game/media/, so building the game needs
// neither this tool nor FreeType; run it again after changing the art:
//
//   make_game_media <output folder> [<TrueType folder>]
//
// The fonts are rendered from DejaVu Sans Condensed Bold (Debian's
// fonts-dejavu-core), looked up in /usr/share/fonts/truetype/dejavu unless
// another folder is given.
#include <cstdio>
#include <filesystem>
#include <string>

#include "bitmap_font.h"
#include "pixel_art.h"
#include "sounds.h"

using namespace media;

namespace {

bool Save(const Picture& picture, const std::string& folder, const char* name)
{
    if (picture.WriteBmp(folder + "/" + name)) return true;
    std::fprintf(stderr, "make_game_media: cannot write %s/%s\n", folder.c_str(), name);
    return false;
}

bool Save(const Samples& samples, const std::string& folder, const char* name)
{
    if (WriteWav(folder + "/" + name, samples)) return true;
    std::fprintf(stderr, "make_game_media: cannot write %s/%s\n", folder.c_str(), name);
    return false;
}

bool SaveFont(const FontStyle& style, const std::string& folder, const char* name)
{
    Picture font(1, 1);
    std::string error;
    if (!DrawBitmapFont(style, font, error)) {
        std::fprintf(stderr, "make_game_media: %s\n", error.c_str());
        return false;
    }
    return Save(font, folder, name);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make_game_media <output folder> [<TrueType folder>]\n");
        return 2;
    }
    const std::string out = argv[1];
    const std::string ttf = std::string(argc == 3 ? argv[2] : "/usr/share/fonts/truetype/dejavu") +
                            "/DejaVuSansCondensed-Bold.ttf";

    // Large font: titles. 24 x 40 cells, golden letters with a brown border.
    FontStyle large{ttf, 24, 40, 32, {255, 244, 140}, {255, 140, 24}, {70, 26, 10}};
    // Small font: menu lines. 12 x 20 cells, white letters with a dark border.
    FontStyle small{ttf, 12, 20, 15, {255, 255, 255}, {214, 226, 255}, {28, 30, 48}};

    std::error_code ignored;
    std::filesystem::create_directories(out, ignored);
    bool ok = true;
    ok &= SaveFont(large, out, "font.bmp");
    ok &= SaveFont(small, out, "fontklein.bmp");
    Picture cat = DrawCatFacingRight();
    ok &= Save(cat, out, "katze_rechts.bmp");
    ok &= Save(cat.MirroredLeftRight(), out, "katze_links.bmp");
    ok &= Save(DrawGuard(), out, "wachmann.bmp");
    ok &= Save(DrawFlagTile(), out, "flagge.bmp");
    ok &= Save(DrawLandTile(), out, "land.bmp");
    ok &= Save(DrawSkyTile(), out, "himmel.bmp");
    ok &= Save(DrawMountains(), out, "berge.bmp");
    ok &= Save(DrawSun(), out, "sonne.bmp");
    for (int frame = 0; frame < 4; ++frame) {
        std::string name = "vogel_" + std::to_string(frame) + ".bmp";
        ok &= Save(DrawBird(frame), out, name.c_str());
    }
    ok &= Save(SynthesisePickUp(), out, "einsammeln.wav");
    ok &= Save(SynthesiseCaught(), out, "gefangen.wav");
    ok &= Save(SynthesiseTune(), out, "musik.wav");
    return ok ? 0 : 1;
}
