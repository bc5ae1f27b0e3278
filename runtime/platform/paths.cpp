// Temporary folder, program path, working directory, file removal.
#include "platform/platform.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform {

std::string TempFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = (tmp != nullptr && tmp[0] != 0) ? tmp : "/tmp";
    if (folder.back() != '/') folder += '/';
    return folder;
}

std::string ModulePath()
{
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return std::string();
    path[length] = 0;
    return path;
}

bool ChangeDirectory(const char* path)
{
    return chdir(path) == 0;
}

bool RemoveFile(const char* path)
{
    return unlink(path) == 0;
}

}  // namespace platform
