#include "archive_writer.h"

#include <lzo/lzo1x.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "files/shoebox_archive.h"

std::vector<unsigned char> PackBlock(const unsigned char* data, std::size_t size)
{
    static bool initialised = lzo_init() == LZO_E_OK;
    (void)initialised;
    // Worst case of LZO1X-1 on incompressible input, plus the header.
    std::vector<unsigned char> block(4 + size + size / 16 + 64 + 3);
    WriteLittleEndian32(block.data(), static_cast<std::uint32_t>(size));
    std::vector<unsigned char> workMemory(LZO1X_1_MEM_COMPRESS);
    lzo_uint packedSize = 0;
    lzo1x_1_compress(data, static_cast<lzo_uint>(size), block.data() + 4, &packedSize,
                     workMemory.data());
    block.resize(4 + packedSize);
    return block;
}

namespace {

bool SameNameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool WriteAll(std::FILE* file, const void* data, std::size_t size)
{
    return size == 0 || std::fwrite(data, 1, size, file) == size;
}

}  // namespace

bool ShoeBoxWriter::Add(const std::string& name, const std::vector<unsigned char>& bytes)
{
    if (name.empty() || name.size() > 255) {
        m_why = "member name must be 1 to 255 bytes: " + name;
        return false;
    }
    for (const Member& member : m_members) {
        if (SameNameIgnoringCase(member.name, name)) {
            m_why = "two members named " + name;
            return false;
        }
    }
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        m_why = "member larger than 2 GiB: " + name;
        return false;
    }
    m_members.push_back({name, PackBlock(bytes.data(), bytes.size())});
    return true;
}

bool ShoeBoxWriter::WriteTo(std::FILE* file, long long prefixSize, bool offsetsFromEnd)
{
    // The directory lists longer names first: lookups compare an entry with
    // the tail of the requested name, so at.bmp listed before cat.bmp would
    // answer a request for cat.bmp.
    std::vector<const Member*> directory;
    for (const Member& member : m_members) directory.push_back(&member);
    std::stable_sort(directory.begin(), directory.end(), [](const Member* a, const Member* b) {
        return a->name.size() > b->name.size();
    });

    long long archiveSize = 0;
    for (const Member& member : m_members) archiveSize += static_cast<long long>(member.block.size());
    long long directorySize = 1;
    for (const Member& member : m_members) directorySize += 1 + static_cast<long long>(member.name.size()) + 8;
    archiveSize += directorySize + 4;

    long long totalSize = prefixSize + archiveSize;
    long long limit = offsetsFromEnd ? archiveSize : totalSize;
    if (limit > INT_MAX) {
        m_why = "archive too large for 32-bit offsets";
        return false;
    }
    auto offsetOf = [&](long long position) {
        return static_cast<std::int32_t>(offsetsFromEnd ? position - totalSize : position);
    };

    std::vector<long long> starts;
    long long position = prefixSize;
    for (const Member& member : m_members) {
        starts.push_back(position);
        if (!WriteAll(file, member.block.data(), member.block.size())) {
            m_why = "write failed";
            return false;
        }
        position += static_cast<long long>(member.block.size());
    }
    long long directoryStart = position;

    std::vector<unsigned char> bytes;
    for (const Member* member : directory) {
        bytes.push_back(static_cast<unsigned char>(member->name.size()));
        bytes.insert(bytes.end(), member->name.begin(), member->name.end());
        unsigned char fields[8];
        WriteLittleEndian32(fields, static_cast<std::uint32_t>(offsetOf(starts[member - m_members.data()])));
        WriteLittleEndian32(fields + 4, static_cast<std::uint32_t>(member->block.size()));
        bytes.insert(bytes.end(), fields, fields + 8);
    }
    bytes.push_back(0);
    unsigned char tail[4];
    WriteLittleEndian32(tail, static_cast<std::uint32_t>(offsetOf(directoryStart)));
    bytes.insert(bytes.end(), tail, tail + 4);
    if (!WriteAll(file, bytes.data(), bytes.size()) || std::fflush(file) != 0) {
        m_why = "write failed";
        return false;
    }
    return true;
}
