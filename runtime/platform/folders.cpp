// The working directory and folder listings.
#include "platform/platform.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace platform {

std::string CurrentDirectory()
{
    std::vector<char> buffer(256);
    for (;;) {
        if (getcwd(buffer.data(), buffer.size()) != nullptr) return buffer.data();
        if (errno != ERANGE || buffer.size() > (1u << 20)) return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

bool ListDirectory(const char* path, std::vector<DirectoryEntry>& entries)
{
    DIR* folder = opendir(path);
    if (folder == nullptr) return false;
    const std::string prefix = std::string(path) + "/";
    while (dirent* entry = readdir(folder)) {
        bool isDirectory = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat info {};
            isDirectory = stat((prefix + entry->d_name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        }
        entries.push_back({entry->d_name, isDirectory});
    }
    closedir(folder);
    return true;
}

}  // namespace platform
