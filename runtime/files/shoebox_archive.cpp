#include "files/shoebox_archive.h"

#include <cstring>

std::uint32_t ReadLittleEndian32(const unsigned char* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void WriteLittleEndian32(unsigned char* bytes, std::uint32_t value)
{
    bytes[0] = static_cast<unsigned char>(value);
    bytes[1] = static_cast<unsigned char>(value >> 8);
    bytes[2] = static_cast<unsigned char>(value >> 16);
    bytes[3] = static_cast<unsigned char>(value >> 24);
}

ShoeBoxArchive::~ShoeBoxArchive()
{
    Close();
}

void ShoeBoxArchive::Close()
{
    if (m_file != nullptr) std::fclose(m_file);
    m_file = nullptr;
    m_fileSize = 0;
    m_directoryStart = 0;
    m_fromEnd = false;
    m_originSize = 0;
}

bool ShoeBoxArchive::ReadBytes(void* out, std::size_t count)
{
    return std::fread(out, 1, count, m_file) == count;
}

ShoeBoxArchive::OpenResult ShoeBoxArchive::Open(const char* path)
{
    Close();
    m_file = std::fopen(path, "rb");
    if (m_file == nullptr) return OpenResult::CannotOpen;

    if (std::fseek(m_file, 0, SEEK_END) != 0) return OpenResult::CannotOpen;
    m_fileSize = std::ftell(m_file);
    // A folder opens on POSIX but has no size to read from.
    if (m_fileSize < 0) return OpenResult::CannotOpen;
    if (m_fileSize < 4) return OpenResult::NoDirectory;

    unsigned char field[4];
    if (std::fseek(m_file, static_cast<long>(m_fileSize - 4), SEEK_SET) != 0 || !ReadBytes(field, 4))
        return OpenResult::NoDirectory;
    auto directoryOffset = static_cast<std::int32_t>(ReadLittleEndian32(field));
    m_fromEnd = directoryOffset < 0;
    m_originSize = m_fileSize;
    m_directoryStart = m_fromEnd ? m_fileSize + directoryOffset : directoryOffset;
    if (m_directoryStart < 0 || m_directoryStart >= m_fileSize) return OpenResult::NoDirectory;
    if (std::fseek(m_file, static_cast<long>(m_directoryStart), SEEK_SET) != 0)
        return OpenResult::NoDirectory;
    return OpenResult::Opened;
}

bool ShoeBoxArchive::NextEntry(ShoeBoxEntry& entry)
{
    if (m_file == nullptr) return false;
    unsigned char length = 0;
    m_reachedEnd = false;
    if (!ReadBytes(&length, 1)) return false;
    if (length == 0) {
        m_reachedEnd = true;
        return false;
    }
    if (!ReadBytes(entry.name, length)) return false;
    entry.name[length] = 0;
    entry.nameLength = length;
    unsigned char fields[8];
    if (!ReadBytes(fields, sizeof fields)) return false;
    entry.offset = static_cast<std::int32_t>(ReadLittleEndian32(fields));
    entry.packedSize = ReadLittleEndian32(fields + 4);
    return true;
}

ShoeBoxArchive::DirectoryCheck ShoeBoxArchive::CheckDirectory()
{
    DirectoryCheck check;
    if (m_file == nullptr) return check;
    ShoeBoxEntry entry;
    while (NextEntry(entry))
        if (MemberStart(entry) < 0) check.outside.push_back(entry);
    check.ends = m_reachedEnd;
    std::fseek(m_file, static_cast<long>(m_directoryStart), SEEK_SET);
    return check;
}

void ShoeBoxArchive::UseDirectoryAt(long long directoryStart, bool fromEnd, long long originalSize)
{
    m_directoryStart = directoryStart;
    m_fromEnd = fromEnd;
    m_originSize = originalSize;
    if (m_file != nullptr) std::fseek(m_file, static_cast<long>(m_directoryStart), SEEK_SET);
}

long long ShoeBoxArchive::MemberStart(const ShoeBoxEntry& entry) const
{
    long long start = m_fromEnd ? m_originSize + entry.offset : entry.offset;
    if (start < 0 || start > m_fileSize) return -1;
    if (static_cast<long long>(entry.packedSize) > m_fileSize - start) return -1;
    return start;
}

bool ShoeBoxArchive::ReadMember(const ShoeBoxEntry& entry, std::vector<unsigned char>& block)
{
    block.clear();
    if (m_file == nullptr || MemberStart(entry) < 0) return false;
    block.resize(entry.packedSize);
    if (!ReadMemberInto(entry, block.data())) block.clear();
    return block.size() == entry.packedSize;
}

bool ShoeBoxArchive::ReadMemberInto(const ShoeBoxEntry& entry, unsigned char* out)
{
    if (m_file == nullptr) return false;
    long long start = MemberStart(entry);
    if (start < 0) return false;
    long resumeAt = std::ftell(m_file);
    bool complete = std::fseek(m_file, static_cast<long>(start), SEEK_SET) == 0 &&
                    ReadBytes(out, entry.packedSize);
    // The directory walk goes on from where it was.
    std::fseek(m_file, resumeAt, SEEK_SET);
    return complete;
}
