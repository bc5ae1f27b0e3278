// ShoeBoxWriter: builds a packed media archive from named members.
//
// Each member is packed into one block (4-byte unpacked length, then the
// LZO1X-1 stream). The archive is either standalone, with offsets from the
// start of the file, or appended to existing bytes (a program), with offsets
// counted back from the end so it works whatever precedes it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Packs bytes into one block: the unpacked length, then LZO1X-1.
std::vector<unsigned char> PackBlock(const unsigned char* data, std::size_t size);

class ShoeBoxWriter {
public:
    // Adds a member. False (with why()) for an empty name, one over 255
    // bytes, a name already used (without regard to case) or a member
    // over 2 GiB.
    bool Add(const std::string& name, const std::vector<unsigned char>& bytes);

    // Appends the archive to file, which already holds prefixSize bytes
    // (0 for a standalone archive). With offsetsFromEnd false, offsets count
    // from the start of the file. False when a write fails or the archive is
    // too large for 32-bit offsets.
    bool WriteTo(std::FILE* file, long long prefixSize, bool offsetsFromEnd);

    const std::string& why() const { return m_why; }
    std::size_t MemberCount() const { return m_members.size(); }

private:
    struct Member {
        std::string name;
        std::vector<unsigned char> block;
    };
    std::vector<Member> m_members;
    std::string m_why;
};
