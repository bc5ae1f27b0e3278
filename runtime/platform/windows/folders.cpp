// The working directory and folder listings on Windows (GetCurrentDirectory,
// FindFirstFile). Names are Latin-1; a name with a character beyond it is
// listed by its short 8.3 name, which opens the same file.
#include "platform/platform.h"
#include "platform/windows/windows_text.h"

#include <windows.h>

#include <string>
#include <vector>

namespace platform {

std::string CurrentDirectory()
{
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return std::string();
    std::wstring folder(size, L'\0');
    const DWORD length = GetCurrentDirectoryW(size, folder.data());
    if (length == 0 || length >= size) return std::string();
    folder.resize(length);
    return windows::Latin1Path(folder);
}

bool ListDirectory(const char* path, std::vector<DirectoryEntry>& entries)
{
    std::wstring pattern = windows::WideFromLatin1(path);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;  // an empty drive root
    do {
        std::string name;
        if (!windows::Latin1FromWide(found.cFileName, &name)) {
            if (found.cAlternateFileName[0] == 0) continue;  // no name a runtime string can hold
            windows::Latin1FromWide(found.cAlternateFileName, &name);
        }
        // A link to a folder (a junction) counts as the folder it leads to.
        entries.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

}  // namespace platform
