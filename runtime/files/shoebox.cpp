#include "files/shoebox.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/error_log.h"
#include "files/shoebox_archive.h"
#include "files/tz_compression.h"
#include "platform/platform.h"

// The media box is defined first so that the data box, defined later, is
// destroyed first at process exit.
TzShoeBox g_ShoeBox_Media;
TzShoeBox g_ShoeBox_Data;

namespace {

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when the entry name equals the last L characters of the request,
// without regard to case: data\Player.BMP asks for player.bmp.
bool EntryMatches(const ShoeBoxEntry& entry, const char* request, std::size_t requestLength)
{
    auto length = static_cast<std::size_t>(entry.nameLength);
    if (length > requestLength) return false;
    const char* tail = request + (requestLength - length);
    for (std::size_t i = 0; i < length; ++i)
        if (AsciiLower(entry.name[i]) != AsciiLower(tail[i])) return false;
    return true;
}

// A stored name as it can be shown in a message: archive bytes are
// untrusted, so control characters become '?'.
std::string Printable(const ShoeBoxEntry& entry)
{
    std::string text(entry.name, static_cast<std::size_t>(entry.nameLength));
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return text;
}

bool CopyPath(char (&target)[KvStr::kBufferSize], const char* path)
{
    std::size_t length = std::strlen(path);
    if (length >= sizeof target) return false;
    std::memcpy(target, path, length + 1);
    return true;
}

}  // namespace

bool ShoeBoxTempFileName(char* out, std::size_t size, std::int32_t offset,
                         std::uint32_t packedSize, const char* entryName)
{
    std::string safeName = entryName;
    for (char& c : safeName)
        if (c == '/' || c == '\\') c = '_';
    char prefix[32];
    int prefixLength = std::snprintf(prefix, sizeof prefix, "~sbx%X%x", static_cast<unsigned>(offset),
                                     static_cast<unsigned>(packedSize));
    // A member name of up to 255 bytes can push the whole name past what the
    // file system takes. Offset and size already tell the members of one
    // archive apart, so the name may lose its start; its end, with the
    // extension the loaders look at, stays.
    std::size_t room = platform::kMaxFileNameBytes - static_cast<std::size_t>(prefixLength);
    if (safeName.size() > room) {
        safeName.erase(0, safeName.size() - (room - 1));
        safeName.insert(safeName.begin(), '~');
    }
    int length = std::snprintf(out, size, "%s%s", prefix, safeName.c_str());
    return length > 0 && static_cast<std::size_t>(length) < size;
}

TzShoeBox::~TzShoeBox()
{
    Clear();
}

void TzShoeBox::DeleteTempFile()
{
    if (tempFile[0] != 0) platform::RemoveFile(tempFile);
    tempFile[0] = 0;
}

void TzShoeBox::Clear()
{
    DeleteTempFile();
    if (m_tempFolder[0] != 0) platform::RemovePrivateTempFolder(m_tempFolder);
    m_tempFolder[0] = 0;
    archivePath[0] = 0;
    m_damagedPath.clear();
    m_damagedStamp = platform::FileStamp{};
    m_recovery = ShoeBoxRecovery{};
    m_directoryUsable = false;
    std::vector<unsigned char>().swap(m_packed);
    m_unpacker.Clear();
}

bool TzShoeBox::SetArchive(const char* path)
{
    if (CopyPath(archivePath, path)) return true;
    archivePath[0] = 0;
    std::fprintf(stderr, "TzShoeBox: archive path too long, no archive: %.80s...\n", path);
    return false;
}

