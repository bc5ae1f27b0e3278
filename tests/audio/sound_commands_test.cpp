// LOADSOUND, PLAYSOUND and HUSH on the slot table: slot and copy numbers,
// bad files, and running without any audio device.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "audio/mixer_recording.h"
#include "audio/sfx_sound.h"
#include "audio/sfx_sound_buffer.h"
#include "audio/sound_commands.h"
#include "audio/wave_files.h"
#include "frame/frame.h"

using namespace wavetest;

namespace {

Bytes ShortSound() { return BuildWave({}, ConstantFrames16({100, 100}, 2205)); }

int LoadedSlots()
{
    int loaded = 0;
    for (int slot = 0; slot < kSoundSlotCount; ++slot)
        if (DXwav[slot].CopyCount() != 0) ++loaded;
    return loaded;
}

}  // namespace

TEST(SoundCommands, CopyCountIsClampedToOneToFour)
{
    TempFolder folder;
    MixerRecording recording(folder);
    const std::string sound = folder.Write("s.wav", ShortSound());
    LOADSOUND(sound.c_str(), 0, 0);
    LOADSOUND(sound.c_str(), 1, -5);
    LOADSOUND(sound.c_str(), 2, 9);
    LOADSOUND(sound.c_str(), 3, 2.9);
    EXPECT_EQ(DXwav[0].CopyCount(), 1);
    EXPECT_EQ(DXwav[1].CopyCount(), 1);
    EXPECT_EQ(DXwav[2].CopyCount(), 4);
    EXPECT_EQ(DXwav[3].CopyCount(), 2);
}

TEST(SoundCommands, SoundNumbersAboveTheTableUseTheLastSlot)
{
    TempFolder folder;
    MixerRecording recording(folder);
    LOADSOUND(folder.Write("s.wav", ShortSound()).c_str(), 300, 1);
    EXPECT_EQ(DXwav[127].CopyCount(), 1);
    EXPECT_EQ(LoadedSlots(), 1);
    PLAYSOUND(1e9, 0, 1);
    EXPECT_TRUE(DXwav[127].CopyIsPlaying(0));
}

TEST(SoundCommands, NegativeSoundNumbersNameNoSlot)
{
    TempFolder folder;
    MixerRecording recording(folder);
    const std::string sound = folder.Write("s.wav", ShortSound());
    for (double number : {-1.0, -128.0, -1e12})
        EXPECT_EQ(LOADSOUND(sound.c_str(), number, 1), 0);
    EXPECT_EQ(LoadedSlots(), 0);
    LOADSOUND(sound.c_str(), 0, 1);
    EXPECT_EQ(PLAYSOUND(-1, 0, 1), 0);
    EXPECT_EQ(PLAYSOUND(-0.5, 0, 1), 0);  // truncates to slot 0
    EXPECT_TRUE(DXwav[0].CopyIsPlaying(0));
}

TEST(SoundCommands, ReloadingASlotReplacesItsSound)
{
    TempFolder folder;
    MixerRecording recording(folder);
    LOADSOUND(folder.Write("a.wav", ShortSound()).c_str(), 5, 4);
    WaveLayout mono;
    mono.channels = 1;
    LOADSOUND(folder.Write("b.wav", BuildWave(mono, ConstantFrames16({7}, 100))).c_str(), 5, 2);
    EXPECT_EQ(DXwav[5].CopyCount(), 2);
    EXPECT_EQ(DXwav[5].Format().channels, 1);

    // A damaged file empties the slot.
    WaveLayout list;
    list.listChunk = true;
    LOADSOUND(folder.Write("c.wav", BuildWave(list, ShortSound())).c_str(), 5, 2);
    EXPECT_EQ(DXwav[5].CopyCount(), 0);
    EXPECT_EQ(PLAYSOUND(5, 0, 1), 0);
    EXPECT_FALSE(DXwav[5].CopyIsPlaying(0));
}

TEST(SoundCommands, MissingFileLeavesTheSlotAlone)
{
    TempFolder folder;
    MixerRecording recording(folder);
    LOADSOUND(folder.Write("a.wav", ShortSound()).c_str(), 0, 1);
    LOADSOUND(folder.PathOf("missing.wav").c_str(), 0, 1);
    LOADSOUND("", 1, 1);
    LOADSOUND(folder.PathOf("").c_str(), 2, 1);  // a folder, not a file
    EXPECT_EQ(DXwav[0].CopyCount(), 1);
    EXPECT_EQ(DXwav[1].CopyCount(), 0);
    EXPECT_EQ(DXwav[2].CopyCount(), 0);
}

