#include "audio/sfx_sound_buffer.h"

#include <algorithm>
#include <new>
#include <string>

#include "audio/sfx_sound.h"
#include "audio/sound_levels.h"

SFXSoundBuffer* DXwav = nullptr;

SFXSoundBuffer::~SFXSoundBuffer()
{
    Stop();
    ReleaseCopies();
}

bool SFXSoundBuffer::HasDevice() const
{
    return m_owner != nullptr && m_owner->HasDevice();
}

void SFXSoundBuffer::ReleaseCopies()
{
    for (int& channel : m_copies) {
        platform::ReleaseMixerChannel(channel);
        channel = kNoCopy;
    }
    platform::FreeMixerSamples(m_samples);
    m_samples = nullptr;
    m_format = WaveFormat{};
}

bool SFXSoundBuffer::Load(SFXSound* device, const char* fileName, int copies)
{
    Stop();
    ReleaseCopies();
    m_copyCount = 0;
    m_currentCopy = 0;

    m_loadProblem.clear();

    m_owner = device;
    m_copyCount = std::clamp(copies, 1, kMaxCopies);
    m_fileName = fileName;

    bool loaded = HasDevice() && fileName != nullptr && LoadFromFile();
    // The name belongs to the caller: it is only good while loading.
    m_fileName = nullptr;
    if (loaded) {
        // Copy 0 owns a channel or the slot is no use; further copies are a
        // bonus, and a copy without a channel is simply never played.
        m_copies[0] = platform::ReserveMixerChannel();
        loaded = m_copies[0] != kNoCopy;
        for (int copy = 1; loaded && copy < m_copyCount; ++copy)
            m_copies[copy] = platform::ReserveMixerChannel();
    }
    if (!loaded) {
        ReleaseCopies();
        m_copyCount = 0;
        return false;
    }
    return true;
}

bool SFXSoundBuffer::LoadFromFile()
{
    if (m_fileName == nullptr) return false;
    std::FILE* file = std::fopen(m_fileName, "rb");
    if (file == nullptr) return false;
    const SoundFileKind kind = SoundFileKindOf(file);
    if (kind != SoundFileKind::Wave) {
        const bool decoded = LoadCompressedFile(file, kind);
        std::fclose(file);
        return decoded;
    }
    WaveDataChunk data;
    bool loaded = ReadWaveHeader(file, data);
    if (loaded) {
        m_format = data.format;
        loaded = ReadData(file, data.size, data.position) && MakeSamples();
    }
    std::fclose(file);
    m_loading = {};
    return loaded;
}

bool SFXSoundBuffer::ReadData(std::FILE* file, std::uint32_t byteCount, long position)
{
    try {
        m_loading.resize(byteCount);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "Zorvelin runtime: no memory for %u bytes of sound samples\n",
                     static_cast<unsigned>(byteCount));
        return false;
    }
    const std::size_t read = ReadWaveBytes(file, byteCount, position, m_loading.data());
    if (read != byteCount) {
        std::fprintf(stderr, "Zorvelin runtime: sound file %s: %zu of %u sample bytes read\n",
                     m_fileName != nullptr ? m_fileName : "?", read,
                     static_cast<unsigned>(byteCount));
        return false;
    }
    return true;
}

// Turns the samples read from the file into the block the copies share, in
// the device's format.
bool SFXSoundBuffer::MakeSamples()
{
    std::vector<unsigned char> played;
    try {
        played = PackPlayedChannels(m_format, m_loading.data(), m_loading.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (played.empty()) return false;
    m_samples = platform::CreateMixerSamples(played.data(), played.size(), m_format.channels,
                                             m_format.samplesPerSecond, m_format.bitsPerSample);
    return m_samples != nullptr;
}

namespace {

// Compressed files are read whole into memory before decoding; ten minutes
// of sound at any usual quality is well below this.
constexpr long kMaxCompressedFileBytes = 128L * 1024 * 1024;

platform::CompressedSoundFormat CompressedFormatOf(SoundFileKind kind)
{
    switch (kind) {
    case SoundFileKind::OggVorbis: return platform::CompressedSoundFormat::OggVorbis;
    case SoundFileKind::Flac: return platform::CompressedSoundFormat::Flac;
    default: return platform::CompressedSoundFormat::Mp3;
    }
}

}  // namespace

// Reads the whole file and has the mixer decode it into the block the
// copies share, already in the device's format.
bool SFXSoundBuffer::LoadCompressedFile(std::FILE* file, SoundFileKind kind)
{
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
    if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        m_loadProblem = "its length cannot be found";
        return false;
    }
    if (length > kMaxCompressedFileBytes) {
        m_loadProblem = "it is larger than " + std::to_string(kMaxCompressedFileBytes >> 20) + " MB";
        return false;
    }
    try {
        m_loading.resize(static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        m_loadProblem = "no memory for its " + std::to_string(length) + " bytes";
        return false;
    }
    const std::size_t read = std::fread(m_loading.data(), 1, m_loading.size(), file);
    if (read != m_loading.size()) {
        m_loadProblem = std::to_string(read) + " of its " + std::to_string(length) + " bytes read";
        m_loading = {};
        return false;
    }
    m_samples = platform::DecodeSoundFile(m_loading.data(), m_loading.size(), CompressedFormatOf(kind),
                                          &m_loadProblem);
    m_loading = {};
    if (m_samples == nullptr) return false;
    platform::AudioMixerFormat device;
    if (platform::QueryAudioMixer(&device)) {
        m_format.fileChannels = device.channels;
        m_format.channels = device.channels;
        m_format.samplesPerSecond = device.samplesPerSecond;
        m_format.bitsPerSample = device.bitsPerSample;
        m_format.blockAlign = device.channels * device.bitsPerSample / 8;
    }
    return true;
}

bool SFXSoundBuffer::CopyIsPlaying(int copy) const
{
    return copy >= 0 && copy < kMaxCopies && platform::MixerChannelIsPlaying(m_copies[copy]);
}

int SFXSoundBuffer::GetFreeBuffer()
{
    if (m_copyCount == 0 || m_copies[m_currentCopy] == kNoCopy) return kNoCopy;
    if (CopyIsPlaying(m_currentCopy)) {
        // A sound with a single copy is not restarted while it plays.
        if (m_copyCount == 1) return kNoCopy;
        // Otherwise the next copy in turn; when that one is still playing
        // too, it is the oldest sound and gets cut off.
        m_currentCopy = (m_currentCopy + 1) % m_copyCount;
        if (CopyIsPlaying(m_currentCopy)) platform::StopMixerChannel(m_copies[m_currentCopy]);
    }
    // Mixer channels are never lost the way hardware buffers can be, so
    // there is nothing to restore.
    if (m_copies[m_currentCopy] == kNoCopy) return kNoCopy;
    return m_currentCopy;
}

bool SFXSoundBuffer::Play(int pan, int volume, unsigned flags)
{
    if (!HasDevice() || m_copyCount == 0) return false;
    const int copy = GetFreeBuffer();
    if (copy == kNoCopy) return false;
    const PanGains gains = PanToGains(pan);
    return platform::PlayOnMixerChannel(m_copies[copy], m_samples, gains.left, gains.right,
                                        VolumeToGain(volume), (flags & kSoundPlayLooping) != 0);
}

bool SFXSoundBuffer::Stop()
{
    if (m_copyCount == 0 || !HasDevice()) return true;
    // A stopped mixer channel starts from the beginning at its next play:
    // stopping also rewinds.
    for (int channel : m_copies)
        platform::StopMixerChannel(channel);
    return true;
}
