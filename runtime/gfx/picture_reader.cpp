#include "gfx/picture_reader.h"

#include <cstdio>

#include "gfx/sprite_slots.h"

namespace {

bool StartsLikeBmp(const std::vector<std::uint8_t>& bytes)
{
    return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

// The BMP's sizes as its header gives them, then its pixels.
bool ReadBmp(PictureFile& picture)
{
    BmpHeader header;
    if (!ParseBmpHeader(picture.bytes.data(), picture.bytes.size(), picture.bytes.size(), header)) return false;
    const std::int32_t width = header.width < 0 ? -header.width : header.width;
    const std::int32_t height = header.height < 0 ? -header.height : header.height;
    // The slot tables hold 16-bit sizes, texture sizes included.
    if (width == 0 || height == 0 || width > kLargestPicture || height > kLargestPicture) return false;
    picture.width = width;
    picture.height = height;
    picture.pixelsRead = ParseBmpPicture(picture.bytes.data(), picture.bytes.size(), picture.bmp);
    return true;
}

}  // namespace

bool ReadPictureFile(const char* path, PictureFile& picture)
{
    picture.isBmp = false;
    picture.pixelsRead = false;
    picture.width = picture.height = 0;
    if (!ReadWholeFile(path, picture.bytes)) return false;
    // Short files and files that start with "BM" are the BMP reader's to refuse or read.
    if (picture.bytes.size() < 2 || StartsLikeBmp(picture.bytes)) {
        picture.isBmp = true;
        return ReadBmp(picture);
    }
    if (platform::DecodePictureFile(picture.bytes.data(), picture.bytes.size(), kLargestPicture,
                                    picture.decoded) != platform::PictureDecoding::Decoded) {
        // The BMP reader refuses what no decoder takes, with its own reason.
        picture.isBmp = true;
        return ReadBmp(picture);
    }
    picture.width = picture.decoded.width;
    picture.height = picture.decoded.height;
    picture.pixelsRead = true;
    return true;
}

std::string PictureFileProblem(const char* path)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes) || bytes.size() < 2 || StartsLikeBmp(bytes)) return BmpFileProblem(path);
    platform::DecodedPicture decoded;
    std::string why;
    switch (platform::DecodePictureFile(bytes.data(), bytes.size(), kLargestPicture, decoded, &why)) {
    case platform::PictureDecoding::Decoded: return std::string();
    case platform::PictureDecoding::Refused: return why;
    case platform::PictureDecoding::UnknownFormat: break;
    }
    return BmpFileProblem(path);
}

bool IsDecodedPictureFile(const char* path)
{
    if (path == nullptr) return false;
    std::FILE* stream = std::fopen(path, "rb");
    if (stream == nullptr) return false;
    std::uint8_t start[2] = {};
    const std::size_t got = std::fread(start, 1, 2, stream);
    std::fclose(stream);
    return got == 2 && !(start[0] == 'B' && start[1] == 'M');
}
