// OpenGLRainbows: picture files (BMP, PNG, JPEG, GIF, TGA) into sprite
// slots and fonts, screen areas into sprites, the texture selection, and
// the back buffer into a BMP file.
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include "gfx/bmp_reader.h"
#include "gfx/opengl_rainbows.h"
#include "gfx/picture_reader.h"
#include "gfx/texture_images.h"
#include "gl/gl_calls.h"
#include "gl/texture_state.h"

namespace {

// Smallest power of two not below n, searching 2^1 .. 2^16; 1 for n <= 1.
int GrabTextureSize(int n)
{
    if (n <= 1) return 1;
    for (int exponent = 1; exponent <= 16; ++exponent)
        if ((1 << exponent) >= n) return 1 << exponent;
    return 1 << 16;
}

void Put16(std::uint8_t* p, std::uint32_t v) { p[0] = v & 0xFF; p[1] = (v >> 8) & 0xFF; }
void Put32(std::uint8_t* p, std::uint32_t v) { Put16(p, v); Put16(p + 2, v >> 16); }

}  // namespace

void OpenGLRainbows::GetBMPSize(const char* file, std::int32_t& w, std::int32_t& h)
{
    w = h = 0;
    if (file == nullptr) return;
    if (IsDecodedPictureFile(file)) {
        PictureFile picture;
        if (!ReadPictureFile(file, picture)) return;
        w = picture.width;
        h = picture.height;
        return;
    }
    std::FILE* stream = std::fopen(file, "rb");
    if (stream == nullptr) return;
    std::uint8_t header[kBmpHeaderBytes];
    const std::size_t got = std::fread(header, 1, sizeof header, stream);
    long fileSize = -1;
    if (std::fseek(stream, 0, SEEK_END) == 0) fileSize = std::ftell(stream);
    std::fclose(stream);
    BmpHeader parsed;
    if (fileSize < 0 || !ParseBmpHeader(header, got, static_cast<std::uint64_t>(fileSize), parsed)) return;
    const std::int32_t width = parsed.width < 0 ? -parsed.width : parsed.width;
    const std::int32_t height = parsed.height < 0 ? -parsed.height : parsed.height;
    // The slot tables hold 16-bit sizes, texture sizes included: a picture
    // whose power-of-two texture would not fit cannot be recorded.
    if (width > kLargestPicture || height > kLargestPicture) return;
    w = width;
    h = height;
}

bool OpenGLRainbows::MakeBMPTexture(const char* file, int x0, int y0, int w, int h, GLuint* texture,
                                    GLuint* mipmapTexture, std::uint32_t colorKey, bool useKey, bool bump)
{
    if (IsDecodedPictureFile(file)) {
        PictureFile picture;
        if (!ReadPictureFile(file, picture) || !picture.pixelsRead) return false;
        MakePictureTexture(picture, x0, y0, w, h, texture, mipmapTexture, colorKey, useKey, bump);
        return true;
    }
    std::vector<std::uint8_t> bytes;
    BmpPicture picture;
    if (!ReadWholeFile(file, bytes) || !ParseBmpPicture(bytes.data(), bytes.size(), picture)) return false;
    MakePictureTexture(picture, x0, y0, w, h, texture, mipmapTexture, colorKey, useKey, bump);
    return true;
}

namespace {

// The texture's rectangle: the whole picture when w or h is 0, cut to the
// driver's largest texture; its texture sizes are powers of two.
struct TextureRectangle {
    int cw, ch, tw, th;
};

TextureRectangle FitTexture(int pictureWidth, int pictureHeight, int w, int h)
{
    GLint maxTex = 0;
    gl::GetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTex);
    if (maxTex <= 0) maxTex = 64;
    if (w == 0 || h == 0) {
        w = pictureWidth;
        h = pictureHeight;
    }
    TextureRectangle r;
    r.cw = w < maxTex ? w : maxTex;
    r.ch = h < maxTex ? h : maxTex;
    r.tw = NextPowerOfTwo(r.cw);
    r.th = NextPowerOfTwo(r.ch);
    return r;
}

}  // namespace

void OpenGLRainbows::MakePictureTexture(const BmpPicture& picture, int x0, int y0, int w, int h,
                                        GLuint* texture, GLuint* mipmapTexture, std::uint32_t colorKey,
                                        bool useKey, bool bump)
{
    const TextureRectangle r = FitTexture(picture.width, picture.height, w, h);
    std::vector<std::uint8_t> texels = MakeSpriteTexels(picture, x0, y0, r.cw, r.ch, r.tw, r.th, colorKey, useKey);
    UploadSpriteTexels(texels, r.tw, r.th, texture, mipmapTexture, bump);
}

void OpenGLRainbows::MakePictureTexture(const PictureFile& picture, int x0, int y0, int w, int h,
                                        GLuint* texture, GLuint* mipmapTexture, std::uint32_t colorKey,
                                        bool useKey, bool bump)
{
    if (picture.isBmp) {
        MakePictureTexture(picture.bmp, x0, y0, w, h, texture, mipmapTexture, colorKey, useKey, bump);
        return;
    }
    const TextureRectangle r = FitTexture(picture.width, picture.height, w, h);
    std::vector<std::uint8_t> texels =
        MakeSpriteTexels(picture.decoded, x0, y0, r.cw, r.ch, r.tw, r.th, colorKey, useKey);
    UploadSpriteTexels(texels, r.tw, r.th, texture, mipmapTexture, bump);
}

