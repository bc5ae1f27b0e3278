// Test helpers: wave files built byte by byte, so every header field can be
// set to a good or a damaged value, and a private folder to write them to.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace wavetest {

using Bytes = std::vector<std::uint8_t>;

struct WaveLayout {
    std::uint16_t formatTag = 1;     // 1 PCM, 3 float, 0xFFFE extensible
    std::uint16_t channels = 2;
    std::uint32_t samplesPerSecond = 22050;
    std::uint16_t bitsPerSample = 16;
    int blockAlign = -1;             // -1: channels * bits / 8
    std::uint32_t formatBytes = 16;  // the format chunk's size field
    int formatBodyBytes = -1;        // bytes really written; -1: as formatBytes
    std::uint32_t extensibleSubFormat = 1;  // the sub-format code when extensible
    bool factChunk = false;          // a 4-byte "fact" chunk before "data"
    bool listChunk = false;          // a "LIST" chunk before "data" (after "fact")
    std::int64_t dataBytesField = -1;  // the data chunk's size field; -1: real size
};

// A whole wave file with the given sample bytes as its data chunk body.
Bytes BuildWave(const WaveLayout& layout, const Bytes& samples);

// 16-bit frames where every channel c of every frame holds values[c].
Bytes ConstantFrames16(const std::vector<std::int16_t>& values, int frames);
// 8-bit unsigned mono frames all holding value.
Bytes ConstantFrames8(std::uint8_t value, int frames);

// A folder of its own for one test, removed again by the destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    std::string Write(const std::string& name, const Bytes& bytes) const;
    std::string PathOf(const std::string& name) const;

private:
    std::filesystem::path m_path;
};

}  // namespace wavetest
