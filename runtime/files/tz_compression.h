// TzCompression: turns a packed block back into the bytes it was made from.
//
// A packed block (one archive member) is, little-endian:
//   4 bytes   unpacked length N (unsigned)
//   the rest  an LZO1X-1 stream that decodes to N bytes
// The result stays in the object until the next Clear, UnPack or its end.
#pragma once

#include <cstddef>
#include <cstdint>

class TzCompression {
public:
    static constexpr int kModeLzo = 1;
    static constexpr std::size_t kHeaderSize = 4;

    TzCompression();
    ~TzCompression();
    TzCompression(const TzCompression&) = delete;
    TzCompression& operator=(const TzCompression&) = delete;

    // Frees the output and initialises the LZO library.
    void Clear();
    // Keeps the output memory for the next UnPack instead of freeing it, so
    // an unpacker used member after member writes into pages it already
    // has. Clear still frees it.
    void SetKeepBuffer(bool keep) { m_keepBuffer = keep; }
    // Callers choose LZO mode (kModeLzo) after Clear and before UnPack.
    void SetMode(int mode) { m_mode = mode; }
    int Mode() const { return m_mode; }

    // Unpacks one block. Returns the output length when the whole stream
    // decoded, 0 otherwise; after a failure Output() holds what was decoded
    // before the error. A header that announces more than the stream could
    // ever produce is a failure without any allocation.
    int UnPack(const unsigned char* block, std::size_t blockSize);
    // True when the last UnPack decoded its whole stream (an empty member
    // unpacks to length 0 and still counts as complete).
    bool Complete() const { return m_complete; }

    const unsigned char* Output() const { return m_output; }
    int OutputLength() const { return m_outputLength; }

    // The most bytes an LZO1X stream of streamSize bytes can decode to: a
    // long match costs one byte for every 255 bytes it copies.
    static std::uint64_t MaxUnpackedSize(std::size_t streamSize);

private:
    unsigned char* m_output = nullptr;
    std::size_t m_capacity = 0;  // bytes at m_output
    bool m_keepBuffer = false;
    int m_outputLength = 0;
    int m_mode = 0;
    bool m_complete = false;
};
