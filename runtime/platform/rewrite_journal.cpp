#include "platform/rewrite_journal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/platform.h"

namespace platform {

namespace {

// A note is "kvrewrite-XXXXXX" in the temporary folder: this first line,
// then the target's path and the copy's path, one a line.
constexpr char kNotePrefix[] = "kvrewrite-";
constexpr char kNoteMagic[] = "kvbasic in-place rewrite";
// Two paths and the first line; anything longer is no note of ours.
constexpr std::size_t kMaxNoteBytes = 2 * 4096 + sizeof kNoteMagic + 2;

bool WriteAllTo(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// True when both files hold the same bytes.
bool SameContent(const std::string& a, const std::string& b)
{
    std::FILE* first = std::fopen(a.c_str(), "rb");
    std::FILE* second = first != nullptr ? std::fopen(b.c_str(), "rb") : nullptr;
    bool same = second != nullptr;
    char one[65536], two[sizeof one];
    while (same) {
        const std::size_t got = std::fread(one, 1, sizeof one, first);
        same = std::fread(two, 1, sizeof two, second) == got && std::memcmp(one, two, got) == 0;
        if (got == 0) break;
    }
    same = same && !std::ferror(first) && !std::ferror(second);
    if (second != nullptr) std::fclose(second);
    if (first != nullptr) std::fclose(first);
    return same;
}

bool IsNoteName(const char* name)
{
    const std::size_t prefix = sizeof kNotePrefix - 1;
    return std::strncmp(name, kNotePrefix, prefix) == 0 && std::strlen(name) == prefix + 6;
}

// Reads the note open as fd: false for anything that is not a whole note.
bool ReadNote(int fd, std::string* target, std::string* copy)
{
    char bytes[kMaxNoteBytes + 1];
    std::size_t size = 0;
    while (size < sizeof bytes) {
        const ssize_t got = read(fd, bytes + size, sizeof bytes - size);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        size += static_cast<std::size_t>(got);
    }
    if (size > kMaxNoteBytes) return false;
    const std::string text(bytes, size);
    const std::string head = std::string(kNoteMagic) + "\n";
    if (text.compare(0, head.size(), head) != 0) return false;
    const std::size_t second = text.find('\n', head.size());
    if (second == std::string::npos || text.size() < second + 2 || text.back() != '\n') return false;
    *target = text.substr(head.size(), second - head.size());
    *copy = text.substr(second + 1, text.size() - second - 2);
    return !target->empty() && !copy->empty() && copy->find('\n') == std::string::npos;
}

}  // namespace

std::string ClaimStagedCopy(const std::string& staging, const std::string& target)
{
    for (int number = 0; number < 100; ++number) {
        std::string candidate = target + ".unsaved";
        if (number != 0) candidate.append(1, '.').append(std::to_string(number));
        // A link never replaces a file of that name.
        if (link(staging.c_str(), candidate.c_str()) == 0) {
            unlink(staging.c_str());
            return candidate;
        }
        if (errno == EEXIST) continue;
        // A file system without hard links: a rename to a name that is free.
        struct stat taken {};
        if (errno != EPERM && errno != ENOSYS && errno != EOPNOTSUPP && errno != EMLINK) return std::string();
        if (lstat(candidate.c_str(), &taken) == 0) continue;
        if (std::rename(staging.c_str(), candidate.c_str()) == 0) return candidate;
        return std::string();
    }
    errno = EEXIST;
    return std::string();
}

bool RewriteJournal::Keep(int stagedFd, std::string* staging, bool besideTarget, const std::string& target,
                          std::string* why)
{
    // On the disk before any byte of the target is overwritten: a crash of
    // the machine must not take the only whole copy with it.
    if (fdatasync(stagedFd) != 0 && errno != EINVAL) {
        *why = "cannot write " + *staging + ": " + std::strerror(errno);
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
    // The note only tells the next start where the copy is; without it the
    // copy is still kept, so a note that cannot be written stops nothing.
    const std::string folder = TempFolder();
    if (folder.empty()) return true;
    std::string note = folder + kNotePrefix + "XXXXXX";
    const int fd = mkstemp(note.data());
    if (fd < 0) return true;
    // Locked while the overwrite runs: another program starting meanwhile
    // leaves the note alone.
    (void)flock(fd, LOCK_EX | LOCK_NB);
    if (!WriteAllTo(fd, std::string(kNoteMagic) + "\n" + target + "\n" + *staging + "\n")) {
        unlink(note.c_str());
        close(fd);
        return true;
    }
    m_note = note;
    m_noteFd = fd;
    return true;
}

void RewriteJournal::End()
{
    if (!m_note.empty()) unlink(m_note.c_str());
    if (m_noteFd >= 0) close(m_noteFd);
    m_note.clear();
    m_noteFd = -1;
}

std::vector<InterruptedRewrite> FindInterruptedRewrites()
{
    std::vector<InterruptedRewrite> found;
    const std::string folder = TempFolder();
    if (folder.empty()) return found;
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr) return found;
    while (dirent* entry = readdir(listing)) {
        if (!IsNoteName(entry->d_name)) continue;
        const std::string note = folder + entry->d_name;
        const int fd = open(note.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat info {};
        // Only this user's plain notes; one still locked belongs to a
        // rewrite that is running now.
        const bool ours = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid();
        if (!ours || flock(fd, LOCK_EX | LOCK_NB) != 0) {
            close(fd);
            continue;
        }
        InterruptedRewrite rewrite;
        const bool whole = ReadNote(fd, &rewrite.target, &rewrite.copy);
        // Gone before the lock is let go: another program starting now
        // does not say it again.
        unlink(note.c_str());
        close(fd);
        if (!whole) continue;
        struct stat copyInfo {};
        if (lstat(rewrite.copy.c_str(), &copyInfo) != 0 || !S_ISREG(copyInfo.st_mode)) continue;
        // Ended after the copy was whole: nothing was lost.
        if (SameContent(rewrite.copy, rewrite.target)) {
            unlink(rewrite.copy.c_str());
            continue;
        }
        found.push_back(rewrite);
    }
    closedir(listing);
    return found;
}

}  // namespace platform
