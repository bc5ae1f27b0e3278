// The audio mixer device on SDL2_mixer: opened once for every user that
// makes sound, with a table of reserved mixer channels and sample blocks
// converted to the device's format.
#include "platform/platform.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include "platform/mixer_play_log.h"
#include "platform/mixer_samples.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace platform {

namespace {

constexpr int kMixerSamplesPerSecond = 22050;
constexpr Uint16 kMixerFormat = AUDIO_S16SYS;
constexpr int kMixerChannels = 2;
// About 46 ms per mix at 22050 Hz: short enough for sound effects.
constexpr int kMixBufferFrames = 1024;
// Mixer channels are added in groups so reserving one rarely reallocates.
constexpr int kChannelGrowth = 16;

struct MixerDevice {
    int users = 0;                     // successful opens not yet closed
    std::vector<bool> channelInUse;    // index = mixer channel
};

MixerDevice& Device()
{
    static MixerDevice device;
    return device;
}

bool ChannelIsValid(int channel)
{
    const MixerDevice& device = Device();
    return device.users > 0 && channel >= 0 &&
           channel < static_cast<int>(device.channelInUse.size()) &&
           device.channelInUse[static_cast<std::size_t>(channel)];
}

int ToMixerLevel(double gain, int fullLevel)
{
    if (!(gain > 0)) return 0;  // also NaN
    if (gain >= 1) return fullLevel;
    return static_cast<int>(std::lround(gain * fullLevel));
}

}  // namespace

bool OpenAudioMixer()
{
    MixerDevice& device = Device();
    if (device.users > 0) {
        ++device.users;
        return true;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    // No changes allowed: SDL converts to whatever the hardware wants, so the
    // mixer always works in exactly this format.
    if (Mix_OpenAudioDevice(kMixerSamplesPerSecond, kMixerFormat, kMixerChannels,
                            kMixBufferFrames, nullptr, 0) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(0);
    device.channelInUse.clear();
    device.users = 1;
    return true;
}

void CloseAudioMixer()
{
    MixerDevice& device = Device();
    if (device.users == 0) return;
    if (--device.users > 0) return;
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    device.channelInUse.clear();
}

bool AudioMixerIsOpen() { return Device().users > 0; }

bool QueryAudioMixer(AudioMixerFormat* out)
{
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    if (!AudioMixerIsOpen() || Mix_QuerySpec(&frequency, &format, &channels) == 0) return false;
    out->samplesPerSecond = frequency;
    out->bitsPerSample = SDL_AUDIO_BITSIZE(format);
    out->channels = channels;
    return true;
}

MixerSamples* CreateMixerSamples(const void* pcm, std::size_t bytes, int channels,
                                 int samplesPerSecond, int bitsPerSample)
{
    if (!AudioMixerIsOpen()) return nullptr;
    if (channels != 1 && channels != 2) return nullptr;
    if (bitsPerSample != 8 && bitsPerSample != 16) return nullptr;
    if (samplesPerSecond <= 0) return nullptr;

    const SDL_AudioFormat sourceFormat = bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    const std::size_t frameBytes = static_cast<std::size_t>(channels * bitsPerSample / 8);
    bytes -= bytes % frameBytes;  // whole frames only
    if (bytes == 0) return nullptr;

    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, sourceFormat, static_cast<Uint8>(channels), samplesPerSecond,
                          kMixerFormat, kMixerChannels, kMixerSamplesPerSecond) < 0)
        return nullptr;
    // The conversion works in place in a buffer len_mult times the input.
    if (cvt.len_mult <= 0 || bytes > static_cast<std::size_t>(INT_MAX / cvt.len_mult))
        return nullptr;
    cvt.len = static_cast<int>(bytes);
    cvt.buf = static_cast<Uint8*>(SDL_malloc(bytes * static_cast<std::size_t>(cvt.len_mult)));
    if (cvt.buf == nullptr) return nullptr;
    std::memcpy(cvt.buf, pcm, bytes);
    int convertedBytes = cvt.len;
    if (cvt.needed) {
        if (SDL_ConvertAudio(&cvt) != 0) {
            SDL_free(cvt.buf);
            return nullptr;
        }
        convertedBytes = cvt.len_cvt;
    }

    Mix_Chunk* chunk = Mix_QuickLoad_RAW(cvt.buf, static_cast<Uint32>(convertedBytes));
    if (chunk == nullptr) {
        SDL_free(cvt.buf);
        return nullptr;
    }
    auto* samples = new (std::nothrow) MixerSamples;
    if (samples == nullptr) {
        Mix_FreeChunk(chunk);
        SDL_free(cvt.buf);
        return nullptr;
    }
    samples->chunk = chunk;
    samples->data = cvt.buf;
    return samples;
}

void FreeMixerSamples(MixerSamples* samples)
{
    if (samples == nullptr) return;
    // Halts every channel still playing the chunk before it goes.
    Mix_FreeChunk(samples->chunk);
    SDL_free(samples->data);
    delete samples;
}

int ReserveMixerChannel()
{
    MixerDevice& device = Device();
    if (device.users == 0) return -1;
    for (std::size_t i = 0; i < device.channelInUse.size(); ++i) {
        if (!device.channelInUse[i]) {
            device.channelInUse[i] = true;
            return static_cast<int>(i);
        }
    }
    const int wanted = static_cast<int>(device.channelInUse.size()) + kChannelGrowth;
    if (Mix_AllocateChannels(wanted) < wanted) return -1;
    const int channel = static_cast<int>(device.channelInUse.size());
    device.channelInUse.resize(static_cast<std::size_t>(wanted), false);
    device.channelInUse[static_cast<std::size_t>(channel)] = true;
    return channel;
}

void ReleaseMixerChannel(int channel)
{
    if (!ChannelIsValid(channel)) return;
    Mix_HaltChannel(channel);
    Device().channelInUse[static_cast<std::size_t>(channel)] = false;
}

bool PlayOnMixerChannel(int channel, MixerSamples* samples, double leftGain,
                        double rightGain, double volume, bool looping)
{
    if (!ChannelIsValid(channel) || samples == nullptr) return false;
    // Halting drops the channel's effects, so it comes before the panning.
    if (Mix_Playing(channel)) Mix_HaltChannel(channel);
    Mix_Volume(channel, ToMixerLevel(volume, MIX_MAX_VOLUME));
    Mix_SetPanning(channel, static_cast<Uint8>(ToMixerLevel(leftGain, 255)),
                   static_cast<Uint8>(ToMixerLevel(rightGain, 255)));
    if (Mix_PlayChannel(channel, samples->chunk, looping ? -1 : 0) != channel) return false;
    constexpr std::size_t kFrameBytes = kMixerChannels * sizeof(Sint16);
    LogMixerPlay(channel, samples->chunk->alen / kFrameBytes, looping);
    return true;
}

void StopMixerChannel(int channel)
{
    if (ChannelIsValid(channel)) Mix_HaltChannel(channel);
}

bool MixerChannelIsPlaying(int channel)
{
    return ChannelIsValid(channel) && Mix_Playing(channel) != 0;
}

}  // namespace platform
