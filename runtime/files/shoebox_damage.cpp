#include "files/shoebox_damage.h"

#include <algorithm>
#include <vector>

#include "files/shoebox_archive.h"

namespace {

constexpr long long kSearchWindow = 1 << 20;
constexpr std::size_t kMaxEntries = 65536;
// The longest directory the entries that are lost could have had.
constexpr long long kMaxDirectoryBytes = static_cast<long long>(kMaxEntries) * (1 + 255 + 8) + 5;
// A packed block: the 4-byte length, then an LZO1X stream, which always
// ends with this end-of-stream instruction.
constexpr unsigned char kStreamEnd[3] = {0x11, 0x00, 0x00};
constexpr std::uint32_t kSmallestBlock = 4 + sizeof kStreamEnd;

bool ReadAt(std::FILE* file, long long at, void* out, std::size_t count)
{
    return std::fseek(file, static_cast<long>(at), SEEK_SET) == 0 && std::fread(out, 1, count, file) == count;
}

std::uint64_t Field(const unsigned char* bytes, int size)
{
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

// The end of the furthest of count tables entries of entrySize bytes at
// offset, each naming a piece of the file by the (start, size) fields at
// startField and sizeField; typeField >= 0 skips pieces of type 8 (section
// contents that take no room in the file).
long long FurthestPiece(std::FILE* file, long long fileSize, std::uint64_t offset, std::uint64_t count,
                        std::uint64_t entrySize, int startField, int sizeField, int fieldSize, int typeField)
{
    long long furthest = 0;
    const std::uint64_t needed = static_cast<std::uint64_t>(std::max(startField, sizeField) + fieldSize);
    if (entrySize < needed || entrySize > 256 || offset >= static_cast<std::uint64_t>(fileSize)) return 0;
    std::vector<unsigned char> entry(entrySize);
    for (std::uint64_t i = 0; i < count; ++i) {
        if (!ReadAt(file, static_cast<long long>(offset + i * entrySize), entry.data(), entrySize)) break;
        if (typeField >= 0 && Field(entry.data() + typeField, 4) == 8) continue;
        std::uint64_t end = Field(entry.data() + startField, fieldSize) + Field(entry.data() + sizeField, fieldSize);
        if (end <= static_cast<std::uint64_t>(fileSize)) furthest = std::max(furthest, static_cast<long long>(end));
    }
    return furthest;
}

struct Entry {
    std::int32_t offset;
    std::uint32_t size;
};

// Whether the members of entries, with the original end at originalSize
// (offsets from the end) or offsets from the start, lie without overlapping
// between archiveStart and directoryStart, each ending as a block ends. With
// whole, they must follow one another without gaps up to the directory
// (what precedes the first is not known for a file that is no program).
bool MembersFit(std::FILE* file, const std::vector<Entry>& entries, bool fromEnd, long long originalSize,
                long long archiveStart, long long directoryStart, bool whole)
{
    std::vector<std::pair<long long, long long>> spans;
    for (const Entry& entry : entries) {
        long long start = fromEnd ? originalSize + entry.offset : entry.offset;
        long long end = start + entry.size;
        if (start < archiveStart || end > directoryStart) return false;
        spans.emplace_back(start, end);
    }
    std::sort(spans.begin(), spans.end());
    long long covered = whole ? spans.front().first : archiveStart;
    for (const auto& [start, end] : spans) {
        if (start < covered || (whole && start != covered)) return false;
        covered = end;
    }
    if (whole && covered != directoryStart) return false;
    for (const auto& span : spans) {
        unsigned char last[sizeof kStreamEnd];
        if (!ReadAt(file, span.second - static_cast<long long>(sizeof last), last, sizeof last) ||
            !std::equal(last, last + sizeof last, kStreamEnd))
            return false;
    }
    return true;
}

}  // namespace

long long ArchiveStartIn(std::FILE* file, long long fileSize)
{
    unsigned char header[64] = {};
    if (fileSize < 52 || !ReadAt(file, 0, header, fileSize >= 64 ? 64 : 52)) return 0;
    if (header[0] != 0x7F || header[1] != 'E' || header[2] != 'L' || header[3] != 'F' || header[5] != 1)
        return 0;
    const bool wide = header[4] == 2;
    if (!wide && header[4] != 1) return 0;
    const int word = wide ? 8 : 4;
    const std::uint64_t programTable = Field(header + (wide ? 32 : 28), word);
    const std::uint64_t sectionTable = Field(header + (wide ? 40 : 32), word);
    const std::uint64_t programEntry = Field(header + (wide ? 54 : 42), 2);
    const std::uint64_t programCount = Field(header + (wide ? 56 : 44), 2);
    const std::uint64_t sectionEntry = Field(header + (wide ? 58 : 46), 2);
    const std::uint64_t sectionCount = Field(header + (wide ? 60 : 48), 2);

    long long end = wide ? 64 : 52;
    auto reach = [&](std::uint64_t tableEnd) {
        if (tableEnd <= static_cast<std::uint64_t>(fileSize)) end = std::max(end, static_cast<long long>(tableEnd));
    };
    reach(programTable + programCount * programEntry);
    reach(sectionTable + sectionCount * sectionEntry);
    end = std::max(end, FurthestPiece(file, fileSize, programTable, programCount, programEntry,
                                      wide ? 8 : 4, wide ? 32 : 16, word, -1));
    end = std::max(end, FurthestPiece(file, fileSize, sectionTable, sectionCount, sectionEntry,
                                      wide ? 24 : 16, wide ? 32 : 20, word, 4));
    return end;
}

ShoeBoxRecovery FindCutDirectory(std::FILE* file, long long archiveStart, long long fileSize)
{
    ShoeBoxRecovery result;
    const long long windowStart = std::max(archiveStart, fileSize - kSearchWindow);
    if (windowStart >= fileSize) return result;
    std::vector<unsigned char> bytes(static_cast<std::size_t>(fileSize - windowStart));
    if (!ReadAt(file, windowStart, bytes.data(), bytes.size())) return result;
    const std::size_t count = bytes.size();

    // The lowest place where entries run to the cut and their members fit
    // is the directory: any later one would be its tail.
    for (std::size_t first = 0; first < count; ++first) {
        const long long directoryStart = windowStart + static_cast<long long>(first);
        std::vector<Entry> entries;
        std::size_t at = first;
        bool complete = false, shaped = false;
        long long originalSize = 0;
        std::string lastName;
        while (entries.size() <= kMaxEntries) {
            if (at >= count) {
                shaped = !entries.empty();
                break;
            }
            const std::size_t length = bytes[at];
            if (length == 0) {
                // The end of the directory, then at most 3 of the 4 bytes of
                // its offset: the cut took the rest.
                const std::size_t left = count - (at + 1);
                complete = shaped = left < 4 && !entries.empty();
                originalSize = fileSize + static_cast<long long>(4 - left);
                break;
            }
            if (at + 1 + length + 8 > count) {
                shaped = !entries.empty();
                break;
            }
            Entry entry{static_cast<std::int32_t>(ReadLittleEndian32(&bytes[at + 1 + length])),
                        ReadLittleEndian32(&bytes[at + 1 + length + 4])};
            // Members lie between the start of the archive and the directory;
            // offsets of one archive all count from the same end.
            const bool fromEnd = entry.offset < 0;
            const bool fits =
                entry.size >= kSmallestBlock && entry.size <= directoryStart - archiveStart &&
                (entries.empty() || fromEnd == (entries.front().offset < 0)) &&
                (fromEnd ? entry.offset + static_cast<long long>(entry.size) <= directoryStart - fileSize - 1 &&
                               entry.offset >= archiveStart - fileSize - kMaxDirectoryBytes
                         : entry.offset >= archiveStart &&
                               entry.offset + static_cast<long long>(entry.size) <= directoryStart);
            if (!fits) break;
            entries.push_back(entry);
            lastName.assign(reinterpret_cast<const char*>(&bytes[at + 1]), length);
            at += 1 + length + 8;
        }
        if (!shaped) continue;

        const bool fromEnd = entries.front().offset < 0;
        std::vector<long long> origins;
        if (!fromEnd) {
            origins.push_back(0);
        } else if (complete) {
            origins.push_back(originalSize);
        } else {
            // The first member written starts the archive, the last one ends
            // where the directory starts; unless one of them is still listed,
            // the place of the others is not known.
            long long lowest = entries.front().offset, highestEnd = entries.front().offset;
            for (const Entry& entry : entries) {
                lowest = std::min<long long>(lowest, entry.offset);
                highestEnd = std::max<long long>(highestEnd, entry.offset + static_cast<long long>(entry.size));
            }
            origins.push_back(archiveStart - lowest);
            if (directoryStart - highestEnd != origins.front()) origins.push_back(directoryStart - highestEnd);
        }
        // The first placement that fits wins: members are written from the
        // start of the archive on, so one that puts the lowest member listed
        // there is the likelier.
        std::vector<long long> fitting;
        for (long long origin : origins) {
            if (fromEnd && origin < fileSize + (complete ? 1 : 5)) continue;
            if (MembersFit(file, entries, fromEnd, origin, archiveStart, directoryStart, complete)) {
                fitting.push_back(origin);
                break;
            }
        }
        if (fitting.empty()) continue;
        for (char& c : lastName)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
        result.found = true;
        result.directoryStart = directoryStart;
        result.fromEnd = fromEnd;
        result.originalSize = fromEnd ? fitting.front() : originalSize;
        result.directoryComplete = complete;
        result.entries = static_cast<int>(entries.size());
        result.lastEntry = lastName;
        return result;
    }
    return result;
}
