// What the sound slots really play: every test records the mixer's output
// through SDL's disk audio driver and looks at the samples.
#include <gtest/gtest.h>

#include "audio/mixer_recording.h"
#include "audio/sfx_sound_buffer.h"
#include "audio/sound_commands.h"
#include "audio/wave_files.h"
#include "frame/frame.h"

using namespace wavetest;

namespace {

constexpr int kRate = 22050;
constexpr std::int16_t kLevel = 4000;

// A stereo sound holding kLevel on both channels for the given time: mixed
// alone at full volume it records as exactly kLevel, and n copies sounding
// together record as n * kLevel.
std::string WriteConstantSound(const TempFolder& folder, double seconds,
                               const std::string& name = "level.wav")
{
    return folder.Write(name, BuildWave({}, ConstantFrames16({kLevel, kLevel},
                                                             static_cast<int>(seconds * kRate))));
}

int Frames(double seconds) { return static_cast<int>(seconds * kRate); }

}  // namespace

TEST(SoundPlayback, PlayedSoundReachesTheOutput)
{
    TempFolder folder;
    MixerRecording recording(folder);
    LOADSOUND(WriteConstantSound(folder, 0.2).c_str(), 0, 1);
    ASSERT_EQ(DXwav[0].CopyCount(), 1);
    PLAYSOUND(0, 0, 1);
    recording.WaitUntilSilent();
    const auto frames = recording.Finish();

    EXPECT_EQ(MaxAmplitude(frames), kLevel);
    // The whole sound and nothing else, to within the resampler's edge.
    EXPECT_NEAR(CountFrames(frames, kLevel, kLevel), Frames(0.2), 4);
    EXPECT_TRUE(SoundsWithoutGap(frames));
}

TEST(SoundPlayback, UnplayedSoundStaysSilent)
{
    TempFolder folder;
    MixerRecording recording(folder);
    LOADSOUND(WriteConstantSound(folder, 0.2).c_str(), 0, 1);
    SleepSeconds(0.3);
    const auto frames = recording.Finish();
    EXPECT_GT(frames.size(), 0u);
    EXPECT_EQ(CountNonSilent(frames), 0);
}

TEST(SoundPlayback, PanRightSilencesTheLeftChannelAndPanLeftTheRight)
{
    TempFolder folder;
    MixerRecording recording(folder);
    const std::string sound = WriteConstantSound(folder, 0.15);
    LOADSOUND(sound.c_str(), 0, 1);
    LOADSOUND(sound.c_str(), 1, 1);
    PLAYSOUND(0, 5, 1);  // clamped to +1: full right
    recording.WaitUntilSilent();
    PLAYSOUND(1, -5, 1);  // full left
    recording.WaitUntilSilent();
    const auto frames = recording.Finish();

    EXPECT_NEAR(CountFrames(frames, 0, kLevel), Frames(0.15), 4);
    EXPECT_NEAR(CountFrames(frames, kLevel, 0), Frames(0.15), 4);
    EXPECT_EQ(CountNonSilent(frames),
              CountFrames(frames, 0, kLevel) + CountFrames(frames, kLevel, 0));
}

TEST(SoundPlayback, VolumeScalesTheAmplitudeLinearly)
{
    TempFolder folder;
    MixerRecording recording(folder);
    LOADSOUND(WriteConstantSound(folder, 0.1).c_str(), 0, 1);
    for (double volume : {1.0, 0.5, 0.25, 0.0, -3.0}) {
        PLAYSOUND(0, 0, volume);
        recording.WaitUntilSilent();
    }
    PLAYSOUND(0, 0, 7);  // clamped to full volume
    recording.WaitUntilSilent();
    const auto frames = recording.Finish();

    EXPECT_NEAR(CountFrames(frames, kLevel, kLevel), 2 * Frames(0.1), 8);
    EXPECT_NEAR(CountFrames(frames, kLevel / 2, kLevel / 2), Frames(0.1), 4);
    EXPECT_NEAR(CountFrames(frames, kLevel / 4, kLevel / 4), Frames(0.1), 4);
    // Volume 0 and below play nothing audible.
    EXPECT_NEAR(CountNonSilent(frames), 4 * Frames(0.1), 16);
}

