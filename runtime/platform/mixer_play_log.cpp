// The log of sounds started on the mixer: "<frame> play <channel> <length
// in sample frames> once|loop", where frame is the number of frames
// presented before the request (the frame the program is drawing).
#include "platform/mixer_play_log.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace platform {

void LogMixerPlay(int channel, std::size_t sampleFrames, bool looping)
{
    static bool opened = false;
    static std::FILE* file = nullptr;
    if (!opened) {
        opened = true;
        const char* given = std::getenv("KV_SOUND_LOG");
        if (given != nullptr && given[0] != 0) {
            const std::string path = FromStartFolder(given);
            file = std::fopen(path.c_str(), "w");
            if (file == nullptr) std::fprintf(stderr, "sound log: cannot write %s\n", path.c_str());
        }
    }
    if (file == nullptr) return;
    std::fprintf(file, "%ld play %d %zu %s\n", PresentedFrames(), channel, sampleFrames, looping ? "loop" : "once");
    std::fflush(file);
}

}  // namespace platform
