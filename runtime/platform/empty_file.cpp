// Making a new, empty file for CREATEFILE: only where nothing has the name
// yet, so that an existing file (or whatever a link points at) is never
// emptied or replaced.
#include "platform/platform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

bool CreateEmptyFile(const char* path, std::string* why)
{
    if (path == nullptr || path[0] == 0) {
        *why = "no file name given";
        return false;
    }
    // O_EXCL: a name that is taken, also by a link to nothing, is left alone.
    const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
        if (close(fd) != 0) {
            *why = std::string("cannot create ") + path + ": " + std::strerror(errno);
            return false;
        }
        return true;
    }
    const int reason = errno;
    if (reason == EEXIST) {
        struct stat info {};
        if (stat(path, &info) == 0 && S_ISREG(info.st_mode)) return true;
        *why = std::string(path) + " exists and is not a plain file";
        return false;
    }
    *why = std::string("cannot create ") + path + ": " + std::strerror(reason);
    return false;
}

}  // namespace platform