TEST(SoundPlayback, SingleCopySoundIsNotRestartedWhilePlaying)
{
    TempFolder folder;
    MixerRecording recording(folder);
    LOADSOUND(WriteConstantSound(folder, 0.6).c_str(), 0, 1);
    PLAYSOUND(0, 0, 1);
    PLAYSOUND(0, 0, 1);
    SleepSeconds(0.15);
    ASSERT_TRUE(DXwav[0].CopyIsPlaying(0));
    PLAYSOUND(0, 0, 1);
    recording.WaitUntilSilent();
    const auto frames = recording.Finish();

    // Never two at once, and played once: neither restarted nor lengthened.
    EXPECT_EQ(MaxAmplitude(frames), kLevel);
    EXPECT_NEAR(CountNonSilent(frames), Frames(0.6), 4);
}

TEST(SoundPlayback, ThreeCopiesSoundTogetherAndTheFourthPlayRestartsTheFirst)
{
    TempFolder folder;
    MixerRecording recording(folder);
    LOADSOUND(WriteConstantSound(folder, 1.0).c_str(), 0, 3);
    ASSERT_EQ(DXwav[0].CopyCount(), 3);
    for (int play = 0; play < 3; ++play) PLAYSOUND(0, 0, 1);
    EXPECT_EQ(DXwav[0].CurrentCopy(), 2);
    for (int copy = 0; copy < 3; ++copy) EXPECT_TRUE(DXwav[0].CopyIsPlaying(copy)) << copy;

    SleepSeconds(0.25);
    PLAYSOUND(0, 0, 1);  // all three still play: the oldest, copy 0, starts again
    EXPECT_EQ(DXwav[0].CurrentCopy(), 0);
    recording.WaitUntilSilent();
    const auto frames = recording.Finish();

    // Three at once at most; after copies 1 and 2 end, the restarted copy 0
    // goes on alone for the time it was restarted late, without a gap.
    EXPECT_EQ(MaxAmplitude(frames), 3 * kLevel);
    EXPECT_GT(CountFrames(frames, 3 * kLevel, 3 * kLevel), Frames(0.5));
    const int alone = CountFrames(frames, kLevel, kLevel);
    EXPECT_GT(alone, Frames(0.1));
    EXPECT_LT(alone, Frames(0.9));
    EXPECT_TRUE(SoundsWithoutGap(frames));
}

TEST(SoundPlayback, FourCopiesPlayFourAtOnce)
{
    TempFolder folder;
    MixerRecording recording(folder);
    LOADSOUND(WriteConstantSound(folder, 0.4).c_str(), 0, 4);
    for (int play = 0; play < 5; ++play) PLAYSOUND(0, 0, 1);
    recording.WaitUntilSilent();
    const auto frames = recording.Finish();
    EXPECT_EQ(MaxAmplitude(frames), 4 * kLevel);
}

TEST(SoundPlayback, HushSilencesEverySlot)
{
    TempFolder folder;
    MixerRecording recording(folder);
    const std::string sound = WriteConstantSound(folder, 3.0);
    LOADSOUND(sound.c_str(), 0, 2);
    LOADSOUND(sound.c_str(), 64, 1);
    LOADSOUND(sound.c_str(), 127, 4);
    PLAYSOUND(0, 0, 1);
    PLAYSOUND(0, 0, 1);
    PLAYSOUND(64, 0, 1);
    PLAYSOUND(127, 0, 1);
    SleepSeconds(0.2);
    HUSH();
    for (int slot : {0, 64, 127})
        for (int copy = 0; copy < SFXSoundBuffer::kMaxCopies; ++copy)
            EXPECT_FALSE(DXwav[slot].CopyIsPlaying(copy)) << slot << " " << copy;
    SleepSeconds(0.3);
    const auto frames = recording.Finish();

    EXPECT_EQ(MaxAmplitude(frames), 4 * kLevel);
    // Cut long before the 3 seconds of the sound.
    EXPECT_LT(CountNonSilent(frames), Frames(1.5));
    EXPECT_GT(CountNonSilent(frames), 0);
}

TEST(SoundPlayback, AStoppedSoundStartsFromTheBeginningAgain)
{
    TempFolder folder;
    MixerRecording recording(folder);
    // First half kLevel, second half 2 * kLevel: a restart shows as the first
    // half heard twice.
    Bytes samples = ConstantFrames16({kLevel, kLevel}, Frames(0.3));
    const Bytes second = ConstantFrames16({2 * kLevel, 2 * kLevel}, Frames(0.3));
    samples.insert(samples.end(), second.begin(), second.end());
    LOADSOUND(folder.Write("two.wav", BuildWave({}, samples)).c_str(), 0, 1);
    PLAYSOUND(0, 0, 1);
    SleepSeconds(0.2);
    ASSERT_TRUE(DXwav[0].Stop());
    PLAYSOUND(0, 0, 1);
    recording.WaitUntilSilent();
    const auto frames = recording.Finish();
    EXPECT_GT(CountFrames(frames, kLevel, kLevel), Frames(0.3) + Frames(0.02));
    EXPECT_NEAR(CountFrames(frames, 2 * kLevel, 2 * kLevel), Frames(0.3), 4);
}