void OpenGLRainbows::UploadSpriteTexels(std::vector<std::uint8_t>& texels, int tw, int th, GLuint* texture,
                                        GLuint* mipmapTexture, bool bump)
{
    SetTightUnpacking();
    gl::GenTextures(1, texture);
    gl::BindTexture(GL_TEXTURE_2D, *texture);
    SetTextureParameters(GL_LINEAR);
    if (bump) build_detail_normalmap(texels.data(), tw, th);
    gl::TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tw, th, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());

    if (mipmapTexture != nullptr) {
        gl::GenTextures(1, mipmapTexture);
        gl::BindTexture(GL_TEXTURE_2D, *mipmapTexture);
        SetTextureParameters(GL_LINEAR_MIPMAP_LINEAR);
        const std::vector<MipLevel> chain = MakeMipChain(texels.data(), tw, th);
        for (std::size_t level = 0; level < chain.size(); ++level)
            gl::TexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGBA8, chain[level].width,
                         chain[level].height, 0, GL_RGBA, GL_UNSIGNED_BYTE, chain[level].texels.data());
    }
}

void OpenGLRainbows::build_detail_normalmap(unsigned char* image, int width, int height)
{
    MakeDetailNormalMap(image, width, height);
}

bool OpenGLRainbows::LoadSprite(unsigned slot, const char* file, std::uint32_t colorKey, bool bump)
{
    if (slot >= static_cast<unsigned>(kSpriteSlots)) return false;
    FreeSprite(static_cast<int>(slot));
    // One read serves the sizes and the texture.
    PictureFile picture;
    if (!ReadPictureFile(file, picture)) return false;
    const std::int32_t w = picture.width, h = picture.height;
    // A BMP whose header reads but whose pixels do not still records its
    // sizes; the slot then draws as a plain quad.
    if (picture.pixelsRead)
        MakePictureTexture(picture, 0, 0, 0, 0, &slots.spriteTex[slot][0], &slots.spriteTex[slot][1], colorKey,
                           true, bump);
    slots.texWidth[slot] = static_cast<std::int16_t>(NextPowerOfTwo(w));
    slots.texHeight[slot] = static_cast<std::int16_t>(NextPowerOfTwo(h));
    slots.imgWidth[slot] = static_cast<std::int16_t>(w);
    slots.imgHeight[slot] = static_cast<std::int16_t>(h);
    return true;
}

bool OpenGLRainbows::LoadFont(int font, const char* file)
{
    if (font < 0 || font > 15) return false;
    return LoadSprite(static_cast<unsigned>(kFirstFontSlot + font), file, 0, false);
}

void OpenGLRainbows::SetTexture3D(int first, int second, int mipmapped)
{
    SelectTextures(first, second, mipmapped);
    CommitTextures();
}

bool OpenGLRainbows::GrabSprite(std::int16_t slot, int x, int y, int w, int h)
{
    if (!ValidSlot(slot)) return true;
    FinishPending2D();  // the screen as drawn so far
    int tw = GrabTextureSize(w);
    int th = GrabTextureSize(h);
    if (tw < 32) tw = 32;
    if (th < 32) th = 32;
    FreeSprite(slot);
    SetTightUnpacking();
    gl::GenTextures(1, &slots.spriteTex[slot][0]);
    gl::BindTexture(GL_TEXTURE_2D, slots.spriteTex[slot][0]);
    SetTextureParameters(GL_LINEAR);
    gl::TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tw, th, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    // The picture lands bottom row first, like a loaded one.
    if (w > 0 && h > 0) gl::CopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, window.height - y - h, w, h);
    slots.texWidth[slot] = static_cast<std::int16_t>(tw);
    slots.texHeight[slot] = static_cast<std::int16_t>(th);
    slots.imgWidth[slot] = static_cast<std::int16_t>(w);
    slots.imgHeight[slot] = static_cast<std::int16_t>(h);
    return true;
}

bool OpenGLRainbows::SaveBMPFile(const char* file)
{
    if (file == nullptr || window.width <= 0 || window.height <= 0) return false;
    FinishPending2D();  // the screen as drawn so far
    std::FILE* stream = std::fopen(file, "wb");
    if (stream == nullptr) return false;

    // Sizes rounded up to a multiple of 4, so rows need no padding.
    const int W = (window.width + 3) / 4 * 4;
    const int H = (window.height + 3) / 4 * 4;
    const std::uint32_t pixelBytes = 3u * static_cast<std::uint32_t>(W) * static_cast<std::uint32_t>(H);

    std::uint8_t header[kBmpHeaderBytes] = {};
    header[0] = 'B';
    header[1] = 'M';
    Put32(header + 2, 54 + pixelBytes);
    Put32(header + 10, 54);
    Put32(header + 14, 40);
    Put32(header + 18, static_cast<std::uint32_t>(W));
    Put32(header + 22, static_cast<std::uint32_t>(H));
    Put16(header + 26, 1);
    Put16(header + 28, 24);
    Put32(header + 38, 10000);
    Put32(header + 42, 10000);

    // The area beyond the drawing area (the rounding) is written black
    // rather than whatever reading outside the framebuffer would give.
    std::vector<std::uint8_t> pixels(pixelBytes, 0);
    gl::PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl::PixelStorei(GL_PACK_ROW_LENGTH, W);
    gl::PixelStorei(GL_PACK_SKIP_ROWS, 0);
    gl::PixelStorei(GL_PACK_SKIP_PIXELS, 0);
    gl::ReadPixels(0, 0, window.width, window.height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    gl::PixelStorei(GL_PACK_ROW_LENGTH, 0);
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) std::swap(pixels[i], pixels[i + 2]);

    const bool written = std::fwrite(header, 1, sizeof header, stream) == sizeof header &&
                         std::fwrite(pixels.data(), 1, pixels.size(), stream) == pixels.size();
    const bool closed = std::fclose(stream) == 0;
    return written && closed;
}
