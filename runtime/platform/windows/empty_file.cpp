// Making a new, empty file for CREATEFILE on Windows: only where nothing has
// the name yet (CREATE_NEW), so that an existing file is never emptied or
// replaced.
#include "platform/platform.h"
#include "platform/windows/windows_text.h"

#include <windows.h>

namespace platform {

bool CreateEmptyFile(const char* path, std::string* why)
{
    if (path == nullptr || path[0] == 0) {
        *why = "no file name given";
        return false;
    }
    const std::wstring name = windows::WideFromLatin1(path);
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        if (!CloseHandle(file)) {
            *why = std::string("cannot create ") + path + ": " + windows::SystemErrorText(GetLastError());
            return false;
        }
        return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED) {
        // Access is also denied where a folder has the name.
        const DWORD attributes = GetFileAttributesW(name.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
            return true;
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            *why = std::string(path) + " exists and is not a plain file";
            return false;
        }
    }
    *why = std::string("cannot create ") + path + ": " + windows::SystemErrorText(error);
    return false;
}

}  // namespace platform
