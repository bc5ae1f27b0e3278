// Compressed sound files (Ogg Vorbis, MP3, FLAC) decoded whole by
// SDL2_mixer's decoders into a block of samples in the device's format.
#include "platform/platform.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include "platform/mixer_samples.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <string>

namespace platform {

namespace {

// The device's frame: stereo, 16 bits a sample.
constexpr Uint32 kDeviceFrameBytes = 2 * sizeof(Sint16);

const char* FormatName(CompressedSoundFormat format)
{
    switch (format) {
    case CompressedSoundFormat::OggVorbis: return "Ogg Vorbis";
    case CompressedSoundFormat::Mp3: return "MP3";
    case CompressedSoundFormat::Flac: return "FLAC";
    }
    return "compressed";
}

Mix_MusicType MusicTypeOf(CompressedSoundFormat format)
{
    switch (format) {
    case CompressedSoundFormat::OggVorbis: return MUS_OGG;
    case CompressedSoundFormat::Mp3: return MUS_MP3;
    case CompressedSoundFormat::Flac: return MUS_FLAC;
    }
    return MUS_NONE;
}

std::string LimitText()
{
    return std::to_string(static_cast<int>(kMaxDecodedSoundSeconds / 60)) + " minutes";
}

// What the decoder said, for the message.
std::string MixerError()
{
    const char* error = Mix_GetError();
    return error != nullptr && error[0] != '\0' ? std::string(": ") + error : std::string();
}

// The length the file's own header states, in seconds; negative when the
// file is not one of the format at all. Opening it this way reads no more
// than the headers, so an overlong sound is refused before any memory is
// spent on decoding it.
double StatedSeconds(const void* bytes, std::size_t size, CompressedSoundFormat format)
{
    SDL_RWops* source = SDL_RWFromConstMem(bytes, static_cast<int>(size));
    if (source == nullptr) return -1;
    Mix_Music* music = Mix_LoadMUSType_RW(source, MusicTypeOf(format), 1);
    if (music == nullptr) return -1;
    const double seconds = Mix_MusicDuration(music);
    Mix_FreeMusic(music);
    // A decoder that cannot tell the length reports -1; 0 is an unknown
    // length in the header. Both are decoded and measured afterwards.
    return std::isfinite(seconds) ? std::max(seconds, 0.0) : 0.0;
}

// The stream information block a FLAC file must begin with, checked before
// the decoder sees the file: its wrapper in the mixer library reads through
// a null pointer when the block names a rate or channel count it cannot
// convert (found by fuzzing). Block type 0, 34 bytes; 1 to 655350 samples
// per second, 1 to 8 channels, 4 to 32 bits per sample.
bool FlacStreamInfoIsSane(const std::uint8_t* b, std::size_t size)
{
    if (size < 8 + 34 || (b[4] & 0x7F) != 0) return false;
    if (b[5] != 0 || b[6] != 0 || b[7] != 34) return false;
    const std::uint8_t* info = b + 8;
    const std::uint32_t rate = static_cast<std::uint32_t>(info[10]) << 12 | info[11] << 4 | info[12] >> 4;
    const int channels = ((info[12] >> 1) & 7) + 1;
    const int bits = ((info[12] & 1) << 4 | info[13] >> 4) + 1;
    if (rate < 1 || rate > 655350 || channels > 8 || bits < 4 || bits > 32) return false;
    // The metadata blocks must end inside the file and a frame must follow
    // them: the wrapper leaks its buffers on a stream without frames.
    std::size_t at = 4;
    for (;;) {
        if (size - at < 4) return false;
        const bool last = (b[at] & 0x80) != 0;
        const std::size_t length = static_cast<std::size_t>(b[at + 1]) << 16 | b[at + 2] << 8 | b[at + 3];
        if (length > size - at - 4) return false;
        at += 4 + length;
        if (last) break;
    }
    return size - at >= 2 && b[at] == 0xFF && (b[at + 1] & 0xFE) == 0xF8;
}

}  // namespace

MixerSamples* DecodeSoundFile(const void* bytes, std::size_t size, CompressedSoundFormat format,
                              std::string* why)
{
    auto refuse = [why, format](const std::string& reason) -> MixerSamples* {
        if (why != nullptr) *why = std::string("the ") + FormatName(format) + " file " + reason;
        return nullptr;
    };
    if (!AudioMixerIsOpen()) return refuse("was not decoded: no sound device");
    if (bytes == nullptr || size == 0) return refuse("is empty");
    if (size > static_cast<std::size_t>(SDL_MAX_SINT32)) return refuse("is larger than 2 GB");

    if (format == CompressedSoundFormat::Flac &&
        !FlacStreamInfoIsSane(static_cast<const std::uint8_t*>(bytes), size))
        return refuse("has no usable stream information block");
    Mix_SetError("%s", "");
    const double stated = StatedSeconds(bytes, size, format);
    if (stated < 0) return refuse("does not decode" + MixerError());
    if (stated > kMaxDecodedSoundSeconds)
        return refuse("says it lasts " + std::to_string(static_cast<long>(stated)) +
                      " s, more than the " + LimitText() + " a sound may have");

    SDL_RWops* source = SDL_RWFromConstMem(bytes, static_cast<int>(size));
    if (source == nullptr) return refuse("could not be opened" + MixerError());
    Mix_SetError("%s", "");
    // Decodes into the format the device was opened with.
    Mix_Chunk* chunk = Mix_LoadWAV_RW(source, 1);
    if (chunk == nullptr) return refuse("does not decode" + MixerError());

    // Only whole frames are played.
    chunk->alen -= chunk->alen % kDeviceFrameBytes;
    AudioMixerFormat device;
    const int rate = QueryAudioMixer(&device) && device.samplesPerSecond > 0 ? device.samplesPerSecond : 22050;
    const double seconds = static_cast<double>(chunk->alen / kDeviceFrameBytes) / rate;
    if (chunk->alen == 0) {
        Mix_FreeChunk(chunk);
        return refuse("decodes to no sound");
    }
    if (seconds > kMaxDecodedSoundSeconds) {
        Mix_FreeChunk(chunk);
        return refuse("lasts more than the " + LimitText() + " a sound may have");
    }
    auto* samples = new (std::nothrow) MixerSamples;
    if (samples == nullptr) {
        Mix_FreeChunk(chunk);
        return refuse("could not be kept: out of memory");
    }
    // The chunk owns its decoded samples: freeing it frees them.
    samples->chunk = chunk;
    return samples;
}

}  // namespace platform