TEST(SoundPlayback, MonoEightBitFileBecomesTheSameOnBothSides)
{
    TempFolder folder;
    MixerRecording recording(folder);
    WaveLayout layout;
    layout.channels = 1;
    layout.bitsPerSample = 8;
    // Unsigned 8-bit: 0x90 is 16 steps above the middle, 16 << 8 in 16 bits.
    LOADSOUND(folder.Write("mono8.wav", BuildWave(layout, ConstantFrames8(0x90, Frames(0.1)))).c_str(),
              0, 1);
    ASSERT_EQ(DXwav[0].CopyCount(), 1);
    EXPECT_EQ(DXwav[0].Format().channels, 1);
    PLAYSOUND(0, 0, 1);
    recording.WaitUntilSilent();
    const auto frames = recording.Finish();
    EXPECT_NEAR(CountFrames(frames, 16 << 8, 16 << 8), Frames(0.1), 4);
}

TEST(SoundPlayback, FourChannelFilePlaysItsFirstTwoChannels)
{
    TempFolder folder;
    MixerRecording recording(folder);
    WaveLayout layout;
    layout.channels = 4;
    LOADSOUND(folder.Write("quad.wav",
                           BuildWave(layout, ConstantFrames16({1000, 2000, 3000, 4000}, Frames(0.1))))
                  .c_str(),
              0, 1);
    ASSERT_EQ(DXwav[0].CopyCount(), 1);
    EXPECT_EQ(DXwav[0].Format().channels, 2);
    PLAYSOUND(0, 0, 1);
    recording.WaitUntilSilent();
    const auto frames = recording.Finish();
    EXPECT_NEAR(CountFrames(frames, 1000, 2000), Frames(0.1), 4);
    EXPECT_EQ(CountNonSilent(frames), CountFrames(frames, 1000, 2000));
}

TEST(SoundPlayback, OtherSampleRatesAreConvertedToTheDeviceRate)
{
    TempFolder folder;
    MixerRecording recording(folder);
    WaveLayout layout;
    layout.samplesPerSecond = 44100;
    LOADSOUND(folder.Write("fast.wav",
                           BuildWave(layout, ConstantFrames16({kLevel, kLevel}, 44100 / 2)))
                  .c_str(),
              0, 1);
    ASSERT_EQ(DXwav[0].CopyCount(), 1);
    PLAYSOUND(0, 0, 1);
    recording.WaitUntilSilent();
    const auto frames = recording.Finish();
    // Half a second at the device's rate, not a whole one.
    EXPECT_NEAR(CountNonSilent(frames), Frames(0.5), Frames(0.02));
}

TEST(SoundPlayback, EighteenByteFormatAndFactChunkFilesPlay)
{
    TempFolder folder;
    MixerRecording recording(folder);
    WaveLayout layout;
    layout.formatBytes = 18;
    LOADSOUND(folder.Write("fmt18.wav", BuildWave(layout, ConstantFrames16({kLevel, kLevel},
                                                                          Frames(0.1))))
                  .c_str(),
              0, 1);
    layout = {};
    layout.factChunk = true;
    LOADSOUND(folder.Write("fact.wav", BuildWave(layout, ConstantFrames16({kLevel, 0},
                                                                         Frames(0.1))))
                  .c_str(),
              1, 1);
    ASSERT_EQ(DXwav[0].CopyCount(), 1);
    ASSERT_EQ(DXwav[1].CopyCount(), 1);
    PLAYSOUND(0, 0, 1);
    recording.WaitUntilSilent();
    PLAYSOUND(1, 0, 1);
    recording.WaitUntilSilent();
    const auto frames = recording.Finish();
    EXPECT_NEAR(CountFrames(frames, kLevel, kLevel), Frames(0.1), 4);
    EXPECT_NEAR(CountFrames(frames, kLevel, 0), Frames(0.1), 4);
}