bool TzShoeBox::WriteTempFile(const char* fileName, const unsigned char* data, int size)
{
    if (m_tempFolder[0] == 0) {
        // With no usable temporary folder at all (said once when it was
        // found out), every member is simply not found.
        if (platform::TempFolder().empty()) return false;
        std::string folder = platform::MakePrivateTempFolder();
        if (folder.empty() || !CopyPath(m_tempFolder, folder.c_str())) {
            std::fprintf(stderr, "TzShoeBox: cannot make a private temporary folder: %s\n",
                         folder.empty() ? std::strerror(errno) : "path too long");
            if (!folder.empty()) platform::RemovePrivateTempFolder(folder.c_str());
            return false;
        }
    }
    std::string path = std::string(m_tempFolder) + fileName;
    if (path.size() > static_cast<std::size_t>(KvStr::kMaxStored)) {
        std::fprintf(stderr, "TzShoeBox: temporary path too long for %s\n", fileName);
        return false;
    }
    if (!platform::WriteNewFile(path.c_str(), data, static_cast<std::size_t>(size))) {
        std::fprintf(stderr, "TzShoeBox: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    CopyPath(tempFile, path.c_str());
    return true;
}

bool TzShoeBox::UseWhatIsLeft(ShoeBoxArchive& archive, const ShoeBoxArchive::DirectoryCheck& check)
{
    const platform::FileStamp stamp = platform::StampOf(archive.File());
    if (m_damagedPath != archivePath || !(m_damagedStamp == stamp)) {
        m_damagedPath = archivePath;
        m_damagedStamp = stamp;
        m_recovery = ShoeBoxRecovery{};
        const long long size = archive.FileSize();
        const long long start = ArchiveStartIn(archive.File(), size);
        // A program whose file ends with its image carries no archive: not
        // finding anything in it is no damage.
        m_directoryUsable = check.ends;
        if (start >= size) return m_directoryUsable;
        // The last 4 bytes of a program cut short point anywhere, and
        // what they point at inside the program's own image is no directory.
        m_directoryUsable = check.ends && archive.DirectoryStart() >= start;
        m_recovery = FindCutDirectory(archive.File(), start, size);

        std::string message = std::string("archive ") + archivePath + " is damaged: ";
        if (m_recovery.found && m_recovery.directoryComplete) {
            message += "cut short by " + std::to_string(m_recovery.originalSize - size) +
                       " bytes at the end of its directory; all " + std::to_string(m_recovery.entries) +
                       " members can still be had";
        } else if (m_recovery.found) {
            message += "cut short inside its directory; the " + std::to_string(m_recovery.entries) +
                       " members listed up to \"" + m_recovery.lastEntry +
                       "\" can still be had, the members listed after it cannot";
        } else if (m_directoryUsable) {
            message += "these members lie outside the file and cannot be had:";
            for (const ShoeBoxEntry& entry : check.outside) message += " \"" + Printable(entry) + "\"";
        } else {
            message += "its directory cannot be found (the file is cut short or corrupt); no member can be had";
        }
        std::fprintf(stderr, "TzShoeBox: %s\n", message.c_str());
        AppendErrorLog(("TzShoeBox: " + message).c_str());
    }
    if (m_recovery.found) {
        archive.UseDirectoryAt(m_recovery.directoryStart, m_recovery.fromEnd, m_recovery.originalSize);
        return true;
    }
    // A directory that reads to its end still answers for the members that
    // lie inside the file.
    return m_directoryUsable;
}

bool TzShoeBox::Extract(KvStr& name)
{
    // The previous member's file goes, whatever this call finds.
    DeleteTempFile();

    const char* request = name.GetStrData();
    std::size_t requestLength = std::strlen(request);
    if (requestLength == 0) return false;
    if (platform::IsReadableFile(request)) return true;
    if (archivePath[0] == 0) return false;

    ShoeBoxArchive archive;
    ShoeBoxArchive::OpenResult opened = archive.Open(archivePath);
    if (opened == ShoeBoxArchive::OpenResult::CannotOpen) return false;
    ShoeBoxArchive::DirectoryCheck check;
    if (opened == ShoeBoxArchive::OpenResult::Opened) check = archive.CheckDirectory();
    if (!check.Sound() && !UseWhatIsLeft(archive, check)) {
        name = "";
        return false;
    }

    ShoeBoxEntry entry;
    bool matched = false;
    while (archive.NextEntry(entry)) {
        if (EntryMatches(entry, request, requestLength)) {
            matched = true;
            break;
        }
    }
    if (!matched) {
        name = "";
        return false;
    }

    // Grown only, never cleared: the read fills what the member needs.
    bool read = archive.MemberStart(entry) >= 0;
    if (read && m_packed.size() < entry.packedSize) m_packed.resize(entry.packedSize);
    read = read && archive.ReadMemberInto(entry, m_packed.data());
    archive.Close();
    m_unpacker.SetMode(TzCompression::kModeLzo);
    m_unpacker.SetKeepBuffer(true);
    if (!read || (m_unpacker.UnPack(m_packed.data(), entry.packedSize), !m_unpacker.Complete())) {
        // A damaged member is not the file the program asked for.
        std::fprintf(stderr, "TzShoeBox: member %s of %s is damaged, not used\n",
                     Printable(entry).c_str(), archivePath);
        name = "";
        return false;
    }

    char fileName[KvStr::kBufferSize];
    if (!ShoeBoxTempFileName(fileName, sizeof fileName, entry.offset, entry.packedSize, entry.name) ||
        !WriteTempFile(fileName, m_unpacker.Output(), m_unpacker.OutputLength())) {
        name = "";
        return false;
    }
    name = tempFile;
    return true;
}

double SETSHOEBOX(KvStr dataArchive, KvStr mediaArchive)
{
    // Stdout belongs to the program; the boxes are announced only on request.
    const bool announce = platform::VerboseRuntime();
    g_ShoeBox_Data.Clear();
    if (announce) std::printf("Setting box:%s\n", dataArchive.GetStrData());
    g_ShoeBox_Data.SetArchive(dataArchive.GetStrData());
    g_ShoeBox_Media.Clear();
    if (announce) std::printf("Setting box:%s\n", mediaArchive.GetStrData());
    g_ShoeBox_Media.SetArchive(mediaArchive.GetStrData());
    return 0;
}
