// Readability checks and whole-file replacement for the line-file cache.
#include "platform/platform.h"

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

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
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

// Last resort when the folder takes no new file: truncate and rewrite.
bool OverwriteInPlace(const std::string& target, const std::string& bytes, std::string* why)
{
    int fd = open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        *why = ErrnoText("cannot open", target);
        return false;
    }
    bool ok = WriteAll(fd, bytes);
    if (!ok) *why = ErrnoText("cannot write", target);
    if (close(fd) != 0 && ok) {
        *why = ErrnoText("cannot close", target);
        ok = false;
    }
    return ok;
}

}  // namespace

bool ReplaceFileContents(const char* path, const std::string& bytes, std::string* why)
{
    const std::string target = FinalTarget(path);
    const std::string folder = FolderOf(target);
    std::size_t nameStart = target.rfind('/');
    std::string name = nameStart == std::string::npos ? target : target.substr(nameStart + 1);
    std::string temporary = folder + "/.~" + name + ".XXXXXX";

    int fd = mkstemp(temporary.data());
    if (fd < 0) {
        if (errno == EACCES || errno == EROFS || errno == EPERM || errno == ENAMETOOLONG)
            return OverwriteInPlace(target, bytes, why);
        *why = ErrnoText("cannot create a temporary file for", target);
        return false;
    }
    // The new file takes the original's permissions (mkstemp makes 0600).
    struct stat original {};
    mode_t mode = stat(target.c_str(), &original) == 0 ? (original.st_mode & 07777) : 0644;
    fchmod(fd, mode);

    // No fsync: the rename already keeps a crashed program from leaving a
    // half-written file, and a flush per write-back would stall a program
    // that alternates between two line files.
    bool ok = WriteAll(fd, bytes);
    if (!ok) *why = ErrnoText("cannot write", temporary);
    if (close(fd) != 0 && ok) {
        *why = ErrnoText("cannot close", temporary);
        ok = false;
    }
    if (ok && std::rename(temporary.c_str(), target.c_str()) != 0) {
        *why = ErrnoText("cannot rename over", target);
        ok = false;
    }
    if (!ok) unlink(temporary.c_str());
    return ok;
}

}  // namespace platform
