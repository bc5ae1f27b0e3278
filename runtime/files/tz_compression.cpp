#include "files/tz_compression.h"

#include <lzo/lzo1x.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

TzCompression::TzCompression()
{
    Clear();
}

TzCompression::~TzCompression()
{
    Clear();
}

void TzCompression::Clear()
{
    std::free(m_output);
    m_output = nullptr;
    m_capacity = 0;
    m_outputLength = 0;
    m_complete = false;
    // lzo_init only checks the library's build; calling it again is harmless.
    if (lzo_init() != LZO_E_OK)
        std::fprintf(stderr, "TzCompression: the LZO library failed its start-up check\n");
}

std::uint64_t TzCompression::MaxUnpackedSize(std::size_t streamSize)
{
    // 255 bytes per stream byte for long runs of zero-length bytes, with room
    // for the short codes and trailing literals of a tiny stream.
    return static_cast<std::uint64_t>(streamSize) * 255u + 64u;
}

int TzCompression::UnPack(const unsigned char* block, std::size_t blockSize)
{
    m_outputLength = 0;
    m_complete = false;
    if (!m_keepBuffer) Clear();
    if (m_mode != kModeLzo) return 0;
    if (block == nullptr || blockSize < kHeaderSize) return 0;

    std::uint32_t announced = static_cast<std::uint32_t>(block[0]) |
                              static_cast<std::uint32_t>(block[1]) << 8 |
                              static_cast<std::uint32_t>(block[2]) << 16 |
                              static_cast<std::uint32_t>(block[3]) << 24;
    std::size_t streamSize = blockSize - kHeaderSize;
    // A header is untrusted: never allocate more than the stream could fill.
    if (announced > static_cast<std::uint32_t>(INT_MAX) ||
        announced > MaxUnpackedSize(streamSize))
        return 0;

    // One byte more than announced keeps the allocation non-empty for an empty
    // member; the decoder is still limited to the announced length. Not
    // cleared: the decoder writes every byte it reports.
    if (m_capacity < announced + 1u) {
        std::free(m_output);
        m_capacity = 0;
        m_output = static_cast<unsigned char*>(std::malloc(announced + 1u));
        if (m_output == nullptr) return 0;
        m_capacity = announced + 1u;
    }

    lzo_uint written = announced;
    int result = lzo1x_decompress_safe(block + kHeaderSize, static_cast<lzo_uint>(streamSize),
                                       m_output, &written, nullptr);
    m_outputLength = static_cast<int>(written <= announced ? written : announced);
    m_complete = result == LZO_E_OK;
    return m_complete ? m_outputLength : 0;
}
