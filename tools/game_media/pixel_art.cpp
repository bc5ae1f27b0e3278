#include "pixel_art.h"

#include <cmath>

namespace media {

namespace {

constexpr Colour kCatOutline{45, 28, 22};
constexpr Colour kCatFur{236, 146, 48};
constexpr Colour kCatStripe{184, 94, 26};
constexpr Colour kCatWhite{250, 244, 232};
constexpr Colour kCatPink{242, 150, 168};
constexpr Colour kCatEye{96, 200, 64};
constexpr Colour kPupil{16, 16, 20};

constexpr Colour kEarth{142, 92, 52};
constexpr Colour kEarthDark{118, 74, 40};
constexpr Colour kEarthLight{164, 112, 66};
constexpr Colour kStone{150, 140, 128};
constexpr Colour kSky{124, 190, 246};

}  // namespace

Picture DrawCatFacingRight()
{
    Picture cat(32, 32);
    // Tail: a thick curve rising behind the body.
    for (double t = 0; t <= 1.0; t += 0.05) {
        double x = 6 - 4 * t + 1.5 * std::sin(t * 3.0), y = 21 - 13 * t;
        cat.Ellipse(x, y, 1.4, 1.4, kCatFur);
    }
    cat.Ellipse(13.5, 20.5, 9.0, 5.2, kCatFur);          // body
    cat.Rect(7, 24, 9, 29, kCatFur);                      // back legs
    cat.Rect(11, 24, 13, 29, kCatFur);
    cat.Rect(17, 24, 19, 29, kCatFur);                    // front legs
    cat.Rect(20, 24, 22, 29, kCatFur);
    cat.Ellipse(23.0, 14.5, 5.6, 5.0, kCatFur);           // head
    cat.Triangle(18.5, 11.5, 19.5, 5.0, 23.0, 10.0, kCatFur);  // ears
    cat.Triangle(23.5, 10.0, 27.5, 5.0, 28.0, 12.0, kCatFur);
    cat.Triangle(20.0, 10.5, 20.3, 7.5, 21.8, 10.0, kCatPink);
    cat.Triangle(24.8, 10.0, 26.8, 7.5, 26.9, 10.8, kCatPink);

    // Tabby stripes on the back and the tail tip, white chest, paws and muzzle.
    for (int x = 7; x <= 19; x += 4)
        for (int y = 15; y <= 19; ++y) {
            cat.PaintOver(x, y, kCatStripe);
            cat.PaintOver(x + 1, y - 1, kCatStripe);
        }
    cat.PaintOver(2, 9, kCatStripe);
    cat.PaintOver(2, 10, kCatStripe);
    cat.PaintOver(3, 12, kCatStripe);
    for (int y = 22; y <= 25; ++y)
        for (int x = 15; x <= 22; ++x) cat.PaintOver(x, y, kCatWhite);
    for (int x : {7, 8, 9, 11, 12, 13, 17, 18, 19, 20, 21, 22}) {
        cat.PaintOver(x, 28, kCatWhite);
        cat.PaintOver(x, 29, kCatWhite);
    }
    cat.Ellipse(26.3, 17.0, 2.6, 2.0, kCatWhite);
    cat.Set(28, 15, kCatPink);  // nose
    cat.Set(29, 15, kCatPink);
    cat.Set(24, 13, kCatEye);   // eye
    cat.Set(25, 13, kCatEye);
    cat.Set(24, 14, kCatEye);
    cat.Set(25, 14, kPupil);
    cat.Outline(kCatOutline);
    // Whiskers reach past the outline.
    for (int x = 29; x <= 31; ++x) {
        cat.Set(x, 16, Colour{230, 230, 230});
        cat.Set(x, 18, Colour{230, 230, 230});
    }
    cat.Set(27, 18, kCatOutline);  // mouth
    return cat;
}

Picture DrawGuard()
{
    constexpr Colour kUniform{44, 66, 156};
    constexpr Colour kUniformDark{28, 40, 104};
    constexpr Colour kSkin{240, 196, 160};
    constexpr Colour kGold{250, 210, 60};
    constexpr Colour kBlack{24, 24, 30};
    Picture guard(32, 32);
    guard.Rect(10, 25, 14, 29, kUniformDark);  // legs
    guard.Rect(17, 25, 21, 29, kUniformDark);
    guard.Rect(9, 30, 14, 30, kBlack);         // shoes
    guard.Rect(17, 30, 22, 30, kBlack);
    guard.Rect(9, 15, 22, 24, kUniform);       // jacket
    guard.Rect(6, 15, 8, 23, kUniform);        // arms
    guard.Rect(23, 15, 25, 23, kUniform);
    guard.Rect(6, 24, 8, 25, kSkin);           // hands
    guard.Rect(23, 24, 25, 25, kSkin);
    guard.Line(26.0, 17.0, 27.0, 27.0, 2.0, kBlack);  // baton
    guard.Ellipse(15.5, 10.5, 5.0, 4.6, kSkin);       // face
    guard.Rect(10, 2, 21, 5, kUniformDark);           // cap and visor
    guard.Rect(9, 6, 22, 6, kBlack);
    guard.Rect(15, 3, 16, 4, kGold);                  // cap badge
    guard.Set(13, 9, kBlack);                         // eyes
    guard.Set(18, 9, kBlack);
    guard.Rect(13, 12, 18, 12, Colour{110, 70, 40});  // moustache
    guard.Rect(9, 22, 22, 22, kBlack);                // belt and buckle
    guard.Rect(15, 22, 16, 22, kGold);
    guard.Set(15, 17, kGold);                         // buttons
    guard.Set(15, 19, kGold);
    guard.Rect(18, 16, 20, 17, kGold);                // badge on the chest
    guard.Outline(Colour{12, 12, 20});
    return guard;
}

Picture DrawLandTile()
{
    Picture land(32, 32, kEarth);
    Dice dice(0x1A4D);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            int roll = dice.Below(10);
            if (roll == 0) land.Set(x, y, kEarthDark);
            if (roll == 1) land.Set(x, y, kEarthLight);
        }
    // A few pebbles, kept off the tile's edges so the tiles join seamlessly.
    const int pebbles[][2] = {{6, 8}, {22, 5}, {14, 20}, {26, 24}, {5, 27}};
    for (auto& p : pebbles) {
        land.Rect(p[0], p[1], p[0] + 1, p[1], kStone);
        land.Set(p[0], p[1] + 1, kEarthDark);
        land.Set(p[0] + 1, p[1] + 1, kEarthDark);
    }
    return land;
}

