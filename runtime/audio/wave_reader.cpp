#include "audio/wave_reader.h"

#include <cstring>
#include <string>
#include <utility>

namespace {

// The fixed start of every accepted file: RIFF header, "fmt " header and the
// 16 bytes every format chunk has.
constexpr std::size_t kFixedHeaderBytes = 36;
constexpr std::uint32_t kBaseFormatBytes = 16;
// The extensible format adds cbSize, valid bits, channel mask and a 16-byte
// sub-format identifier after the base format.
constexpr std::uint32_t kExtensibleFormatBytes = 40;
constexpr std::size_t kSubFormatOffset = 8;  // within the extension
// Every PCM sub-format identifier ends in these 12 bytes after its
// little-endian 32-bit format code (1 for PCM).
constexpr unsigned char kSubFormatTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                              0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint16_t ReadU16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ReadU32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Reads the file with every offset checked against its length, so that no
// size field taken from the file can move past the end.
class BoundedFile {
public:
    explicit BoundedFile(std::FILE* file) : m_file(file)
    {
        if (std::fseek(file, 0, SEEK_END) == 0) m_length = std::ftell(file);
        if (m_length < 0 || std::fseek(file, 0, SEEK_SET) != 0) m_length = -1;
    }

    bool Usable() const { return m_length >= 0; }
    long Position() const { return m_position; }
    bool Has(std::uint64_t bytes) const
    {
        return static_cast<std::uint64_t>(m_length - m_position) >= bytes;
    }

    bool Read(void* out, std::size_t bytes)
    {
        if (!Has(bytes) || std::fread(out, 1, bytes, m_file) != bytes) return false;
        m_position += static_cast<long>(bytes);
        return true;
    }

    bool Skip(std::uint64_t bytes)
    {
        if (!Has(bytes)) return false;
        const long target = m_position + static_cast<long>(bytes);
        if (std::fseek(m_file, target, SEEK_SET) != 0) return false;
        m_position = target;
        return true;
    }

private:
    std::FILE* m_file;
    long m_length = -1;
    long m_position = 0;
};

struct ChunkHeader {
    char id[4];
    std::uint32_t size;
};

bool ReadChunkHeader(BoundedFile& file, ChunkHeader& header)
{
    unsigned char bytes[8];
    if (!file.Read(bytes, sizeof bytes)) return false;
    std::memcpy(header.id, bytes, 4);
    header.size = ReadU32(bytes + 4);
    return true;
}

bool IsChunk(const ChunkHeader& header, const char* id)
{
    return std::memcmp(header.id, id, 4) == 0;
}

// Reads what follows the base 16 bytes of the format chunk. Of the
// extensible format only a PCM sub-format is accepted; everything else in
// the rest of the chunk is skipped.
bool ReadFormatRest(BoundedFile& file, std::uint32_t formatBytes, int formatTag)
{
    std::uint64_t rest = formatBytes - kBaseFormatBytes;
    if (formatTag == kWaveFormatExtensible) {
        if (formatBytes < kExtensibleFormatBytes) return false;
        unsigned char extension[kExtensibleFormatBytes - kBaseFormatBytes];
        if (!file.Read(extension, sizeof extension)) return false;
        const unsigned char* subFormat = extension + kSubFormatOffset;
        if (ReadU32(subFormat) != kWaveFormatPcm) return false;
        if (std::memcmp(subFormat + 4, kSubFormatTail, sizeof kSubFormatTail) != 0) return false;
        rest -= sizeof extension;
    } else if (formatTag != kWaveFormatPcm) {
        return false;  // compressed data played as PCM would only be noise
    }
    return file.Skip(rest);
}

bool FormatIsPlayable(const WaveFormat& format)
{
    if (format.fileChannels < 1) return false;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
    if (format.samplesPerSecond < kWaveMinSamplesPerSecond ||
        format.samplesPerSecond > kWaveMaxSamplesPerSecond)
        return false;
    // A frame must hold the played channels, or reading them would run into
    // the next frame.
    return format.blockAlign >= format.PlayedFrameBytes();
}

}  // namespace

