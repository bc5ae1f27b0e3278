// A small RGB picture with the drawing operations the game's pixel art is
// made of, and a writer for 24-bit BMP files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace media {

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Colour& o) const { return r == o.r && g == o.g && b == o.b; }
};

// The colour the runtime makes transparent in sprites (red 255, green 0,
// blue 128).
constexpr Colour kColourKey{255, 0, 128};

Colour Mix(Colour a, Colour b, double t);  // t = 0 gives a, 1 gives b

class Picture {
public:
    Picture(int width, int height, Colour fill = kColourKey);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    Colour At(int x, int y) const { return pixels_[y * width_ + x]; }
    void Set(int x, int y, Colour c)
    {
        if (Inside(x, y)) pixels_[y * width_ + x] = c;
    }
    bool Transparent(int x, int y) const { return !Inside(x, y) || At(x, y) == kColourKey; }

    // Shapes, each filled; coordinates are pixel centres.
    void Rect(int x0, int y0, int x1, int y1, Colour c);  // inclusive corners
    void Ellipse(double cx, double cy, double rx, double ry, Colour c);
    void Triangle(double ax, double ay, double bx, double by, double cx, double cy, Colour c);
    void Line(double x0, double y0, double x1, double y1, double thickness, Colour c);

    // Recolours only pixels that are not transparent (for markings drawn
    // on a shape that must not spill over its edge).
    void PaintOver(int x, int y, Colour c);
    // Draws a one-pixel border around everything opaque, outside it.
    void Outline(Colour c);
    Picture MirroredLeftRight() const;

    bool WriteBmp(const std::string& path) const;

private:
    int width_, height_;
    std::vector<Colour> pixels_;
};

// A fixed pseudo-random sequence, so that every run draws the same pictures.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : state_(seed) {}
    std::uint32_t Next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
    double Unit() { return (Next() & 0xFFFF) / 65535.0; }

private:
    std::uint32_t state_;
};

}  // namespace media
