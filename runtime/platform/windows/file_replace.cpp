// Rewriting a line file on Windows: the new content goes to a temporary
// file beside the original, on the same volume, which then takes its place
// (ReplaceFile, which keeps the original's attributes and security, else
// MoveFileEx). Where the original cannot be replaced but takes writes (it
// has more than one hard link, or another program holds it open without
// letting it be replaced) it is rewritten in place, with a whole copy of
// the new content kept until it is whole again. A file another program
// holds open against writing is left as it is, and the reason says so.
#include "platform/platform.h"
#include "platform/rewrite_journal.h"
#include "platform/windows/random_names.h"
#include "platform/windows/windows_text.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

namespace platform {

using windows::IsRandomNameOf;
using windows::Latin1FromWide;
using windows::Latin1Path;
using windows::RandomName;
using windows::SystemErrorText;
using windows::WideFromLatin1;

namespace {

constexpr char kHeldOpen[] = "another program has it open";

// An open file, closed on every way out of a scope. Handed to the journal
// it becomes a C runtime descriptor, which then owns it.
struct OpenFile {
    OpenFile() = default;
    explicit OpenFile(HANDLE value) : handle(value) {}
    ~OpenFile() { Close(); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE value)
    {
        Close();
        handle = value;
    }
    int Descriptor()
    {
        if (descriptor < 0 && IsOpen())
            descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
        return descriptor;
    }
    // False when closing reported an error (a late write failure).
    bool Close()
    {
        bool closed = true;
        if (descriptor >= 0)
            closed = _close(descriptor) == 0;
        else if (IsOpen())
            closed = CloseHandle(handle) != 0;
        handle = INVALID_HANDLE_VALUE;
        descriptor = -1;
        return closed;
    }
    HANDLE handle = INVALID_HANDLE_VALUE;
    int descriptor = -1;
};

bool IsHeldOpenError(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_USER_MAPPED_FILE;
}

std::string Reason(const char* what, const std::string& path, DWORD error)
{
    return std::string(what) + " " + path + ": " + (IsHeldOpenError(error) ? kHeldOpen : SystemErrorText(error));
}

FileStamp StampOfHandle(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (file == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(file, &info)) return FileStamp{};
    FileStamp stamp;
    stamp.device = info.dwVolumeSerialNumber;
    stamp.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
    stamp.modifiedNs = static_cast<std::int64_t>(ticks) * 100;
    stamp.valid = true;
    return stamp;
}

HANDLE OpenShared(const std::string& path, DWORD access, DWORD creation = OPEN_EXISTING)
{
    return CreateFileW(WideFromLatin1(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool WriteAt(HANDLE file, const char* bytes, std::size_t size, std::uint64_t at)
{
    std::size_t done = 0;
    while (done < size) {
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at + done);
        where.OffsetHigh = static_cast<DWORD>((at + done) >> 32);
        const std::size_t left = size - done;
        const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(file, bytes + done, chunk, &written, &where) || written == 0) return false;
        done += written;
    }
    return true;
}

// Copies length bytes of from, starting at offset, to to at the offset at.
bool CopyRange(HANDLE from, std::uint64_t offset, std::uint64_t length, HANDLE to, std::uint64_t at)
{
    std::vector<char> buffer(65536);
    while (length > 0) {
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(offset);
        where.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD want = length < buffer.size() ? static_cast<DWORD>(length) : static_cast<DWORD>(buffer.size());
        DWORD got = 0;
        if (!ReadFile(from, buffer.data(), want, &got, &where)) return false;
        if (got == 0) {
            SetLastError(ERROR_HANDLE_EOF);  // the original ended early
            return false;
        }
        if (!WriteAt(to, buffer.data(), got, at)) return false;
        at += got;
        offset += got;
        length -= got;
    }
    return true;
}

bool SetSize(HANDLE file, std::uint64_t size)
{
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    return SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

// The file a path finally names: a symbolic link is replaced by its
// target, so that rewriting keeps the link.
std::string FinalTarget(const std::string& path, HANDLE opened)
{
    const DWORD attributes = GetFileAttributesW(WideFromLatin1(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return path;
    std::vector<wchar_t> final(32768);
    const DWORD length = GetFinalPathNameByHandleW(opened, final.data(), static_cast<DWORD>(final.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= final.size()) return path;
    std::wstring name(final.data(), length);
    if (name.rfind(L"\\\\?\\", 0) == 0 && name.size() > 6 && name[5] == L':') name.erase(0, 4);
    const std::string resolved = Latin1Path(name);
    return resolved.empty() ? path : resolved;
}

std::size_t NameStart(const std::string& path)
{
    const std::size_t separator = path.find_last_of("\\/:");
    return separator == std::string::npos ? 0 : separator + 1;
}

// A run killed during a rewrite leaves its temporary file beside the
// original. Such plain files of this one name go; nothing else is touched.
void RemoveLeftoverTemporaries(const std::string& folder, const std::string& name)
{
    const std::string prefix = ".~" + name + ".";
    WIN32_FIND_DATAW entry{};
    HANDLE listing = FindFirstFileW(WideFromLatin1(folder + prefix + "*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE) return;
    do {
        std::string found;
        if (!Latin1FromWide(entry.cFileName, &found) || !IsRandomNameOf(found, prefix)) continue;
        if ((entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) continue;
        DeleteFileW(WideFromLatin1(folder + found).c_str());
    } while (FindNextFileW(listing, &entry));
    FindClose(listing);
}

// Creates a new file of a random name with the prefix; its path in *path.
HANDLE CreateStaging(const std::string& prefix, std::string* path)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        *path = RandomName(prefix);
        if (path->empty()) break;
        HANDLE file = OpenShared(*path, GENERIC_READ | GENERIC_WRITE | DELETE, CREATE_NEW);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

// Overwrites target with everything in staged, in place. The new size is
// taken first (growing the file claims its space, so a full disk fails
// before any old byte is touched), then the bytes are overwritten, and only
// then is a longer old file shortened. *damaged tells whether a failure
// came part-way through the overwrite.
bool CopyInPlace(HANDLE staged, HANDLE target, bool* damaged)
{
    *damaged = false;
    LARGE_INTEGER newSize{}, oldSize{};
    if (!GetFileSizeEx(staged, &newSize) || !GetFileSizeEx(target, &oldSize)) return false;
    if (newSize.QuadPart > oldSize.QuadPart) {
        if (!SetSize(target, static_cast<std::uint64_t>(newSize.QuadPart)) || !FlushFileBuffers(target)) {
            const DWORD error = GetLastError();
            SetSize(target, static_cast<std::uint64_t>(oldSize.QuadPart));
            SetLastError(error);
            return false;
        }
    }
    *damaged = true;
    if (!CopyRange(staged, 0, static_cast<std::uint64_t>(newSize.QuadPart), target, 0)) return false;
    if (newSize.QuadPart < oldSize.QuadPart && !SetSize(target, static_cast<std::uint64_t>(newSize.QuadPart)))
        return false;
    // Only a file that is whole on disk lets the kept copy go.
    if (!FlushFileBuffers(target)) return false;
    *damaged = false;
    return true;
}

enum class Replaced { Yes, NotPossible, Failed };

// Puts staging in the place of target. NotPossible: the target is as it
// was and takes no replacing now (it is held open or has other links), so
// it is to be written in place. Failed: *why says what happened.
Replaced ReplaceTarget(const std::string& staging, const std::string& target, std::string* why)
{
    const std::wstring from = WideFromLatin1(staging);
    const std::wstring to = WideFromLatin1(target);
    // A program that holds the file without delete sharing keeps it from
    // being replaced; asked first, so that no replacement is begun that
    // could only fail half-way.
    HANDLE probe = OpenShared(target, DELETE);
    if (probe == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (IsHeldOpenError(error) || error == ERROR_ACCESS_DENIED) return Replaced::NotPossible;
    } else {
        CloseHandle(probe);
    }
    if (ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return Replaced::Yes;
    DWORD error = GetLastError();
    // The original went, the new file could not be renamed: it is moved
    // once more, and kept under a name of its own when even that fails.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return Replaced::Yes;
        error = GetLastError();
        const std::string kept = ClaimStagedCopy(staging, target);
        *why = Reason("cannot rename over", target, error) + "; " + target + " is missing, the new content is kept in " +
               (kept.empty() ? staging : kept);
        return Replaced::Failed;
    }
    // ReplaceFile needs rights a plain rename does without (the original's
    // security to copy, say).
    if (!IsHeldOpenError(error) && error != ERROR_UNABLE_TO_REMOVE_REPLACED) {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return Replaced::Yes;
        error = GetLastError();
    }
    if (IsHeldOpenError(error) || error == ERROR_UNABLE_TO_REMOVE_REPLACED || error == ERROR_ACCESS_DENIED)
        return Replaced::NotPossible;
    *why = Reason("cannot rename over", target, error);
    return Replaced::Failed;
}

}  // namespace

FileStamp StampOf(std::FILE* file)
{
    if (file == nullptr) return FileStamp{};
    return StampOfHandle(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))));
}

FileStamp StampOf(const char* path)
{
    if (path == nullptr) return FileStamp{};
    HANDLE file = CreateFileW(WideFromLatin1(path).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileStamp{};
    const FileStamp stamp = StampOfHandle(file);
    CloseHandle(file);
    return stamp;
}

bool RewriteFile(const char* path, const std::vector<FilePiece>& pieces, const FileStamp& original,
                 std::string* why)
{
    // The file itself must take writes; one another program holds open
    // against writing is left alone, and the reason says so.
    OpenFile output(OpenShared(path, GENERIC_WRITE));
    if (!output.IsOpen()) {
        *why = Reason("cannot open for writing", path, GetLastError());
        return false;
    }
    const std::string target = FinalTarget(path, output.handle);
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(output.handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(output.handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        *why = target + " is not a plain file";
        return false;
    }
    const FileStamp before = StampOfHandle(output.handle);

    bool needsOriginal = false;
    for (const FilePiece& piece : pieces) needsOriginal = needsOriginal || piece.originalLength > 0;
    OpenFile input(needsOriginal ? OpenShared(target, GENERIC_READ) : INVALID_HANDLE_VALUE);
    if (needsOriginal && (!input.IsOpen() || !(StampOfHandle(input.handle) == original))) {
        *why = target + " was changed on disk after it was read";
        return false;
    }

    const std::string folder = target.substr(0, NameStart(target));
    const std::string name = target.substr(NameStart(target));
    RemoveLeftoverTemporaries(folder, name);

    // Staged beside the file, on its volume; where the folder takes no new
    // file (or the name would be too long), in the temporary folder, from
    // where it is copied in place.
    std::string staging;
    OpenFile staged(name.size() + 9 <= kMaxFileNameBytes ? CreateStaging(folder + ".~" + name + ".", &staging)
                                                         : INVALID_HANDLE_VALUE);
    const bool besideTarget = staged.IsOpen();
    if (!besideTarget) {
        const std::string temporaryFolder = TempFolder();
        if (!temporaryFolder.empty()) staged.Reset(CreateStaging(temporaryFolder + "kvlinefile-", &staging));
        if (!staged.IsOpen()) {
            *why = Reason("cannot create a temporary file for", target, GetLastError());
            return false;
        }
    }

    bool ok = true;
    std::uint64_t at = 0;
    for (const FilePiece& piece : pieces) {
        ok = piece.originalLength > 0 ? CopyRange(input.handle, piece.originalOffset, piece.originalLength,
                                                  staged.handle, at)
                                      : WriteAt(staged.handle, piece.bytes.data(), piece.bytes.size(), at);
        if (!ok) {
            *why = Reason("cannot write", staging, GetLastError());
            break;
        }
        at += piece.originalLength > 0 ? piece.originalLength : piece.bytes.size();
    }

    bool renamed = false;
    if (ok && besideTarget && info.nNumberOfLinks == 1) {
        // Nothing of this program may hold the files while they trade
        // places; the target is opened again should it stay in place.
        input.Close();
        output.Close();
        if (!staged.Close()) {
            *why = Reason("cannot write", staging, GetLastError());
            ok = false;
        }
        // The new file takes the original's attributes (hidden, say) even
        // where ReplaceFile would not carry them over.
        constexpr DWORD kCarried = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                   FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        if (ok && (info.dwFileAttributes & kCarried) != 0)
            SetFileAttributesW(WideFromLatin1(staging).c_str(), info.dwFileAttributes & kCarried);
        const Replaced replaced = ok ? ReplaceTarget(staging, target, why) : Replaced::Failed;
        renamed = replaced == Replaced::Yes;
        if (replaced == Replaced::Failed) {
            ok = false;
            // A copy kept by ReplaceTarget is said in *why; only a staged
            // file still under its own name goes.
            if (why->find(" is missing, ") == std::string::npos) DeleteFileW(WideFromLatin1(staging).c_str());
            return false;
        }
        if (!renamed) {
            staged.Reset(OpenShared(staging, GENERIC_READ | GENERIC_WRITE | DELETE));
            output.Reset(OpenShared(target, GENERIC_WRITE));
            // Still the file that was checked, and it still takes writes.
            if (!staged.IsOpen() || !output.IsOpen() || !(StampOfHandle(output.handle) == before)) {
                *why = output.IsOpen() ? target + " was changed on disk while it was rewritten"
                                       : Reason("cannot open for writing", target, GetLastError());
                staged.Close();
                DeleteFileW(WideFromLatin1(staging).c_str());
                return false;
            }
        }
    }
    const bool inPlace = ok && !renamed;
    // Until the file is whole again, a whole copy of the new content stays
    // on disk under a name no clean-up takes, and a note says where.
    RewriteJournal journal;
    if (inPlace && !journal.Keep(staged.Descriptor(), &staging, besideTarget, target, why)) ok = false;
    bool damaged = false;
    if (inPlace && ok && !CopyInPlace(staged.handle, output.handle, &damaged)) {
        *why = Reason("cannot write", target, GetLastError());
        ok = false;
    }
    const bool closed = output.Close();
    if (inPlace && ok && !closed) {
        *why = Reason("cannot close", target, GetLastError());
        ok = false;
        damaged = true;
    }
    staged.Close();
    if (inPlace && damaged) {
        *why += "; " + target + " may be damaged, the new content is kept in " + staging;
    } else if (!renamed) {
        DeleteFileW(WideFromLatin1(staging).c_str());
    }
    journal.End();
    return ok;
}

}  // namespace platform
