#include "audio/sound_file_kind.h"

#include <cstring>

namespace {

bool StartsWith(const unsigned char* head, std::size_t size, const char* magic)
{
    const std::size_t length = std::strlen(magic);
    return size >= length && std::memcmp(head, magic, length) == 0;
}

// The first four bytes of an MPEG audio frame: eleven set sync bits, then
// a version, layer, bit rate and sample rate that are not the reserved or
// "free" values. Random bytes rarely pass all of them.
bool IsMpegAudioFrameHeader(const unsigned char* head, std::size_t size)
{
    if (size < 4 || head[0] != 0xFF || (head[1] & 0xE0) != 0xE0) return false;
    const int version = (head[1] >> 3) & 0x3;    // 1 is reserved
    const int layer = (head[1] >> 1) & 0x3;      // 0 is reserved
    const int bitRate = (head[2] >> 4) & 0xF;    // 0 is "free", 15 is bad
    const int sampleRate = (head[2] >> 2) & 0x3; // 3 is reserved
    return version != 1 && layer != 0 && bitRate != 0 && bitRate != 15 && sampleRate != 3;
}

}  // namespace

SoundFileKind SoundFileKindOf(const unsigned char* head, std::size_t size)
{
    if (StartsWith(head, size, "OggS")) return SoundFileKind::OggVorbis;
    if (StartsWith(head, size, "fLaC")) return SoundFileKind::Flac;
    if (StartsWith(head, size, "ID3") || IsMpegAudioFrameHeader(head, size)) return SoundFileKind::Mp3;
    return SoundFileKind::Wave;
}

SoundFileKind SoundFileKindOf(std::FILE* file)
{
    unsigned char head[kSoundFileMagicBytes] = {};
    const std::size_t read = std::fread(head, 1, sizeof head, file);
    std::rewind(file);
    return SoundFileKindOf(head, read);
}

SoundFileKind SoundFileKindOf(const char* path)
{
    std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) return SoundFileKind::Wave;
    const SoundFileKind kind = SoundFileKindOf(file);
    std::fclose(file);
    return kind;
}
