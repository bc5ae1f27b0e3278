#include "picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace media {

Colour Mix(Colour a, Colour b, double t)
{
    auto channel = [t](int x, int y) { return static_cast<std::uint8_t>(std::lround(x + (y - x) * t)); };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

Picture::Picture(int width, int height, Colour fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill)
{
}

void Picture::Rect(int x0, int y0, int x1, int y1, Colour c)
{
    for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y)
        for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x) Set(x, y, c);
}

void Picture::Ellipse(double cx, double cy, double rx, double ry, Colour c)
{
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            double dx = (x - cx) / rx, dy = (y - cy) / ry;
            if (dx * dx + dy * dy <= 1.0) Set(x, y, c);
        }
}

void Picture::Triangle(double ax, double ay, double bx, double by, double cx, double cy, Colour c)
{
    auto side = [](double px, double py, double x0, double y0, double x1, double y1) {
        return (x1 - x0) * (py - y0) - (y1 - y0) * (px - x0);
    };
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            double s1 = side(x, y, ax, ay, bx, by), s2 = side(x, y, bx, by, cx, cy), s3 = side(x, y, cx, cy, ax, ay);
            bool negative = s1 < 0 || s2 < 0 || s3 < 0, positive = s1 > 0 || s2 > 0 || s3 > 0;
            if (!(negative && positive)) Set(x, y, c);
        }
}

void Picture::Line(double x0, double y0, double x1, double y1, double thickness, Colour c)
{
    double length = std::hypot(x1 - x0, y1 - y0);
    int steps = std::max(1, static_cast<int>(length * 4));
    for (int i = 0; i <= steps; ++i) {
        double t = static_cast<double>(i) / steps;
        double x = x0 + (x1 - x0) * t, y = y0 + (y1 - y0) * t;
        if (thickness <= 1.0)
            Set(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)), c);
        else
            Ellipse(x, y, thickness / 2, thickness / 2, c);
    }
}

void Picture::PaintOver(int x, int y, Colour c)
{
    if (!Transparent(x, y)) Set(x, y, c);
}

void Picture::Outline(Colour c)
{
    std::vector<std::pair<int, int>> border;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            if (Transparent(x, y) &&
                (!Transparent(x - 1, y) || !Transparent(x + 1, y) || !Transparent(x, y - 1) || !Transparent(x, y + 1)))
                border.emplace_back(x, y);
    for (auto [x, y] : border) Set(x, y, c);
}

Picture Picture::MirroredLeftRight() const
{
    Picture mirrored(width_, height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) mirrored.Set(width_ - 1 - x, y, At(x, y));
    return mirrored;
}

namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned v)
{
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

bool Picture::WriteBmp(const std::string& path) const
{
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width_) * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = rowBytes * height_;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + pixelBytes);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, width_);
    Put32(out, height_);
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, pixelBytes);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = height_ - 1; y >= 0; --y) {  // bottom row first
        std::size_t rowStart = out.size();
        for (int x = 0; x < width_; ++x) {
            Colour c = At(x, y);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        while (out.size() - rowStart < rowBytes) out.push_back(0);
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace media