bool ReadWaveHeader(std::FILE* file, WaveDataChunk& data, std::string* why)
{
    auto refuse = [why](std::string reason) {
        if (why != nullptr) *why = std::move(reason);
        return false;
    };
    BoundedFile in(file);
    if (!in.Usable()) return refuse("its length cannot be read");

    unsigned char header[kFixedHeaderBytes];
    if (!in.Read(header, sizeof header))
        return refuse("it is shorter than the " + std::to_string(kFixedHeaderBytes) + " bytes of a wave header");
    // The RIFF, WAVE and "fmt " identifiers are not checked: the chunks are
    // taken in their fixed order.
    const std::uint32_t formatBytes = ReadU32(header + 16);
    const int formatTag = ReadU16(header + 20);
    WaveFormat format;
    format.fileChannels = ReadU16(header + 22);
    format.channels = format.fileChannels > 1 ? 2 : 1;
    const std::uint32_t samplesPerSecond = ReadU32(header + 24);
    format.samplesPerSecond = samplesPerSecond > static_cast<std::uint32_t>(kWaveMaxSamplesPerSecond)
                                  ? 0
                                  : static_cast<int>(samplesPerSecond);
    format.blockAlign = ReadU16(header + 32);
    format.bitsPerSample = ReadU16(header + 34);

    if (formatBytes < kBaseFormatBytes)
        return refuse("its format chunk has " + std::to_string(formatBytes) + " bytes, fewer than " +
                      std::to_string(kBaseFormatBytes));
    if (!ReadFormatRest(in, formatBytes, formatTag))
        return refuse(formatTag != kWaveFormatPcm && formatTag != kWaveFormatExtensible
                          ? "it is not PCM (format " + std::to_string(formatTag) + ")"
                          : std::string("its format chunk is damaged, cut short or not PCM"));

    ChunkHeader chunk;
    if (!ReadChunkHeader(in, chunk)) return refuse("it ends before its data chunk");
    if (IsChunk(chunk, "fact")) {
        if (!in.Skip(chunk.size) || !ReadChunkHeader(in, chunk)) return refuse("it ends before its data chunk");
    }
    if (!IsChunk(chunk, "data")) {
        std::string id;
        for (char c : chunk.id) id += c >= ' ' && c <= '~' ? c : '?';
        return refuse("a \"" + id + "\" chunk stands where the data chunk belongs");
    }
    // A data chunk longer than the file is refused rather than cut.
    if (!in.Has(chunk.size))
        return refuse("it is cut short: its data chunk of " + std::to_string(chunk.size) +
                      " bytes runs past the end of the file");

    if (!FormatIsPlayable(format))
        return refuse("its format cannot be played (" + std::to_string(format.fileChannels) + " channels, " +
                      std::to_string(format.bitsPerSample) + " bits, " + std::to_string(samplesPerSecond) +
                      " samples per second, " + std::to_string(format.blockAlign) + " bytes a frame)");
    if (chunk.size < static_cast<std::uint32_t>(format.blockAlign))
        return refuse("it holds no whole frame of samples");

    data.format = format;
    data.position = in.Position();
    data.size = chunk.size;
    return true;
}

std::string WaveFileProblem(const char* path)
{
    std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) return "it cannot be opened";
    WaveDataChunk data;
    std::string why;
    ReadWaveHeader(file, data, &why);
    std::fclose(file);
    return why;
}

std::size_t ReadWaveBytes(std::FILE* file, std::uint32_t count, long position, unsigned char* out)
{
    if (position != -1 && (position < 0 || std::fseek(file, position, SEEK_SET) != 0)) return 0;
    return std::fread(out, 1, count, file);
}

std::vector<unsigned char> PackPlayedChannels(const WaveFormat& format,
                                              const unsigned char* samples, std::size_t bytes)
{
    const std::size_t stride = static_cast<std::size_t>(format.blockAlign);
    const std::size_t kept = static_cast<std::size_t>(format.PlayedFrameBytes());
    if (stride == 0 || kept == 0 || kept > stride) return {};
    const std::size_t frames = bytes / stride;
    if (frames == 0) return {};
    std::vector<unsigned char> packed(frames * kept);
    if (kept == stride) {
        std::memcpy(packed.data(), samples, packed.size());
    } else {
        for (std::size_t i = 0; i < frames; ++i)
            std::memcpy(packed.data() + i * kept, samples + i * stride, kept);
    }
    return packed;
}
