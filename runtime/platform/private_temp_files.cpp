// Private temporary files for the media archive: a folder only this user can
// enter, and files created there without following or reusing anything that
// another process could have planted.
#include "platform/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

std::string MakePrivateTempFolder()
{
    std::string folder = TempFolder();
    if (folder.empty()) {
        errno = ENOENT;
        return std::string();
    }
    std::string pattern = folder + "kvshoebox-XXXXXX";
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

bool AppendToPlainFile(const char* path, const std::string& bytes)
{
    int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    struct stat info {};
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    std::size_t written = 0;
    while (ok && written < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ok = false;
        else written += static_cast<std::size_t>(n);
    }
    if (close(fd) != 0) ok = false;
    return ok;
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