TEST(SoundCommands, DamagedFilesLeaveTheSlotEmpty)
{
    TempFolder folder;
    MixerRecording recording(folder);
    const Bytes good = ShortSound();
    WaveLayout badFormat;
    badFormat.formatBytes = 12;
    WaveLayout longData;
    longData.dataBytesField = 1 << 30;
    WaveLayout noChannels;
    noChannels.channels = 0;
    noChannels.blockAlign = 4;
    std::vector<Bytes> damaged = {
        Bytes(good.begin(), good.begin() + 20),
        BuildWave(badFormat, ConstantFrames16({1, 1}, 10)),
        BuildWave(longData, ConstantFrames16({1, 1}, 10)),
        BuildWave(noChannels, ConstantFrames16({1, 1}, 10)),
    };
    WaveLayout listChunk;
    listChunk.listChunk = true;
    damaged.push_back(BuildWave(listChunk, ConstantFrames16({1, 1}, 10)));
    testing::internal::CaptureStderr();
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < damaged.size(); ++i) {
            LOADSOUND(folder.Write("bad" + std::to_string(i) + ".wav", damaged[i]).c_str(),
                      static_cast<double>(i), 3);
            EXPECT_EQ(DXwav[i].CopyCount(), 0) << i;
        }
    }
    // Each file is named once, with why it cannot be read, however often
    // the program asks for it.
    const std::string said = testing::internal::GetCapturedStderr();
    const std::vector<std::string> reasons = {
        "bad0.wav cannot be read: it is shorter than the 36 bytes of a wave header\n",
        "bad1.wav cannot be read: its format chunk has 12 bytes, fewer than 16\n",
        "bad2.wav cannot be read: it is cut short: its data chunk of 1073741824 bytes runs past the end of the file\n",
        "bad3.wav cannot be read: its format cannot be played (0 channels, 16 bits, 22050 samples per second, 4 bytes a frame)\n",
        "bad4.wav cannot be read: a \"LIST\" chunk stands where the data chunk belongs\n",
    };
    for (const std::string& reason : reasons) {
        const std::size_t at = said.find(reason);
        EXPECT_NE(at, std::string::npos) << reason << said;
        EXPECT_EQ(said.find(reason, at + 1), std::string::npos) << reason << said;
    }
    EXPECT_NE(said.find("Zorvelin runtime: sound " + folder.PathOf("bad0.wav") + " cannot be read"), std::string::npos) << said;
    HUSH();
    for (std::size_t i = 0; i < damaged.size(); ++i) EXPECT_EQ(PLAYSOUND(i, 0, 1), 0);
}

TEST(SoundCommands, NoAudioDeviceMeansSilenceNotFailure)
{
    TempFolder folder;
    const std::string sound = folder.Write("s.wav", ShortSound());
    setenv("SDL_AUDIODRIVER", "no_such_audio_driver", 1);
    const auto start = std::chrono::steady_clock::now();
    pDXsnd = new SFXSound;
    DXwav = new SFXSoundBuffer[kSoundSlotCount];
    EXPECT_EQ(pDXsnd->Create(nullptr), 0);
    EXPECT_FALSE(pDXsnd->HasDevice());
    EXPECT_FALSE(pDXsnd->GetCaps());
    LOADSOUND(sound.c_str(), 0, 2);
    EXPECT_EQ(DXwav[0].CopyCount(), 0);
    EXPECT_FALSE(DXwav[0].Play(0, 0, 0));
    EXPECT_EQ(PLAYSOUND(0, 0, 1), 0);
    EXPECT_EQ(HUSH(), 0);
    delete[] DXwav;
    DXwav = nullptr;
    delete pDXsnd;
    pDXsnd = nullptr;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(SoundCommands, CommandsBeforeStartUpDoNothing)
{
    ASSERT_EQ(DXwav, nullptr);
    TempFolder folder;
    EXPECT_EQ(LOADSOUND(folder.Write("s.wav", ShortSound()).c_str(), 0, 1), 0);
    EXPECT_EQ(PLAYSOUND(0, 0, 1), 0);
    EXPECT_EQ(HUSH(), 0);
}

TEST(SoundCommands, DeviceRunsAt22050HzSixteenBitStereo)
{
    TempFolder folder;
    MixerRecording recording(folder);
    ASSERT_TRUE(pDXsnd->GetCaps());
    EXPECT_EQ(pDXsnd->Caps().samplesPerSecond, 22050);
    EXPECT_EQ(pDXsnd->Caps().bitsPerSample, 16);
    EXPECT_EQ(pDXsnd->Caps().channels, 2);
    EXPECT_EQ(pDXsnd->Create(nullptr), 1);  // a second Create keeps the device
}

TEST(SoundCommands, SlotWithoutDeviceOwnerStaysSilent)
{
    TempFolder folder;
    MixerRecording recording(folder);
    SFXSoundBuffer slot;
    EXPECT_FALSE(slot.Load(nullptr, folder.Write("s.wav", ShortSound()).c_str(), 1));
    EXPECT_EQ(slot.CopyCount(), 0);
    EXPECT_FALSE(slot.Play(0, 0, 0));
    EXPECT_EQ(slot.GetFreeBuffer(), SFXSoundBuffer::kNoCopy);
    EXPECT_TRUE(slot.Load(pDXsnd, folder.PathOf("s.wav").c_str(), 1));
    EXPECT_EQ(slot.GetFreeBuffer(), 0);
}
