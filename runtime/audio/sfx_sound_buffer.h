// SFXSoundBuffer: one sound slot. It holds one sound file's samples (a wave
// file, or an Ogg Vorbis, MP3 or FLAC file decoded at load) in 1 to 4 copies, so the same effect can sound several times at once. The copies
// share one block of samples; each copy is a mixer channel of its own.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "audio/sound_file_kind.h"
#include "audio/wave_reader.h"
#include "platform/platform.h"

class SFXSound;

// The fixed table of sound slots numbered by the program.
constexpr int kSoundSlotCount = 128;

// Play flag: loop until stopped (the commands never use it).
constexpr unsigned kSoundPlayLooping = 1;

class SFXSoundBuffer {
public:
    static constexpr int kMaxCopies = 4;
    static constexpr int kNoCopy = -1;

    SFXSoundBuffer() = default;
    ~SFXSoundBuffer();  // stops the slot and releases every copy
    SFXSoundBuffer(const SFXSoundBuffer&) = delete;
    SFXSoundBuffer& operator=(const SFXSoundBuffer&) = delete;

    // Empties the slot, then loads the sound file into it with copies clamped
    // to 1 ... 4. False (slot left empty) without a device or when the file
    // cannot be read.
    bool Load(SFXSound* device, const char* fileName, int copies);
    // Reads the sound file named by the slot into copy 0: a compressed file
    // (told by its first bytes) is decoded whole, anything else is read as
    // a wave file.
    bool LoadFromFile();
    // Reads byteCount sample bytes from position (or the current position
    // when it is -1) into the block being loaded.
    bool ReadData(std::FILE* file, std::uint32_t byteCount, long position);

    // The copy to play next (polyphony rule), or kNoCopy.
    int GetFreeBuffer();
    // Plays the next free copy with pan (-10000 ... 10000) and volume
    // (-10000 ... 0, hundredths of a decibel); flags: kSoundPlayLooping.
    bool Play(int pan, int volume, unsigned flags);
    // Stops every copy and rewinds it.
    bool Stop();

    int CopyCount() const { return m_copyCount; }
    int CurrentCopy() const { return m_currentCopy; }
    // The format of the loaded wave file (channels: 1 or 2 as played); for a
    // compressed file, the device's format it was decoded to.
    const WaveFormat& Format() const { return m_format; }
    // Why the last load of a compressed file failed; empty after a success
    // and after any wave file, whose reasons WaveFileProblem tells.
    const std::string& LoadProblem() const { return m_loadProblem; }
    bool CopyIsPlaying(int copy) const;

private:
    bool HasDevice() const;
    void ReleaseCopies();
    bool MakeSamples();
    bool LoadCompressedFile(std::FILE* file, SoundFileKind kind);

    int m_copyCount = 0;            // 0 = empty slot, else 1 ... 4
    int m_currentCopy = 0;          // the copy played last
    const char* m_fileName = nullptr;  // set only while loading
    SFXSound* m_owner = nullptr;    // null: the slot is silent
    int m_copies[kMaxCopies] = {kNoCopy, kNoCopy, kNoCopy, kNoCopy};  // mixer channels
    platform::MixerSamples* m_samples = nullptr;  // shared by every copy
    WaveFormat m_format;
    std::vector<unsigned char> m_loading;  // the file's samples while loading
    std::string m_loadProblem;      // why the last compressed file failed
};

extern SFXSoundBuffer* DXwav;  // the 128 sound slots; the frame creates them
