// The video player: a video file decoded in step with a clock that starts
// when playback starts, its sound mixed on a reserved mixer channel beside
// music and sound effects. The channel loops a block of silence, and a mixer
// effect on it replaces that silence with the video's decoded sound.
#include "platform/platform.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "platform/video_file.h"

namespace platform {

namespace {

// Any length works: the effect overwrites every buffer the channel mixes.
constexpr std::size_t kSilenceBytes = 4096;

}  // namespace

struct VideoPlayer {
    VideoFile* file = nullptr;
    bool mixerOpen = false;
    int channel = -1;
    MixerSamples* silence = nullptr;
    bool soundOn = false;          // the effect is registered on the channel
    bool started = false;
    std::uint64_t startCount = 0;  // clock reading at the start
    std::uint64_t frequency = 0;   // clock counts per second
};

namespace {

// Runs on the audio thread for every buffer the channel mixes.
void MixVideoSound(int, void* stream, int bytes, void* user)
{
    auto* video = static_cast<VideoFile*>(user);
    auto* out = static_cast<std::int16_t*>(stream);
    const int frames = bytes / 4;  // the mixer runs 16-bit stereo
    const int taken = TakeVideoSound(video, out, frames);
    std::memset(out + taken * 2, 0, static_cast<std::size_t>(bytes) - static_cast<std::size_t>(taken) * 4);
}

double SecondsSinceStart(const VideoPlayer* player)
{
    const std::uint64_t now = PerformanceCounter();
    return static_cast<double>(now - player->startCount) / static_cast<double>(player->frequency);
}

void StopSound(VideoPlayer* player)
{
    // Halting the channel takes the effect off under the mixer's lock, so
    // the audio thread no longer touches the file afterwards.
    if (player->soundOn) StopMixerChannel(player->channel);
    player->soundOn = false;
}

void StartSound(VideoPlayer* player)
{
    if (player->channel < 0 || player->silence == nullptr || player->soundOn) return;
    if (!PlayOnMixerChannel(player->channel, player->silence, 1, 1, 1, true)) return;
    if (Mix_RegisterEffect(player->channel, MixVideoSound, nullptr, player->file) == 0) {
        StopMixerChannel(player->channel);
        return;
    }
    player->soundOn = true;
}

}  // namespace

VideoPlayer* OpenVideo(const char* path)
{
    auto* player = new (std::nothrow) VideoPlayer;
    if (player == nullptr) return nullptr;
    player->mixerOpen = OpenAudioMixer();
    // Without an audio device the sound is not even decoded.
    player->file = OpenVideoFile(path, player->mixerOpen);
    if (player->file == nullptr) {
        CloseVideo(player);
        return nullptr;
    }
    if (player->mixerOpen && VideoFileHasSound(player->file)) {
        player->channel = ReserveMixerChannel();
        const unsigned char zeros[kSilenceBytes] = {};
        player->silence = CreateMixerSamples(zeros, sizeof zeros, 2, 22050, 16);
    }
    player->frequency = PerformanceFrequency();
    if (player->frequency == 0) player->frequency = 1;
    return player;
}

void CloseVideo(VideoPlayer* player)
{
    if (player == nullptr) return;
    StopSound(player);
    if (player->channel >= 0) ReleaseMixerChannel(player->channel);
    FreeMixerSamples(player->silence);
    CloseVideoFile(player->file);
    if (player->mixerOpen) CloseAudioMixer();
    delete player;
}

bool VideoPictureSize(const VideoPlayer* player, int* width, int* height)
{
    if (!VideoFileHasPictures(player->file)) return false;
    *width = VideoWidth(player->file);
    *height = VideoHeight(player->file);
    return true;
}

bool SetVideoOutputSize(VideoPlayer* player, int width, int height)
{
    return SetVideoFileOutputSize(player->file, width, height);
}

bool StartVideo(VideoPlayer* player)
{
    if (player->started && !RewindVideoFile(player->file)) return false;
    player->started = true;
    player->startCount = PerformanceCounter();
    StartSound(player);
    return true;
}

VideoStep AdvanceVideo(VideoPlayer* player, const unsigned char** rgba)
{
    bool changed = false;
    if (!player->started || !VideoFileAt(player->file, SecondsSinceStart(player), rgba, &changed))
        return VideoStep::Ended;
    return changed ? VideoStep::NewPicture : VideoStep::NothingNew;
}

}  // namespace platform
