// Rewriting a line file: through a temporary file renamed over the original
// in the ordinary case, in place where a rename would break a hard link or
// lose the owner, and never for a file that is not open for writing.
#include "platform/platform.h"
#include "platform/rewrite_journal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace platform {

namespace {

std::string ErrnoText(const char* what, const std::string& path)
{
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

// Closes a descriptor on every way out of a scope.
struct Descriptor {
    explicit Descriptor(int value) : fd(value) {}
    ~Descriptor()
    {
        if (fd >= 0) close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd;
};

// What tells one version of a file from another: device, inode, size and
// modification time.
FileStamp StampOfInfo(const struct stat& info)
{
    FileStamp stamp;
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.inode = static_cast<std::uint64_t>(info.st_ino);
    stamp.size = static_cast<std::uint64_t>(info.st_size);
    stamp.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.valid = true;
    return stamp;
}

FileStamp StampOfDescriptor(int fd)
{
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0) return FileStamp{};
    return StampOfInfo(info);
}

// Writes all of bytes to fd: at its current position when at is negative,
// else at that offset.
bool WriteAll(int fd, const char* bytes, std::size_t size, std::int64_t at = -1)
{
    std::size_t done = 0;
    while (done < size) {
        ssize_t written = at < 0 ? write(fd, bytes + done, size - done)
                                 : pwrite(fd, bytes + done, size - done, static_cast<off_t>(at + static_cast<std::int64_t>(done)));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Copies length bytes of from, starting at offset, to to: at its current
// position when at is negative, else at that offset.
bool CopyRange(int from, std::uint64_t offset, std::uint64_t length, int to, std::int64_t at = -1)
{
    char buffer[65536];
    while (length > 0) {
        std::size_t want = length < sizeof buffer ? static_cast<std::size_t>(length) : sizeof buffer;
        ssize_t got = pread(from, buffer, want, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            if (got == 0) errno = EIO;  // the original ended early
            return false;
        }
        if (!WriteAll(to, buffer, static_cast<std::size_t>(got), at)) return false;
        if (at >= 0) at += got;
        offset += static_cast<std::uint64_t>(got);
        length -= static_cast<std::uint64_t>(got);
    }
    return true;
}

// The file a path finally names: a symbolic link is replaced by its target,
// so that rewriting keeps the link.
std::string FinalTarget(const char* path)
{
    struct stat info {};
    if (lstat(path, &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path, resolved) != nullptr) return resolved;
    }
    return path;
}

std::string FolderOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// True for ".~<name>.XXXXXX" with six characters of mkstemp's alphabet.
bool IsTemporaryOf(const std::string& entry, const std::string& name)
{
    const std::string prefix = ".~" + name + ".";
    if (entry.size() != prefix.size() + 6 || entry.compare(0, prefix.size(), prefix) != 0) return false;
    for (std::size_t i = prefix.size(); i < entry.size(); ++i) {
        char c = entry[i];
        bool alphanumeric = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alphanumeric) return false;
    }
    return true;
}

// A run killed during a rewrite leaves its temporary file beside the
// original. Such plain files of this one name go; nothing else is touched.
void RemoveLeftoverTemporaries(const std::string& folder, const std::string& name)
{
    int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) return;
    Descriptor keep(folderFd);
    DIR* listing = fdopendir(dup(folderFd));
    if (listing == nullptr) return;
    while (dirent* entry = readdir(listing)) {
        if (!IsTemporaryOf(entry->d_name, name)) continue;
        struct stat info {};
        if (fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode))
            unlinkat(folderFd, entry->d_name, 0);
    }
    closedir(listing);
}

// Gives the staged file the original's owner, group and permissions; false
// when owner or group cannot be had (a rename would then change them).
bool TakeOwnershipOf(int staged, const struct stat& original)
{
    if (fchown(staged, original.st_uid, original.st_gid) != 0) {
        struct stat now {};
        if (fstat(staged, &now) != 0 || now.st_uid != original.st_uid || now.st_gid != original.st_gid)
            return false;
    }
    // After fchown, which may clear set-id bits; mkstemp made 0600.
    return fchmod(staged, original.st_mode & 07777) == 0;
}

// Makes sure every byte of the first newSize bytes of target has its disk
// space before any of the old content is overwritten: the file is grown to
// its new size (the old bytes stay as they are) and holes are filled. On
// failure the file is as it was.
bool ReserveSpace(int staged, int target, std::uint64_t oldSize, std::uint64_t newSize)
{
    if (fallocate(target, 0, 0, static_cast<off_t>(newSize)) == 0) return true;
    int reason = errno;
    if (reason == EOPNOTSUPP || reason == ENOSYS) {
        // A file system without reservations: the part beyond the old end is
        // written first, where it overwrites nothing.
        if (newSize <= oldSize ||
            CopyRange(staged, oldSize, newSize - oldSize, target, static_cast<std::int64_t>(oldSize)))
            return true;
        reason = errno;
    }
    // Whatever a failed attempt added past the old end goes again.
    struct stat now {};
    if (fstat(target, &now) == 0 && static_cast<std::uint64_t>(now.st_size) != oldSize)
        (void)!ftruncate(target, static_cast<off_t>(oldSize));
    errno = reason;
    return false;
}

