// Picture files for the loaders, read whole once: a file that starts with
// "BM" goes to the BMP reader, every other file to the platform's decoder
// of PNG, JPEG, GIF and TGA. No OpenGL here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/bmp_reader.h"
#include "platform/platform.h"

struct PictureFile {
    PictureFile() = default;
    PictureFile(const PictureFile&) = delete;  // bmp points into bytes
    PictureFile& operator=(const PictureFile&) = delete;

    std::vector<std::uint8_t> bytes;  // the file as read
    bool isBmp = false;
    // False for a BMP whose header reads but whose pixels do not: its sizes
    // are known, it gives no texture.
    bool pixelsRead = false;
    BmpPicture bmp;                       // a BMP's pixels, pointing into bytes
    platform::DecodedPicture decoded;     // any other format's pixels
    int width = 0;                        // pixels, 1 .. kLargestPicture
    int height = 0;
};

// Reads the file. False when it cannot be read, is no picture, or is larger
// than the sprite tables can record. A BMP is judged exactly as its header
// query (OpenGLRainbows::GetBMPSize) and its reader judge it; its pixels
// may still be unreadable (pixelsRead false).
bool ReadPictureFile(const char* path, PictureFile& picture);

// Why the file cannot be loaded as a picture, in words; empty when it can.
// For the message after a load failed.
std::string PictureFileProblem(const char* path);

// True when the file exists, can be read and does not start with "BM": a
// picture for the platform's decoder rather than the BMP reader.
bool IsDecodedPictureFile(const char* path);
