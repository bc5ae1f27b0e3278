// ShoeBoxArchive: reads a packed media archive, entry by entry.
//
// Layout (all integers little-endian):
//   last 4 bytes  directory offset D (signed 32-bit). D >= 0 counts from the
//                 start of the file; D < 0 counts back from its end, and then
//                 member offsets do too, so an archive appended to a program
//                 works whatever precedes it.
//   at D          the directory: entries, ended by a name length of 0
//   anywhere      the members, one packed block each (see TzCompression)
// Directory entry: name length L (1 byte, 1..255), L name bytes (no
// terminator), member offset O (signed 32-bit), packed size S (32-bit).
//
// Every number read from the file is checked against the file's size before
// it is used; nothing is cached between opens.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

struct ShoeBoxEntry {
    char name[256];          // the stored name, NUL-terminated here
    int nameLength = 0;      // L; the name may itself contain NUL bytes
    std::int32_t offset = 0; // O, from the origin the directory offset chose
    std::uint32_t packedSize = 0;  // S
};

class ShoeBoxArchive {
public:
    enum class OpenResult {
        Opened,
        CannotOpen,       // no such file, or not readable
        NoDirectory,      // shorter than 4 bytes, or D points outside the file
    };

    ShoeBoxArchive() = default;
    ~ShoeBoxArchive();
    ShoeBoxArchive(const ShoeBoxArchive&) = delete;
    ShoeBoxArchive& operator=(const ShoeBoxArchive&) = delete;

    // Opens the archive and positions at the first directory entry.
    OpenResult Open(const char* path);
    void Close();

    // Reads the next directory entry. False at the end of the directory, and
    // when an entry runs past the end of the file.
    bool NextEntry(ShoeBoxEntry& entry);

    // Reads the packed block of an entry. False when it lies outside the file
    // or cannot be read whole. The directory walk goes on where it was.
    bool ReadMember(const ShoeBoxEntry& entry, std::vector<unsigned char>& block);
    // The same into out, which has room for entry.packedSize bytes: a
    // buffer kept from one member to the next is neither cleared nor
    // reallocated.
    bool ReadMemberInto(const ShoeBoxEntry& entry, unsigned char* out);

    // Walks the whole directory: whether its entries end with a name length
    // of 0 inside the file, and the entries whose members lie outside the
    // file. The next NextEntry reads the first entry again.
    struct DirectoryCheck {
        bool ends = false;
        std::vector<ShoeBoxEntry> outside;
        bool Sound() const { return ends && outside.empty(); }
    };
    DirectoryCheck CheckDirectory();
    // Reads the directory at directoryStart instead of where the last 4
    // bytes point, with offsets from the end counted from originalSize (the
    // size of a file before it was cut short).
    void UseDirectoryAt(long long directoryStart, bool fromEnd, long long originalSize);
    std::FILE* File() const { return m_file; }

    // Where a member starts in the file, or -1 when O and S put it outside.
    long long MemberStart(const ShoeBoxEntry& entry) const;

    long long FileSize() const { return m_fileSize; }
    bool OffsetsFromEnd() const { return m_fromEnd; }
    long long DirectoryStart() const { return m_directoryStart; }

private:
    bool ReadBytes(void* out, std::size_t count);

    std::FILE* m_file = nullptr;
    long long m_fileSize = 0;
    long long m_directoryStart = 0;
    bool m_fromEnd = false;
    long long m_originSize = 0;  // where offsets from the end count from
    bool m_reachedEnd = false;   // the last NextEntry read the closing 0
};

// Little-endian 32-bit fields of the archive and block formats.
std::uint32_t ReadLittleEndian32(const unsigned char* bytes);
void WriteLittleEndian32(unsigned char* bytes, std::uint32_t value);