// Overwrites the file open as target with everything in staged, in place.
// The old content is never cut before the new content has been written:
// the space is reserved first, then the bytes are overwritten, and only then
// is a longer old file shortened. Returns false with *damaged false when the
// old content is untouched, with *damaged true when a write failed part-way
// through the overwrite (the staged file then still holds the new content).
bool CopyInPlace(int staged, int target, bool* damaged)
{
    *damaged = false;
    struct stat stagedInfo {};
    struct stat targetInfo {};
    if (fstat(staged, &stagedInfo) != 0 || fstat(target, &targetInfo) != 0) return false;
    const auto newSize = static_cast<std::uint64_t>(stagedInfo.st_size);
    const auto oldSize = static_cast<std::uint64_t>(targetInfo.st_size);
    if (!ReserveSpace(staged, target, oldSize, newSize)) return false;
    // The grown file must really own its space before the old bytes go.
    if (newSize > oldSize && fdatasync(target) != 0) {
        int reason = errno;
        (void)!ftruncate(target, static_cast<off_t>(oldSize));
        errno = reason;
        return false;
    }
    *damaged = true;
    if (!CopyRange(staged, 0, newSize, target, 0)) return false;
    if (newSize < oldSize && ftruncate(target, static_cast<off_t>(newSize)) != 0) return false;
    // Only a file that is whole on disk lets the staged copy go.
    if (fdatasync(target) != 0 && errno != EINVAL) return false;
    *damaged = false;
    return true;
}

}  // namespace

FileStamp StampOf(std::FILE* file)
{
    return file == nullptr ? FileStamp{} : StampOfDescriptor(fileno(file));
}

FileStamp StampOf(const char* path)
{
    struct stat info {};
    if (path == nullptr || stat(path, &info) != 0) return FileStamp{};
    return StampOfInfo(info);
}

bool RewriteFile(const char* path, const std::vector<FilePiece>& pieces,
                 const FileStamp& original, std::string* why)
{
    const std::string target = FinalTarget(path);

    // The file itself must take writes, as an append from the shell would;
    // that a new file could be put in its place does not count.
    Descriptor output(open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    if (output.fd < 0) {
        *why = ErrnoText("cannot open for writing", target);
        return false;
    }
    struct stat info {};
    if (fstat(output.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *why = target + " is not a plain file";
        return false;
    }

    bool needsOriginal = false;
    for (const FilePiece& piece : pieces) needsOriginal = needsOriginal || piece.originalLength > 0;
    Descriptor input(needsOriginal ? open(target.c_str(), O_RDONLY | O_CLOEXEC) : -1);
    if (needsOriginal && (input.fd < 0 || !(StampOfDescriptor(input.fd) == original))) {
        *why = target + " was changed on disk after it was read";
        return false;
    }

    const std::string folder = FolderOf(target);
    std::size_t nameStart = target.rfind('/');
    const std::string name = nameStart == std::string::npos ? target : target.substr(nameStart + 1);
    RemoveLeftoverTemporaries(folder, name);

    // Stage the new content beside the file; where the folder takes no new
    // file (or the name would be too long), in the temporary folder, from
    // where it is copied in place.
    std::string staging = folder + "/.~" + name + ".XXXXXX";
    int stagedFd = name.size() + 9 <= kMaxFileNameBytes ? mkstemp(staging.data()) : -1;
    const bool besideTarget = stagedFd >= 0;
    if (!besideTarget) {
        const std::string temporaryFolder = TempFolder();
        staging = temporaryFolder + "kvlinefile-XXXXXX";
        stagedFd = temporaryFolder.empty() ? -1 : mkstemp(staging.data());
        if (stagedFd < 0) {
            *why = ErrnoText("cannot create a temporary file for", target);
            return false;
        }
    }
    Descriptor staged(stagedFd);

    bool ok = true;
    for (const FilePiece& piece : pieces) {
        ok = piece.originalLength > 0
                 ? CopyRange(input.fd, piece.originalOffset, piece.originalLength, staged.fd)
                 : WriteAll(staged.fd, piece.bytes.data(), piece.bytes.size());
        if (!ok) {
            *why = ErrnoText("cannot write", staging);
            break;
        }
    }

    // No fsync: the rename already keeps a crashed program from leaving a
    // half-written file, and a flush per write-back would stall a program
    // that alternates between two line files.
    bool renamed = false;
    if (ok && besideTarget && info.st_nlink == 1 && TakeOwnershipOf(staged.fd, info)) {
        if (std::rename(staging.c_str(), target.c_str()) == 0)
            renamed = true;
        else if (errno != EACCES && errno != EPERM && errno != EBUSY) {
            *why = ErrnoText("cannot rename over", target);
            ok = false;
        }
    }
    const bool inPlace = ok && !renamed;
    // Until the file is whole again, a whole copy of the new content stays
    // on disk under a name no clean-up takes, and a note says where.
    RewriteJournal journal;
    if (inPlace && !journal.Keep(staged.fd, &staging, besideTarget, target, why)) ok = false;
    bool damaged = false;
    if (inPlace && ok && !CopyInPlace(staged.fd, output.fd, &damaged)) {
        *why = ErrnoText("cannot write", target);
        ok = false;
    }
    // Closing the file written in place can report a late write error;
    // after a rename the descriptor holds the replaced file, which took no
    // writes. The descriptor is closed whatever happened before.
    const bool closed = close(output.fd) == 0;
    output.fd = -1;
    if (inPlace && ok && !closed) {
        *why = ErrnoText("cannot close", target);
        ok = false;
        damaged = true;
    }
    if (inPlace && damaged) {
        // The file is neither old nor new: the kept copy stays, and the
        // reason says where it is.
        *why += "; " + target + " may be damaged, the new content is kept in " + staging;
    } else if (!renamed) {
        unlink(staging.c_str());
    }
    // The copy is gone or said: the note goes after it.
    journal.End();
    return ok;
}

}  // namespace platform
