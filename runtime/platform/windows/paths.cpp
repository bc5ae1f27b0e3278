// Temporary folder, program path, working directory and file removal on
// Windows: GetTempPath, GetModuleFileName, SetCurrentDirectory, DeleteFile.
// Paths are Latin-1 with backslashes, as the system gives them; the
// runtime's own forward slashes work in every call as well.
#include "platform/platform.h"
#include "platform/windows/windows_text.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace platform {

using windows::Latin1Path;
using windows::SystemErrorText;
using windows::WideFromLatin1;

namespace {

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Whether this user can make files in the folder: a file is made there and
// removed again (access rights on Windows are lists that only an attempt
// reads reliably).
bool TakesNewFiles(const std::wstring& folder)
{
    wchar_t probe[MAX_PATH + 16];
    if (GetTempFileNameW(folder.c_str(), L"kvp", 0, probe) == 0) return false;
    DeleteFileW(probe);
    return true;
}

std::wstring WithTrailingSeparator(std::wstring path)
{
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
    return path;
}

}  // namespace

std::string TempFolder()
{
    // GetTempPath follows TMP, TEMP and USERPROFILE. The choice is made once
    // for each answer it gives (start-up asks first), so a folder that does
    // not work is reported once, not by every file the runtime then fails
    // to make.
    static std::wstring checkedFor = L"\x01";
    static std::string chosen;
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    DWORD length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    const std::wstring folder(buffer.data(), length < buffer.size() ? length : 0);
    if (folder == checkedFor) return chosen;
    checkedFor = folder;
    chosen.clear();
    if (!folder.empty() && IsFolder(folder) && TakesNewFiles(folder))
        chosen = Latin1Path(WithTrailingSeparator(folder));
    if (chosen.empty()) {
        std::string shown;
        windows::Latin1FromWide(folder.c_str(), &shown);
        std::fprintf(stderr, "Zorvelin runtime: the temporary folder %s (TMP, TEMP) is not a folder "
                             "this user can write to: no error log, and packed media cannot be unpacked\n",
                     shown.empty() ? "(none)" : shown.c_str());
    }
    return chosen;
}

std::string ModulePath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::string();
        if (length < buffer.size()) return Latin1Path(std::wstring(buffer.data(), length));
        if (buffer.size() >= 32768) return std::string();  // the longest path Windows has
        buffer.resize(buffer.size() * 2);
    }
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
    // "C:\x", "C:x" (the drive's own current folder), "\x" (the current
    // drive's root) and "\\server\share" are not relative to a folder.
    const bool hasDrive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                          path[1] == ':';
    if (hasDrive || path[0] == '\\' || path[0] == '/' || path[0] == 0 || StartFolder().empty())
        return path;
    const std::string& start = StartFolder();
    const char last = start.back();
    return start + (last == '\\' || last == '/' ? "" : "\\") + path;
}

bool ChangeDirectory(const char* path)
{
    StartFolder();
    return SetCurrentDirectoryW(WideFromLatin1(path).c_str()) != 0;
}

bool RemoveFile(const char* path)
{
    return DeleteFileW(WideFromLatin1(path).c_str()) != 0;
}

bool RemoveFileIfPresent(const char* path, std::string* why)
{
    const std::wstring name = WideFromLatin1(path);
    if (DeleteFileW(name.c_str())) return true;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
    if (error == ERROR_SHARING_VIOLATION) {
        *why = "another program has it open";
    } else if (error == ERROR_ACCESS_DENIED) {
        const DWORD attributes = GetFileAttributesW(name.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            *why = "it is a folder";
        else if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
            *why = "it is read-only";
        else
            *why = "access is denied (it may belong to another user)";
    } else {
        *why = SystemErrorText(error);
    }
    return false;
}

unsigned long UserId()
{
    // The last part of the user's security identifier (the relative id:
    // 1000 and up for local users), which stays the same for every run of
    // this user, as a POSIX user id does.
    static const unsigned long id = [] {
        unsigned long rid = 0;
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return rid;
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<unsigned char> buffer(size);
        if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
            PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
            const UCHAR parts = IsValidSid(sid) ? *GetSidSubAuthorityCount(sid) : 0;
            if (parts > 0) rid = *GetSidSubAuthority(sid, parts - 1u);
        }
        CloseHandle(token);
        return rid;
    }();
    return id;
}

}  // namespace platform
