// Picture files: PNG, JPEG and TGA decoded on SDL2_image, GIF (the first
// frame) by the runtime's own reader (gif_picture.cpp), from bytes in memory
// into RGBA rows. The width and height a file declares are read from its header first, with every byte bounds-checked,
// so that a hostile file cannot make the decoder ask for gigabytes.
#include "platform/gif_picture.h"
#include "platform/platform.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <mutex>

namespace platform {

namespace {

enum class Format { None, Png, Jpeg, Gif, Tga };

const char* FormatName(Format format)
{
    switch (format) {
    case Format::Png: return "PNG";
    case Format::Jpeg: return "JPEG";
    case Format::Gif: return "GIF";
    case Format::Tga: return "TGA";
    case Format::None: break;
    }
    return "unknown";
}

unsigned Read16Be(const std::uint8_t* p) { return static_cast<unsigned>(p[0]) << 8 | p[1]; }
unsigned Read16Le(const std::uint8_t* p) { return static_cast<unsigned>(p[1]) << 8 | p[0]; }
std::uint32_t Read32Be(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

// TGA has no signature: a header whose colour-map type and image type are
// ones the format defines, and whose pixel depth is one of its depths.
bool LooksLikeTga(const std::uint8_t* b, std::size_t size)
{
    if (size < 18) return false;
    const unsigned mapType = b[1], imageType = b[2], depth = b[16];
    const bool knownType = imageType == 1 || imageType == 2 || imageType == 3 || imageType == 9 ||
                           imageType == 10 || imageType == 11;
    const bool knownDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
    return mapType <= 1 && knownType && knownDepth;
}

Format DetectFormat(const std::uint8_t* b, std::size_t size)
{
    static const std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= 8 && std::memcmp(b, kPngSignature, 8) == 0) return Format::Png;
    if (size >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return Format::Jpeg;
    if (size >= 6 && (std::memcmp(b, "GIF87a", 6) == 0 || std::memcmp(b, "GIF89a", 6) == 0)) return Format::Gif;
    if (LooksLikeTga(b, size)) return Format::Tga;
    return Format::None;
}

// Width and height as the header declares them; false when the header
// holds none within the bytes there (the decoder then fails on its own).
bool PngDeclaredSize(const std::uint8_t* b, std::size_t size, std::uint64_t& w, std::uint64_t& h)
{
    // The first chunk is IHDR: length, type, then width and height.
    if (size < 24 || std::memcmp(b + 12, "IHDR", 4) != 0) return false;
    w = Read32Be(b + 16);
    h = Read32Be(b + 20);
    return true;
}

// Whether every chunk of a PNG lies whole inside the bytes, up to and with
// IEND. The picture library's reader ignores short reads and then loops for
// ever on the stale chunk header of a cut-short file (found by fuzzing), so
// it gets only files whose chunks are all there.
bool PngChunksComplete(const std::uint8_t* b, std::size_t size)
{
    std::size_t at = 8;  // past the signature
    while (size - at >= 12) {
        const std::uint64_t length = Read32Be(b + at);
        if (length > size - at - 12) return false;
        const bool end = std::memcmp(b + at + 4, "IEND", 4) == 0;
        at += 12 + static_cast<std::size_t>(length);
        if (end) return true;
    }
    return false;
}

bool JpegDeclaredSize(const std::uint8_t* b, std::size_t size, std::uint64_t& w, std::uint64_t& h)
{
    std::size_t at = 2;  // past the start-of-image marker
    while (at + 4 <= size) {
        if (b[at] != 0xFF) return false;
        const unsigned marker = b[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length field
            at += 2;
            continue;
        }
        const unsigned length = Read16Be(b + at + 2);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > size) return false;
            h = Read16Be(b + at + 5);
            w = Read16Be(b + at + 7);
            return true;
        }
        if (marker == 0xD9 || marker == 0xDA || length < 2) return false;  // no frame before the scan
        at += 2 + length;
    }
    return false;
}

// Where the first image of a GIF ends (past its data blocks), or the end of
// the bytes; it also gives the first image's declared size.
std::size_t GifFirstImageEnd(const std::uint8_t* b, std::size_t size, std::uint64_t* w, std::uint64_t* h)
{
    if (size < 13) return size;
    std::size_t at = 13;
    if (b[10] & 0x80) at += 3u * (2u << (b[10] & 7));  // global colour table
    auto skipSubBlocks = [&] {
        while (at < size && b[at] != 0) at += 1u + b[at];
        ++at;
    };
    while (at < size) {
        const unsigned introducer = b[at];
        if (introducer == 0x2C) {  // image descriptor
            if (at + 10 > size) return size;
            if (w != nullptr) *w = Read16Le(b + at + 5);
            if (h != nullptr) *h = Read16Le(b + at + 7);
            const unsigned flags = b[at + 9];
            at += 10;
            if (flags & 0x80) at += 3u * (2u << (flags & 7));  // local colour table
            ++at;  // the smallest code size, then the image data
            skipSubBlocks();
            return at < size ? at : size;
        }
        if (introducer == 0x3B) return size;  // trailer
        if (introducer != 0x21) {  // the decoder passes over bytes that start nothing
            ++at;
            continue;
        }
        at += 2;  // extension introducer and label, then its sub-blocks
        skipSubBlocks();
    }
    return size;
}

// The logical screen and the first image, whichever is larger.
bool GifDeclaredSize(const std::uint8_t* b, std::size_t size, std::uint64_t& w, std::uint64_t& h)
{
    if (size < 13) return false;
    w = Read16Le(b + 6);
    h = Read16Le(b + 8);
    std::uint64_t iw = 0, ih = 0;
    GifFirstImageEnd(b, size, &iw, &ih);
    if (iw > w) w = iw;
    if (ih > h) h = ih;
    return true;
}

bool TgaDeclaredSize(const std::uint8_t* b, std::size_t size, std::uint64_t& w, std::uint64_t& h)
{
    if (size < 18) return false;
    w = Read16Le(b + 12);
    h = Read16Le(b + 14);
    return true;
}

bool DeclaredSize(Format format, const std::uint8_t* b, std::size_t size, std::uint64_t& w, std::uint64_t& h)
{
    switch (format) {
    case Format::Png: return PngDeclaredSize(b, size, w, h);
    case Format::Jpeg: return JpegDeclaredSize(b, size, w, h);
    case Format::Gif: return GifDeclaredSize(b, size, w, h);
    case Format::Tga: return TgaDeclaredSize(b, size, w, h);
    case Format::None: break;
    }
    return false;
}

void InitDecodersOnce()
{
    static std::once_flag once;
    // GIF and TGA are built into SDL2_image; PNG and JPEG use their libraries.
    std::call_once(once, [] { IMG_Init(IMG_INIT_PNG | IMG_INIT_JPG); });
}

SDL_Surface* Decode(Format format, const std::uint8_t* bytes, std::size_t size)
{
    SDL_RWops* stream = SDL_RWFromConstMem(bytes, static_cast<int>(size));
    if (stream == nullptr) return nullptr;
    SDL_Surface* surface = nullptr;
    switch (format) {
    case Format::Png: surface = IMG_LoadPNG_RW(stream); break;
    case Format::Jpeg: surface = IMG_LoadJPG_RW(stream); break;
    case Format::Gif: break;  // the runtime's own reader (gif_picture.cpp)
    case Format::Tga: surface = IMG_LoadTGA_RW(stream); break;
    case Format::None: break;
    }
    SDL_RWclose(stream);
    return surface;
}

// Sets alpha 0 in `rgba` where the decoded surface holds its colour key,
// compared in the surface's own pixel values (a palette index for
// palette pictures), as the file marked them.
void ClearKeyedPixels(const SDL_Surface* surface, std::uint32_t key, std::vector<std::uint8_t>& rgba)
{
    const int bytesPerPixel = surface->format->BytesPerPixel;
    const auto* pixels = static_cast<const std::uint8_t*>(surface->pixels);
    for (int y = 0; y < surface->h; ++y) {
        const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * surface->pitch;
        for (int x = 0; x < surface->w; ++x) {
            const std::uint8_t* p = row + static_cast<std::size_t>(x) * bytesPerPixel;
            std::uint32_t value = 0;
            switch (bytesPerPixel) {
            case 1: value = p[0]; break;
            case 2: { std::uint16_t v; std::memcpy(&v, p, 2); value = v; break; }
            case 3: value = SDL_BYTEORDER == SDL_LIL_ENDIAN ? p[0] | p[1] << 8 | p[2] << 16 : p[2] | p[1] << 8 | p[0] << 16; break;
            default: std::memcpy(&value, p, 4); break;
            }
            if (bytesPerPixel > 1) value &= ~surface->format->Amask;
            if (value == key) rgba[(static_cast<std::size_t>(y) * surface->w + x) * 4 + 3] = 0;
        }
    }
}

// The formats the decoders give most (RGB and RGBA bytes, palette indices)
// copied straight into RGBA rows; false for any other, which SDL converts.
bool CopyCommonFormat(const SDL_Surface* surface, std::vector<std::uint8_t>& rgba)
{
    const Uint32 format = surface->format->format;
    const SDL_Palette* palette = surface->format->palette;
    if (format != SDL_PIXELFORMAT_RGB24 && format != SDL_PIXELFORMAT_RGBA32 &&
        !(format == SDL_PIXELFORMAT_INDEX8 && palette != nullptr))
        return false;
    std::uint8_t* out = rgba.data();
    for (int y = 0; y < surface->h; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(surface->pixels) + static_cast<std::size_t>(y) * surface->pitch;
        if (format == SDL_PIXELFORMAT_RGBA32) {
            std::memcpy(out, row, static_cast<std::size_t>(surface->w) * 4);
            out += static_cast<std::size_t>(surface->w) * 4;
            continue;
        }
        for (int x = 0; x < surface->w; ++x, out += 4) {
            if (format == SDL_PIXELFORMAT_RGB24) {
                out[0] = row[x * 3];
                out[1] = row[x * 3 + 1];
                out[2] = row[x * 3 + 2];
            } else {
                // An index past the palette gives black, as SDL's own copy does.
                const int index = row[x];
                const SDL_Color c = index < palette->ncolors ? palette->colors[index] : SDL_Color{0, 0, 0, 255};
                out[0] = c.r;
                out[1] = c.g;
                out[2] = c.b;
            }
            out[3] = 255;
        }
    }
    return true;
}

}  // namespace

