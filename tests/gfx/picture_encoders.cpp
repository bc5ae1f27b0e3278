#include "picture_encoders.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>

namespace {

void Put32Be(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void Put16Le(std::vector<std::uint8_t>& out, unsigned v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0xFFFFFFFFu)
{
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc;
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::vector<std::uint8_t> Stored(const std::vector<std::uint8_t>& raw)
{
    std::vector<std::uint8_t> out = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t length = raw.size() - at < 65535 ? raw.size() - at : 65535;
        out.push_back(at + length == raw.size() ? 1 : 0);
        Put16Le(out, static_cast<unsigned>(length));
        Put16Le(out, static_cast<unsigned>(~length & 0xFFFF));
        out.insert(out.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + length));
        at += length;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    Put32Be(out, b << 16 | a);
    return out;
}

std::vector<std::uint8_t> MakePng(int width, int height, bool alpha, const PixelsRgba& colour)
{
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < width; ++x) {
            const Rgba c = colour(x, y);
            raw.push_back(static_cast<std::uint8_t>(c.r));
            raw.push_back(static_cast<std::uint8_t>(c.g));
            raw.push_back(static_cast<std::uint8_t>(c.b));
            if (alpha) raw.push_back(static_cast<std::uint8_t>(c.a));
        }
    }
    std::vector<std::uint8_t> header;
    Put32Be(header, static_cast<std::uint32_t>(width));
    Put32Be(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, static_cast<std::uint8_t>(alpha ? 6 : 2), 0, 0, 0});
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const auto& chunk : {PngChunk("IHDR", header), PngChunk("IDAT", Stored(raw)), PngChunk("IEND", {})})
        png.insert(png.end(), chunk.begin(), chunk.end());
    return png;
}

}  // namespace

std::vector<std::uint8_t> PngChunk(const char type[4], const std::vector<std::uint8_t>& data)
{
    std::vector<std::uint8_t> chunk;
    Put32Be(chunk, static_cast<std::uint32_t>(data.size()));
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    Put32Be(chunk, Crc32(chunk.data() + 4, chunk.size() - 4) ^ 0xFFFFFFFFu);
    return chunk;
}

std::vector<std::uint8_t> MakePngRgb(int width, int height, const PixelsRgba& colour)
{
    return MakePng(width, height, false, colour);
}

std::vector<std::uint8_t> MakePngRgba(int width, int height, const PixelsRgba& colour)
{
    return MakePng(width, height, true, colour);
}

std::vector<std::uint8_t> MakeGif(int width, int height, const std::vector<Rgba>& palette,
                                  const std::vector<std::vector<std::uint8_t>>& frames, int transparentIndex)
{
    std::vector<std::uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a'};
    Put16Le(gif, static_cast<unsigned>(width));
    Put16Le(gif, static_cast<unsigned>(height));
    gif.insert(gif.end(), {0x86, 0, 0});  // global table of 128 entries
    for (int i = 0; i < 128; ++i) {
        const Rgba c = i < static_cast<int>(palette.size()) ? palette[static_cast<std::size_t>(i)] : Rgba{};
        gif.insert(gif.end(), {static_cast<std::uint8_t>(c.r), static_cast<std::uint8_t>(c.g),
                               static_cast<std::uint8_t>(c.b)});
    }
    for (const auto& indices : frames) {
        // Graphic control: no disposal, the transparent index when there is one.
        gif.insert(gif.end(), {0x21, 0xF9, 4, static_cast<std::uint8_t>(transparentIndex >= 0 ? 1 : 0), 0, 0,
                               static_cast<std::uint8_t>(transparentIndex >= 0 ? transparentIndex : 0), 0});
        gif.push_back(0x2C);
        Put16Le(gif, 0);
        Put16Le(gif, 0);
        Put16Le(gif, static_cast<unsigned>(width));
        Put16Le(gif, static_cast<unsigned>(height));
        gif.push_back(0);
        // Minimum code size 7: codes are 8 bits, so each code is one byte as
        // long as a clear code comes before the table needs 9 bits.
        gif.push_back(7);
        std::vector<std::uint8_t> codes = {128};
        int sinceClear = 0;
        for (std::uint8_t index : indices) {
            if (sinceClear == 100) {
                codes.push_back(128);
                sinceClear = 0;
            }
            codes.push_back(index);
            ++sinceClear;
        }
        codes.push_back(129);
        for (std::size_t at = 0; at < codes.size(); at += 255) {
            const std::size_t length = codes.size() - at < 255 ? codes.size() - at : 255;
            gif.push_back(static_cast<std::uint8_t>(length));
            gif.insert(gif.end(), codes.begin() + static_cast<long>(at), codes.begin() + static_cast<long>(at + length));
        }
        gif.push_back(0);
    }
    gif.push_back(0x3B);
    return gif;
}

std::vector<std::uint8_t> MakeTga(int width, int height, const PixelsRgba& colour, bool withAlpha)
{
    std::vector<std::uint8_t> tga(18, 0);
    tga[2] = 2;  // uncompressed true colour
    tga[12] = static_cast<std::uint8_t>(width);
    tga[13] = static_cast<std::uint8_t>(width >> 8);
    tga[14] = static_cast<std::uint8_t>(height);
    tga[15] = static_cast<std::uint8_t>(height >> 8);
    tga[16] = withAlpha ? 32 : 24;
    tga[17] = static_cast<std::uint8_t>(0x20 | (withAlpha ? 8 : 0));  // top row first
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgba c = colour(x, y);
            tga.insert(tga.end(), {static_cast<std::uint8_t>(c.b), static_cast<std::uint8_t>(c.g),
                                   static_cast<std::uint8_t>(c.r)});
            if (withAlpha) tga.push_back(static_cast<std::uint8_t>(c.a));
        }
    return tga;
}

namespace {

SDL_Surface* RgbSurface(int width, int height, const PixelsRgba& colour)
{
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 24, SDL_PIXELFORMAT_RGB24);
    if (surface == nullptr) return nullptr;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgba c = colour(x, y);
            std::uint8_t* p = static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch + x * 3;
            p[0] = static_cast<std::uint8_t>(c.r);
            p[1] = static_cast<std::uint8_t>(c.g);
            p[2] = static_cast<std::uint8_t>(c.b);
        }
    return surface;
}

std::vector<std::uint8_t> Save(SDL_Surface* surface, bool jpeg)
{
    if (surface == nullptr) return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(surface->w) * surface->h * 4 + 4096);
    SDL_RWops* stream = SDL_RWFromMem(bytes.data(), static_cast<int>(bytes.size()));
    const bool saved =
        stream != nullptr && (jpeg ? IMG_SaveJPG_RW(surface, stream, 0, 95) : IMG_SavePNG_RW(surface, stream, 0)) == 0;
    const Sint64 length = saved ? SDL_RWtell(stream) : 0;
    if (stream != nullptr) SDL_RWclose(stream);
    SDL_FreeSurface(surface);
    bytes.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return bytes;
}

}  // namespace

std::vector<std::uint8_t> MakeJpeg(int width, int height, const PixelsRgba& colour)
{
    return Save(RgbSurface(width, height, colour), true);
}

std::vector<std::uint8_t> MakeCompressedPng(int width, int height, const PixelsRgba& colour)
{
    return Save(RgbSurface(width, height, colour), false);
}
