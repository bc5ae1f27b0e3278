// KV_SOUND_LOG=file (platform-internal): one line per sound the mixer is
// asked to play, stamped with the frame, so that a test counts sounds by
// what the program played, not by how the mixed audio sounds in wall time.
#pragma once

#include <cstddef>

namespace platform {

// A mixer channel starts playing a block of sampleFrames frames (at the
// mixer's rate), once or looping. Does nothing without the variable.
void LogMixerPlay(int channel, std::size_t sampleFrames, bool looping);

}  // namespace platform