PictureDecoding DecodePictureFile(const std::uint8_t* bytes, std::size_t size, int largestSide,
                                  DecodedPicture& picture, std::string* why)
{
    picture = DecodedPicture();
    const Format format = bytes != nullptr ? DetectFormat(bytes, size) : Format::None;
    if (format == Format::None) {
        if (why != nullptr) *why = "it is none of the picture formats BMP, PNG, JPEG, GIF and TGA";
        return PictureDecoding::UnknownFormat;
    }
    const std::string name = FormatName(format);
    auto refuse = [why](const std::string& reason) {
        if (why != nullptr) *why = reason;
        return PictureDecoding::Refused;
    };
    if (size > static_cast<std::size_t>(SDL_MAX_SINT32)) return refuse("it is larger than 2 GiB");
    const std::uint64_t limit = largestSide > 0 ? static_cast<std::uint64_t>(largestSide) : 0;
    std::uint64_t declaredWidth = 0, declaredHeight = 0;
    if (DeclaredSize(format, bytes, size, declaredWidth, declaredHeight) &&
        (declaredWidth > limit || declaredHeight > limit))
        return refuse("its " + name + " header declares " + std::to_string(declaredWidth) + " x " +
                      std::to_string(declaredHeight) + " pixels, more than " + std::to_string(limit) +
                      " on a side");

    if (format == Format::Png && !PngChunksComplete(bytes, size))
        return refuse("it is a damaged PNG picture: it is cut short (a chunk runs past its end, or IEND is missing)");
    if (format == Format::Gif) {
        std::string reason;
        if (DecodeGifFirstImage(bytes, size, largestSide, picture, &reason)) return PictureDecoding::Decoded;
        picture = DecodedPicture();
        return refuse(reason);
    }
    InitDecodersOnce();
    SDL_Surface* surface = Decode(format, bytes, size);
    if (surface == nullptr) return refuse("it is a damaged " + name + " picture: " + SDL_GetError());
    const bool sized = surface->w > 0 && surface->h > 0 && static_cast<std::uint64_t>(surface->w) <= limit &&
                       static_cast<std::uint64_t>(surface->h) <= limit;
    if (!sized) {
        const std::string size_text = std::to_string(surface->w) + " x " + std::to_string(surface->h);
        SDL_FreeSurface(surface);
        return refuse("its " + name + " picture has " + size_text + " pixels, which cannot be loaded");
    }

    std::uint32_t key = 0;
    const bool keyed = SDL_GetColorKey(surface, &key) == 0;
    const bool alphaChannel = SDL_ISPIXELFORMAT_ALPHA(surface->format->format);
    picture.width = surface->w;
    picture.height = surface->h;
    picture.rgba.resize(static_cast<std::size_t>(picture.width) * picture.height * 4);
    if (!CopyCommonFormat(surface, picture.rgba)) {
        // The copy takes the pixels as they are; the key is applied below.
        if (keyed) SDL_SetColorKey(surface, SDL_FALSE, 0);
        SDL_Surface* converted = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_RGBA32, 0);
        if (converted == nullptr) {
            SDL_FreeSurface(surface);
            picture = DecodedPicture();
            return refuse("its " + name + " pixels cannot be converted: " + SDL_GetError());
        }
        const auto* source = static_cast<const std::uint8_t*>(converted->pixels);
        for (int y = 0; y < picture.height; ++y)
            std::memcpy(picture.rgba.data() + static_cast<std::size_t>(y) * picture.width * 4,
                        source + static_cast<std::size_t>(y) * converted->pitch,
                        static_cast<std::size_t>(picture.width) * 4);
        SDL_FreeSurface(converted);
    }
    if (keyed) ClearKeyedPixels(surface, key, picture.rgba);
    picture.transparent = keyed || alphaChannel;
    SDL_FreeSurface(surface);
    return PictureDecoding::Decoded;
}

}  // namespace platform