Picture DrawSkyTile()
{
    return Picture(32, 32, kSky);
}

Picture DrawFlagTile()
{
    Picture tile = DrawLandTile();
    constexpr Colour kPole{210, 210, 215};
    constexpr Colour kPoleShade{130, 130, 140};
    constexpr Colour kRed{222, 36, 42};
    constexpr Colour kRedDark{160, 20, 30};
    // A mound of fresh earth at the foot of the pole.
    tile.Ellipse(10.0, 29.5, 7.0, 3.0, kEarthDark);
    tile.Rect(9, 3, 9, 29, kPole);
    tile.Rect(10, 3, 10, 29, kPoleShade);
    tile.Ellipse(9.5, 2.5, 1.5, 1.5, Colour{250, 210, 60});  // knob
    // A pennant with a white star, waving slightly.
    for (int x = 11; x <= 27; ++x) {
        double wave = std::sin((x - 11) * 0.45) * 1.2;
        int top = static_cast<int>(std::lround(4 + wave + (x - 11) * 0.18));
        int bottom = static_cast<int>(std::lround(17 + wave - (x - 11) * 0.35));
        for (int y = top; y <= bottom; ++y) tile.Set(x, y, (y == bottom || x == 27) ? kRedDark : kRed);
    }
    tile.Triangle(17.0, 7.0, 15.0, 13.0, 21.0, 9.5, Colour{255, 255, 255});
    tile.Triangle(13.5, 9.5, 19.0, 13.0, 17.5, 7.5, Colour{255, 255, 255});
    return tile;
}

