#include "audio/wave_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <random>

namespace wavetest {

namespace {

void Put16(Bytes& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(Bytes& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutId(Bytes& out, const char* id)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(id[i]));
}

}  // namespace

Bytes BuildWave(const WaveLayout& layout, const Bytes& samples)
{
    const int blockAlign = layout.blockAlign >= 0 ? layout.blockAlign
                                                 : layout.channels * layout.bitsPerSample / 8;
    Bytes format;
    Put16(format, layout.formatTag);
    Put16(format, layout.channels);
    Put32(format, layout.samplesPerSecond);
    Put32(format, layout.samplesPerSecond * static_cast<std::uint32_t>(blockAlign));
    Put16(format, static_cast<std::uint32_t>(blockAlign));
    Put16(format, layout.bitsPerSample);
    if (layout.formatTag == 0xFFFE) {
        Put16(format, 22);                  // extension size
        Put16(format, layout.bitsPerSample);  // valid bits
        Put32(format, 3);                   // front left and right
        Put32(format, layout.extensibleSubFormat);
        const std::uint8_t tail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                       0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        format.insert(format.end(), tail, tail + 12);
    }
    const std::size_t bodyBytes = layout.formatBodyBytes >= 0
                                      ? static_cast<std::size_t>(layout.formatBodyBytes)
                                      : layout.formatBytes;
    format.resize(bodyBytes, 0);

    Bytes out;
    PutId(out, "RIFF");
    Put32(out, 0);  // patched below
    PutId(out, "WAVE");
    PutId(out, "fmt ");
    Put32(out, layout.formatBytes);
    out.insert(out.end(), format.begin(), format.end());
    if (layout.factChunk) {
        PutId(out, "fact");
        Put32(out, 4);
        Put32(out, static_cast<std::uint32_t>(samples.size() / (blockAlign ? blockAlign : 1)));
    }
    if (layout.listChunk) {
        PutId(out, "LIST");
        Put32(out, 4);
        PutId(out, "INFO");
    }
    PutId(out, "data");
    Put32(out, layout.dataBytesField >= 0 ? static_cast<std::uint32_t>(layout.dataBytesField)
                                        : static_cast<std::uint32_t>(samples.size()));
    out.insert(out.end(), samples.begin(), samples.end());
    const std::uint32_t riffBytes = static_cast<std::uint32_t>(out.size() - 8);
    for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<std::uint8_t>(riffBytes >> (8 * i));
    return out;
}

Bytes ConstantFrames16(const std::vector<std::int16_t>& values, int frames)
{
    Bytes out;
    for (int i = 0; i < frames; ++i)
        for (std::int16_t value : values) Put16(out, static_cast<std::uint16_t>(value));
    return out;
}

Bytes ConstantFrames8(std::uint8_t value, int frames)
{
    return Bytes(static_cast<std::size_t>(frames), value);
}

TempFolder::TempFolder()
{
    static std::atomic<int> counter{0};
    std::random_device random;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("kv_audio_") + (test ? test->name() : "test") + "_" +
                       std::to_string(random()) + "_" + std::to_string(counter++);
    for (char& c : name)
        if (c == '/') c = '_';
    m_path = std::filesystem::temp_directory_path() / name;
#ifdef _WIN32
    // GoogleTest's death tests on Windows run the test again from its start
    // in a new process, which must find what its parent left there: its
    // n-th folder is its parent's n-th, handed on in the environment.
    static int made = 0;
    const std::string handedOn = "KV_AUDIO_TEST_FOLDER_" + std::to_string(++made);
    if (const char* parents = std::getenv(handedOn.c_str()))
        m_path = parents;
    else
        setenv(handedOn.c_str(), m_path.string().c_str(), 1);
#endif
    std::filesystem::create_directories(m_path);
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempFolder::PathOf(const std::string& name) const { return (m_path / name).string(); }

std::string TempFolder::Write(const std::string& name, const Bytes& bytes) const
{
    const std::string path = PathOf(name);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

}  // namespace wavetest
