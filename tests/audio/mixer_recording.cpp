#include "audio/mixer_recording.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "audio/sfx_sound.h"
#include "audio/sfx_sound_buffer.h"
#include "frame/frame.h"

namespace wavetest {

void SleepSeconds(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

MixerRecording::MixerRecording(const TempFolder& folder) : m_file(folder.PathOf("mixed.raw"))
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", m_file.c_str(), 1);
    pDXsnd = new SFXSound;
    DXwav = new SFXSoundBuffer[kSoundSlotCount];
    EXPECT_EQ(pDXsnd->Create(nullptr), 1) << "the disk audio driver should always open";
}

MixerRecording::~MixerRecording()
{
    if (!m_finished) Finish();
}

void MixerRecording::WaitUntilSilent(double timeoutSeconds)
{
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration<double>(timeoutSeconds);
    auto anyPlaying = [] {
        for (int slot = 0; slot < kSoundSlotCount; ++slot)
            for (int copy = 0; copy < SFXSoundBuffer::kMaxCopies; ++copy)
                if (DXwav[slot].CopyIsPlaying(copy)) return true;
        return false;
    };
    while (anyPlaying() && std::chrono::steady_clock::now() < deadline) SleepSeconds(0.01);
    EXPECT_FALSE(anyPlaying()) << "sound still playing after " << timeoutSeconds << " s";
    // A few mix buffers (46 ms each) so the last samples are written.
    SleepSeconds(0.2);
}

std::vector<StereoFrame> MixerRecording::Finish()
{
    m_finished = true;
    delete[] DXwav;
    DXwav = nullptr;
    delete pDXsnd;
    pDXsnd = nullptr;

    std::ifstream in(m_file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<StereoFrame> frames(bytes.size() / 4);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + i * 4);
        frames[i].left = static_cast<std::int16_t>(p[0] | (p[1] << 8));
        frames[i].right = static_cast<std::int16_t>(p[2] | (p[3] << 8));
    }
    return frames;
}

int CountFrames(const std::vector<StereoFrame>& frames, std::int16_t left, std::int16_t right)
{
    int count = 0;
    for (const StereoFrame& frame : frames)
        if (frame.left == left && frame.right == right) ++count;
    return count;
}

int CountNonSilent(const std::vector<StereoFrame>& frames)
{
    int count = 0;
    for (const StereoFrame& frame : frames)
        if (frame.left != 0 || frame.right != 0) ++count;
    return count;
}

int MaxAmplitude(const std::vector<StereoFrame>& frames)
{
    int largest = 0;
    for (const StereoFrame& frame : frames)
        largest = std::max({largest, std::abs(int{frame.left}), std::abs(int{frame.right})});
    return largest;
}

bool SoundsWithoutGap(const std::vector<StereoFrame>& frames)
{
    std::size_t first = frames.size(), last = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].left != 0 || frames[i].right != 0) {
            first = std::min(first, i);
            last = i;
        }
    }
    for (std::size_t i = first; i < last; ++i)
        if (frames[i].left == 0 && frames[i].right == 0) return false;
    return true;
}

}  // namespace wavetest
