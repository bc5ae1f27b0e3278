// Private temporary files for the media archive: a folder only this user can
// enter, and files created there without following or reusing anything that
// another process could have planted.
#include "platform/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace platform {

bool IsReadableFile(const char* path)
{
    if (path == nullptr || path[0] == 0) return false;
    // Non-blocking, so that a named pipe of that name cannot hang the check;
    // only regular files count (a device like /dev/zero never ends).
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    bool readable = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    close(fd);
    return readable;
}

std::string MakePrivateTempFolder(const char* prefix)
{
    std::string folder = TempFolder();
    if (folder.empty()) {
        errno = ENOENT;
        return std::string();
    }
    std::string pattern = folder + prefix + "XXXXXX";
    // mkdtemp makes the folder with mode 0700 and a name nobody can predict.
    if (mkdtemp(pattern.data()) == nullptr) return std::string();
    return pattern + '/';
}

bool WriteNewFile(const char* path, const void* data, std::size_t size)
{
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const char* bytes = static_cast<const char*>(data);
    std::size_t written = 0;
    while (written < size) {
        ssize_t n = write(fd, bytes + written, size - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += static_cast<std::size_t>(n);
    }
    bool complete = written == size;
    if (close(fd) != 0) complete = false;
    if (!complete) {
        // A short file would be loaded as if it were the whole member.
        int savedError = errno;
        unlink(path);
        errno = savedError;
    }
    return complete;
}

bool AppendToPlainFile(const char* path, const std::string& bytes, std::string* why)
{
    auto fail = [why](const char* reason) {
        if (why != nullptr) *why = reason;
        return false;
    };
    int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        // O_NOFOLLOW reports a link as ELOOP, O_NONBLOCK a pipe without a
        // reader as ENXIO: both are something planted under the name.
        if (errno == ELOOP) return fail("a symbolic link is in its place");
        if (errno == ENXIO) return fail("a pipe is in its place");
        return fail(std::strerror(errno));
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return fail("it is not a plain file");
    }
    std::size_t written = 0;
    const char* reason = nullptr;
    while (reason == nullptr && written < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) reason = n < 0 ? std::strerror(errno) : "nothing could be written";
        else written += static_cast<std::size_t>(n);
    }
    if (close(fd) != 0 && reason == nullptr) reason = std::strerror(errno);
    return reason == nullptr ? true : fail(reason);
}

bool RemovePrivateTempFolder(const char* path)
{
    int folder = open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) return false;
    // Entries are removed relative to the opened folder, so a folder swapped
    // in under the same name meanwhile is never touched.
    if (DIR* listing = fdopendir(dup(folder))) {
        while (dirent* entry = readdir(listing)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            unlinkat(folder, name.c_str(), 0);
        }
        closedir(listing);
    }
    close(folder);
    return rmdir(path) == 0;
}

}  // namespace platform