Picture DrawMountains()
{
    // The picture's row 28 lies on the upper edge of the land; above it far
    // mountains, below it a strip of grass that hides the edge of the tiles.
    constexpr int kHorizon = 28;
    Picture hills(960, 44);
    constexpr Colour kRock{112, 124, 168};
    constexpr Colour kRockShade{92, 102, 146};
    constexpr Colour kSnow{244, 248, 255};
    constexpr Colour kGrass{74, 164, 62};
    constexpr Colour kGrassDark{52, 128, 46};
    for (int x = 0; x < 960; ++x) {
        double u = x / 960.0 * 2 * 3.14159265358979;
        double height = 15 + 7 * std::sin(u * 3 + 0.7) + 4 * std::sin(u * 7 + 2.1) + 2 * std::sin(u * 13);
        double slope = 21 * std::cos(u * 3 + 0.7) + 28 * std::cos(u * 7 + 2.1) + 26 * std::cos(u * 13);
        int top = kHorizon - static_cast<int>(height);
        for (int y = top; y < kHorizon + 4; ++y) {
            Colour rock = slope < 0 ? kRockShade : kRock;  // light from the left
            hills.Set(x, y, (height > 19 && y < top + 3) ? kSnow : rock);
        }
        double near = 4 + 3 * std::sin(u * 5 + 1.3) + 1.5 * std::sin(u * 17);
        for (int y = kHorizon - static_cast<int>(near); y < 44; ++y) hills.Set(x, y, kGrass);
    }
    // Blades of grass along the lower edge, so the land shows through.
    Dice dice(0xB10E);
    for (int x = 0; x < 960; ++x) {
        int blade = 36 + dice.Below(7);
        for (int y = blade; y < 44; ++y) hills.Set(x, y, kColourKey);
        hills.Set(x, blade - 1, kGrassDark);
        if (dice.Below(5) == 0) hills.Set(x, blade - 3, kGrassDark);
    }
    return hills;
}

Picture DrawSun()
{
    Picture sun(96, 120);
    constexpr double cx = 48, cy = 88;
    for (int ray = 0; ray < 12; ++ray) {
        double angle = ray * 3.14159265358979 / 6;
        double inner = 22, outer = (ray % 2) ? 32 : 40;
        sun.Line(cx + inner * std::cos(angle), cy + inner * std::sin(angle), cx + outer * std::cos(angle),
                 cy + outer * std::sin(angle), 3.0, Colour{255, 200, 60});
    }
    sun.Ellipse(cx, cy, 19, 19, Colour{255, 170, 40});
    sun.Ellipse(cx, cy, 16, 16, Colour{255, 224, 80});
    sun.Ellipse(cx - 5, cy - 5, 5, 5, Colour{255, 244, 170});
    return sun;
}

Picture DrawBird(int frame)
{
    constexpr Colour kFeather{54, 56, 70};
    Picture bird(24, 16);
    // Wing tips from high (frame 0) to low (frame 3); the elbows follow.
    const double tipY[4] = {1.0, 5.0, 9.0, 13.0};
    const double elbowY[4] = {4.0, 6.5, 8.5, 10.5};
    double tip = tipY[frame & 3], elbow = elbowY[frame & 3];
    bird.Line(12, 8, 6, elbow, 2.0, kFeather);
    bird.Line(6, elbow, 1, tip, 1.5, kFeather);
    bird.Line(12, 8, 18, elbow, 2.0, kFeather);
    bird.Line(18, elbow, 23, tip, 1.5, kFeather);
    bird.Ellipse(12, 8.5, 3.0, 2.0, kFeather);
    bird.Set(12, 7, Colour{250, 250, 250});  // a light head
    bird.Set(12, 11, Colour{240, 150, 40});  // feet tucked in
    return bird;
}

}  // namespace media
