// libFuzzer harness over the video decoder: every input is written to a
// file, opened as PLAYMOVIE opens it (with sound), scaled to a fitted size
// and decoded to its end on a simulated clock, then rewound and decoded
// again; the sound is taken as the mixer would take it. Whatever FFmpeg
// makes of the bytes, the decoder must end, refuse absurd sizes and keep
// within its buffers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/video_file.h"

extern "C" {
#include <libavutil/log.h>
}

namespace {

std::string g_path;

void RemoveFile() { std::remove(g_path.c_str()); }

// Decodes 20 s of simulated time at most; a picture must be complete.
void PlayThrough(platform::VideoFile* video, int width, int height)
{
    std::vector<std::int16_t> sound(2 * 4096);
    const unsigned char* rgba = nullptr;
    bool changed = false;
    for (double t = 0; t < 20 && platform::VideoFileAt(video, t, &rgba, &changed); t += 0.04) {
        if (rgba != nullptr) {
            volatile unsigned sum = rgba[0] + rgba[static_cast<std::size_t>(width) * height * 4 - 1];
            (void)sum;
        }
        platform::TakeVideoSound(video, sound.data(), 4096);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    av_log_set_level(AV_LOG_QUIET);
    g_path = (std::filesystem::temp_directory_path() /
              ("kv_video_fuzz_" + std::to_string(std::random_device{}()) + ".bin"))
                 .string();
    std::atexit(RemoveFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(g_path.c_str(), "wb");
    if (file == nullptr) return 0;
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);

    platform::VideoFile* video = platform::OpenVideoFile(g_path.c_str(), true);
    if (video == nullptr) return 0;
    int width = platform::VideoWidth(video), height = platform::VideoHeight(video);
    if (platform::VideoFileHasPictures(video)) {
        if (width <= 0 || height <= 0 || width > platform::kMaxVideoSide || height > platform::kMaxVideoSide)
            std::abort();
        // A small output keeps the runs fast; the scaler still sees every picture.
        width = 1 + width % 64;
        height = 1 + height % 48;
        if (!platform::SetVideoFileOutputSize(video, width, height)) std::abort();
    }
    PlayThrough(video, width, height);
    if (platform::RewindVideoFile(video)) PlayThrough(video, width, height);
    platform::CloseVideoFile(video);
    return 0;
}
