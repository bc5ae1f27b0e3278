// Temporary folder, program path, working directory, file removal.
#include "platform/platform.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace platform {

namespace {

bool IsWritableFolder(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           access(path.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

std::string TempFolder()
{
    // The choice is made once for each value of $TMPDIR (start-up asks
    // first), so a folder that does not work is reported once, not by every
    // file the runtime then fails to make.
    static std::string checkedFor = "\x01";
    static std::string chosen;
    const char* variable = std::getenv("TMPDIR");
    const std::string value = variable != nullptr ? variable : "";
    if (value == checkedFor) return chosen;
    checkedFor = value;
    chosen.clear();
    if (!value.empty() && IsWritableFolder(value)) chosen = value;
    else if (IsWritableFolder("/tmp")) chosen = "/tmp";
    if (!value.empty() && chosen != value)
        std::fprintf(stderr, "Zorvelin runtime: TMPDIR=%s is not a folder this user can write to%s\n",
                     value.c_str(), chosen.empty() ? "" : "; using /tmp");
    if (chosen.empty()) {
        std::fprintf(stderr, "Zorvelin runtime: no usable temporary folder (TMPDIR, /tmp): "
                             "no error log, and packed media cannot be unpacked\n");
        return chosen;
    }
    if (chosen.back() != '/') chosen += '/';
    return chosen;
}

std::string ModulePath()
{
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return std::string();
    path[length] = 0;
    return path;
}

const std::string& StartFolder()
{
    // Asked before the first change of directory (ChangeDirectory asks), so
    // it is the folder the program was started in.
    static const std::string folder = CurrentDirectory();
    return folder;
}

std::string FromStartFolder(const char* path)
{
    if (path == nullptr) return std::string();
    if (path[0] == '/' || path[0] == 0 || StartFolder().empty()) return path;
    return StartFolder() + "/" + path;
}

bool ChangeDirectory(const char* path)
{
    StartFolder();
    return chdir(path) == 0;
}

bool RemoveFile(const char* path)
{
    return unlink(path) == 0;
}

bool RemoveFileIfPresent(const char* path, std::string* why)
{
    if (unlink(path) == 0 || errno == ENOENT) return true;
    const int error = errno;
    struct stat info {};
    if ((error == EPERM || error == EACCES) && lstat(path, &info) == 0 && info.st_uid != getuid()) {
        // In a folder with the sticky bit (/tmp) only the owner may remove.
        *why = "it belongs to another user";
        return false;
    }
    *why = std::strerror(error);
    return false;
}

unsigned long UserId()
{
    return getuid();
}

}  // namespace platform
