// Test helper: records what the mixer really played. The sound device is
// opened on SDL's "disk" audio driver, which writes every mixed buffer to a
// file in real time; closing the device flushes the file, which is then read
// back as 16-bit stereo frames.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/wave_files.h"

namespace wavetest {

struct StereoFrame {
    std::int16_t left = 0;
    std::int16_t right = 0;
};

class MixerRecording {
public:
    // Creates pDXsnd and the 128 slots DXwav as start-up does, with the
    // device recording into a file of this folder.
    explicit MixerRecording(const TempFolder& folder);
    ~MixerRecording();

    // Waits until no copy of any slot plays any more (at most timeoutSeconds),
    // then long enough for the last mixed buffer to reach the file.
    void WaitUntilSilent(double timeoutSeconds = 10);
    // Destroys the slots and the device as shutdown does and returns every
    // frame the mixer produced.
    std::vector<StereoFrame> Finish();

private:
    std::string m_file;
    bool m_finished = false;
};

void SleepSeconds(double seconds);

// Analysis of a recording.
int CountFrames(const std::vector<StereoFrame>& frames, std::int16_t left, std::int16_t right);
int CountNonSilent(const std::vector<StereoFrame>& frames);
int MaxAmplitude(const std::vector<StereoFrame>& frames);
// True when no silent frame lies between the first and the last sounding one.
bool SoundsWithoutGap(const std::vector<StereoFrame>& frames);

}  // namespace wavetest
