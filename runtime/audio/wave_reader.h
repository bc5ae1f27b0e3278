// The wave file reader of the sound slots: RIFF WAVE files with their chunks
// in one fixed order (format, an optional "fact", then "data"), PCM only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The sample format of a wave file as the sound slots use it.
struct WaveFormat {
    int fileChannels = 0;      // channels stored in the file
    int channels = 0;          // channels played: 2 when the file has more than one, else 1
    int samplesPerSecond = 0;
    int blockAlign = 0;        // bytes of one frame (all channels of one sample) in the file
    int bitsPerSample = 0;     // 8 (unsigned) or 16 (signed)

    int BytesPerSecond() const { return samplesPerSecond * blockAlign; }
    // Bytes of one frame once only the played channels are kept.
    int PlayedFrameBytes() const { return channels * bitsPerSample / 8; }
};

// Where the samples are: the body of the "data" chunk.
struct WaveDataChunk {
    WaveFormat format;
    long position = 0;         // file offset of the first sample byte
    std::uint32_t size = 0;    // bytes of samples
};

// Format tags accepted: plain PCM, and the extensible header when its
// sub-format is PCM.
constexpr int kWaveFormatPcm = 1;
constexpr int kWaveFormatExtensible = 0xFFFE;

// Sample rates outside this range are refused as damaged files.
constexpr int kWaveMinSamplesPerSecond = 100;
constexpr int kWaveMaxSamplesPerSecond = 200000;

// Reads the header of an open wave file, from its start, up to the first
// sample. False for anything not accepted: shorter than 36 bytes, a format
// chunk under 16 bytes or running past the end, a chunk other than "fact"
// before "data", a data chunk running past the end of the file, a format
// that is not 8- or 16-bit PCM, no channels, no block alignment or a
// block alignment too small for the played channels, a sample rate out of
// range, or no whole frame of samples.
// A refused file puts the reason into *why when it is given.
bool ReadWaveHeader(std::FILE* file, WaveDataChunk& data, std::string* why = nullptr);

// Why the file's header is refused, in words; empty when it is taken.
std::string WaveFileProblem(const char* path);

// Reads exactly count bytes into out, from position (an offset from the
// file's start) or from the current position when position is -1.
// Returns how many bytes were read; count means success.
std::size_t ReadWaveBytes(std::FILE* file, std::uint32_t count, long position, unsigned char* out);

// Keeps, of every whole frame in the file's samples, the played channels
// (the first one or two) as packed PCM of the same sample size.
std::vector<unsigned char> PackPlayedChannels(const WaveFormat& format,
                                              const unsigned char* samples, std::size_t bytes);
