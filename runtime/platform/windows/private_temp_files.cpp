// Private temporary files for the media archive on Windows: a new folder of
// an unpredictable name in the user's temporary folder (which only that
// user may enter), and files created there that never reuse or follow
// anything already under their names.
#include "platform/platform.h"
#include "platform/windows/windows_text.h"

#include <windows.h>
#include <bcrypt.h>

#include <cerrno>
#include <string>

namespace platform {

using windows::SystemErrorText;
using windows::WideFromLatin1;

namespace {

// The errno value closest to a Windows error, for the callers that report
// errno.
int ErrnoFromWindows(DWORD error)
{
    switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    default: return EIO;
    }
}

bool WriteAll(HANDLE file, const char* bytes, std::size_t size)
{
    std::size_t written = 0;
    while (written < size) {
        const std::size_t left = size - written;
        const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD done = 0;
        if (!WriteFile(file, bytes + written, chunk, &done, nullptr) || done == 0) return false;
        written += done;
    }
    return true;
}

}  // namespace

bool IsReadableFile(const char* path)
{
    if (path == nullptr || path[0] == 0) return false;
    // Folders do not open without backup semantics; devices and pipes are
    // told apart by their type.
    HANDLE file = CreateFileW(WideFromLatin1(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool readable = GetFileType(file) == FILE_TYPE_DISK;
    CloseHandle(file);
    return readable;
}

std::string MakePrivateTempFolder(const char* prefix)
{
    const std::string folder = TempFolder();
    if (folder.empty()) {
        errno = ENOENT;
        return std::string();
    }
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[6];
        if (BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) {
            errno = EIO;
            return std::string();
        }
        std::string path = folder + prefix;
        for (unsigned char byte : random) path += kLetters[byte % (sizeof kLetters - 1)];
        if (CreateDirectoryW(WideFromLatin1(path).c_str(), nullptr)) return path + '\\';
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS) {
            errno = ErrnoFromWindows(error);
            return std::string();
        }
    }
    errno = EEXIST;
    return std::string();
}

bool WriteNewFile(const char* path, const void* data, std::size_t size)
{
    // CREATE_NEW: a name already taken, by a file or by a link, fails.
    const std::wstring name = WideFromLatin1(path);
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        errno = ErrnoFromWindows(GetLastError());
        return false;
    }
    bool complete = WriteAll(file, static_cast<const char*>(data), size);
    const DWORD error = complete ? ERROR_SUCCESS : GetLastError();
    if (!CloseHandle(file)) complete = false;
    if (!complete) {
        // A short file would be loaded as if it were the whole member.
        DeleteFileW(name.c_str());
        errno = ErrnoFromWindows(error);
    }
    return complete;
}

bool AppendToPlainFile(const char* path, const std::string& bytes, std::string* why)
{
    auto fail = [why](const std::string& reason) {
        if (why != nullptr) *why = reason;
        return false;
    };
    // Opened without sharing and created when missing; a link in its place
    // is opened as the link itself (never followed) and refused below.
    HANDLE file = CreateFileW(WideFromLatin1(path).c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, 0,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION) return fail("another program has it open");
        return fail(SystemErrorText(error));
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool plain = GetFileType(file) == FILE_TYPE_DISK &&
                       GetFileInformationByHandle(file, &information) &&
                       (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
    if (!plain) {
        const bool link = (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        CloseHandle(file);
        return fail(link ? "a link is in its place" : "it is not a plain file");
    }
    std::string reason;
    if (!WriteAll(file, bytes.data(), bytes.size())) reason = SystemErrorText(GetLastError());
    if (!CloseHandle(file) && reason.empty()) reason = SystemErrorText(GetLastError());
    return reason.empty() ? true : fail(reason);
}

bool RemovePrivateTempFolder(const char* path)
{
    std::wstring folder = WideFromLatin1(path);
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    // A link put in the folder's place is never followed into.
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return false;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            // Plain files and links to files; a link is removed, not its target.
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                DeleteFileW((folder + L"\\" + name).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryW(folder.c_str()) != 0;
}

}  // namespace platform
