// The in-place rewrite's safety copy and note on Windows. The note is held
// open without sharing while the overwrite runs, which is what keeps
// another program starting meanwhile from taking it (the POSIX version
// locks it); it is not deleted on close, so a run that is killed leaves it
// for the next start.
#include "platform/rewrite_journal.h"
#include "platform/platform.h"
#include "platform/windows/random_names.h"
#include "platform/windows/windows_text.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace platform {

using windows::IsRandomNameOf;
using windows::Latin1FromWide;
using windows::RandomName;
using windows::SystemErrorText;
using windows::WideFromLatin1;

namespace {

// A note is "kvrewrite-XXXXXX" in the temporary folder: this first line,
// then the target's path and the copy's path, one a line.
constexpr char kNotePrefix[] = "kvrewrite-";
constexpr char kNoteMagic[] = "kvbasic in-place rewrite";
constexpr std::size_t kMaxNoteBytes = 2 * 4096 + sizeof kNoteMagic + 2;

bool SameContent(const std::string& a, const std::string& b)
{
    std::FILE* first = _wfopen(WideFromLatin1(a).c_str(), L"rb");
    std::FILE* second = first != nullptr ? _wfopen(WideFromLatin1(b).c_str(), L"rb") : nullptr;
    bool same = second != nullptr;
    std::vector<char> one(65536), two(65536);
    while (same) {
        const std::size_t got = std::fread(one.data(), 1, one.size(), first);
        same = std::fread(two.data(), 1, two.size(), second) == got && std::memcmp(one.data(), two.data(), got) == 0;
        if (got == 0) break;
    }
    same = same && !std::ferror(first) && !std::ferror(second);
    if (second != nullptr) std::fclose(second);
    if (first != nullptr) std::fclose(first);
    return same;
}

bool ReadNote(HANDLE file, std::string* target, std::string* copy)
{
    std::vector<char> bytes(kMaxNoteBytes + 1);
    std::size_t size = 0;
    while (size < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(file, bytes.data() + size, static_cast<DWORD>(bytes.size() - size), &got, nullptr) || got == 0)
            break;
        size += got;
    }
    if (size > kMaxNoteBytes) return false;
    const std::string text(bytes.data(), size);
    const std::string head = std::string(kNoteMagic) + "\n";
    if (text.compare(0, head.size(), head) != 0) return false;
    const std::size_t second = text.find('\n', head.size());
    if (second == std::string::npos || text.size() < second + 2 || text.back() != '\n') return false;
    *target = text.substr(head.size(), second - head.size());
    *copy = text.substr(second + 1, text.size() - second - 2);
    return !target->empty() && !copy->empty() && copy->find('\n') == std::string::npos;
}

bool IsPlainFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(WideFromLatin1(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

}  // namespace

std::string ClaimStagedCopy(const std::string& staging, const std::string& target)
{
    for (int number = 0; number < 100; ++number) {
        std::string candidate = target + ".unsaved";
        if (number != 0) candidate.append(1, '.').append(std::to_string(number));
        // Without MOVEFILE_REPLACE_EXISTING a rename never replaces a file
        // of that name. The staged file is open with delete sharing, so it
        // may be renamed while it is open.
        if (MoveFileExW(WideFromLatin1(staging).c_str(), WideFromLatin1(candidate).c_str(), MOVEFILE_WRITE_THROUGH))
            return candidate;
        const DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) continue;
        errno = error == ERROR_ACCESS_DENIED ? EACCES : EIO;
        return std::string();
    }
    errno = EEXIST;
    return std::string();
}

bool RewriteJournal::Keep(int stagedFd, std::string* staging, bool besideTarget, const std::string& target,
                          std::string* why)
{
    // On the disk before any byte of the target is overwritten.
    const auto staged = reinterpret_cast<HANDLE>(_get_osfhandle(stagedFd));
    if (staged == INVALID_HANDLE_VALUE || !FlushFileBuffers(staged)) {
        *why = "cannot write " + *staging + ": " + SystemErrorText(GetLastError());
        return false;
    }
    if (besideTarget) {
        const std::string kept = ClaimStagedCopy(*staging, target);
        if (kept.empty()) {
            *why = "no copy of the new content can be kept beside " + target + " while it is rewritten in place: " +
                   std::strerror(errno);
            return false;
        }
        *staging = kept;
    }
    // The note only tells the next start where the copy is; a note that
    // cannot be written stops nothing.
    const std::string folder = TempFolder();
    if (folder.empty()) return true;
    const std::string note = RandomName(folder + kNotePrefix);
    if (note.empty()) return true;
    // No sharing but delete: no one reads it while the overwrite runs, and
    // End removes it before letting it go.
    HANDLE file = CreateFileW(WideFromLatin1(note).c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_DELETE, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return true;
    const std::string text = std::string(kNoteMagic) + "\n" + target + "\n" + *staging + "\n";
    DWORD written = 0;
    if (!WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) || written != text.size() ||
        !FlushFileBuffers(file)) {
        DeleteFileW(WideFromLatin1(note).c_str());
        CloseHandle(file);
        return true;
    }
    m_note = note;
    m_noteFd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
    if (m_noteFd < 0) CloseHandle(file);
    return true;
}

void RewriteJournal::End()
{
    if (!m_note.empty()) DeleteFileW(WideFromLatin1(m_note).c_str());
    if (m_noteFd >= 0) _close(m_noteFd);
    m_note.clear();
    m_noteFd = -1;
}

std::vector<InterruptedRewrite> FindInterruptedRewrites()
{
    std::vector<InterruptedRewrite> found;
    const std::string folder = TempFolder();
    if (folder.empty()) return found;
    WIN32_FIND_DATAW entry{};
    HANDLE listing = FindFirstFileW(WideFromLatin1(folder + kNotePrefix + "*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE) return found;
    do {
        std::string name;
        if (!Latin1FromWide(entry.cFileName, &name) || !IsRandomNameOf(name, kNotePrefix)) continue;
        if ((entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) continue;
        // The temporary folder is this user's own. Opened without sharing: a
        // note another program still holds (its rewrite is running) fails
        // to open and is left alone.
        const std::string note = folder + name;
        HANDLE file = CreateFileW(WideFromLatin1(note).c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        InterruptedRewrite rewrite;
        const bool whole = ReadNote(file, &rewrite.target, &rewrite.copy);
        // Gone before it is let go: another program starting now does not
        // say it again.
        FILE_DISPOSITION_INFO remove{TRUE};
        SetFileInformationByHandle(file, FileDispositionInfo, &remove, sizeof remove);
        CloseHandle(file);
        if (!whole || !IsPlainFile(rewrite.copy)) continue;
        // Ended after the target was whole: nothing was lost.
        if (SameContent(rewrite.copy, rewrite.target)) {
            DeleteFileW(WideFromLatin1(rewrite.copy).c_str());
            continue;
        }
        found.push_back(rewrite);
    } while (FindNextFileW(listing, &entry));
    FindClose(listing);
    return found;
}

}  // namespace platform
