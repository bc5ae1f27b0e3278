// libFuzzer harness for the line-file cache behind GETFILE and PUTFILE:
// loading arbitrary bytes as a line file, reading every line, replacing one
// and writing the file back, on a file system that fails when the input
// says so.
//
// Input: a header of six bytes, then the file itself.
//   0  the line PUTFILE replaces
//   1  flags: 1 the file has a second hard link, 2 it is used through a
//      symbolic link, 4 it changes on disk before the write-back, 8 the
//      injected fault stays (every later call of that kind fails too),
//      16 writes transfer only a few bytes at a time
//   2  which file-system call of the write-back fails (0: none)
//   3  the error it fails with (an index into the errors such a call has)
//   4  the length of the new line's text (0 ... 255 characters)
//   5  the character the new text repeats
//
// The write-back's file-system calls (open, mkstemp, write, pread,
// ftruncate, fchown, fchmod, rename, close) are replaced here by ones that
// fail on request; the runtime is not changed for it. After the write-back:
// - it succeeded: the file read again holds the new line and every other
//   line as before, and links stay links;
// - it failed: the error log says so and the file holds what it held
//   before, byte for byte, or, when a copy in place broke off, the error
//   log names a file that holds the new text;
// - either way no staging file (nor a kept copy or a note of an in-place
//   rewrite, which only a killed run leaves) is left behind and no
//   descriptor open.
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <sanitizer/common_interface_defs.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/runtime_state.h"
#include "files/fast_file.h"

namespace {

// ---- The failing file system ----------------------------------------------

enum Call { kOpen, kMkstemp, kWrite, kPread, kFtruncate, kFchown, kFchmod, kRename, kClose, kFallocate, kFdatasync, kCallKinds };

// Errors each kind of call can really give on a local file system.
const std::vector<int> kErrors[kCallKinds] = {
    {EACCES, EROFS, EMFILE, ENOENT},          // open
    {EACCES, ENOSPC, EROFS, EDQUOT, EMFILE},  // mkstemp
    {ENOSPC, EIO, EDQUOT, EFBIG, EINTR},      // write
    {EIO, EINTR},                             // pread
    {EIO, EPERM},                             // ftruncate
    {EPERM},                                  // fchown
    {EPERM},                                  // fchmod
    {EACCES, EPERM, EBUSY, EXDEV, EIO, ENOSPC, EROFS},  // rename
    {EIO, ENOSPC, EDQUOT},                    // close
    {ENOSPC, EOPNOTSUPP, EDQUOT, EFBIG},      // fallocate
    {EIO, ENOSPC, EDQUOT},                    // fdatasync
};

struct FaultPlan {
    bool armed = false;       // only the write-back's calls count
    int failAt = 0;           // the 1-based counted call that fails; 0: none
    int errorChoice = 0;
    bool sticky = false;      // after the first fault, every call of its kind fails
    bool shortWrites = false;
    int counted = 0;
    int failedKind = -1;      // the kind of call that failed first
    int failedErrno = 0;
    std::vector<int> descriptors;  // descriptors of the line file and its staging files
};

FaultPlan g_plan;

template <typename Function>
Function Real(const char* name)
{
    void* symbol = dlsym(RTLD_NEXT, name);
    if (symbol == nullptr) std::abort();
    return reinterpret_cast<Function>(symbol);
}

bool Tracked(int fd)
{
    for (int known : g_plan.descriptors)
        if (known == fd) return true;
    return false;
}

// True (with errno set) when this call is to fail.
bool Fails(Call kind)
{
    if (!g_plan.armed) return false;
    ++g_plan.counted;
    int error = 0;
    if (g_plan.failedKind < 0 && g_plan.failAt != 0 && g_plan.counted >= g_plan.failAt) {
        const std::vector<int>& errors = kErrors[kind];
        error = errors[static_cast<std::size_t>(g_plan.errorChoice) % errors.size()];
        // A fault that never ends must be one the code cannot wait out.
        if (g_plan.sticky && error == EINTR) error = errors[0];
        g_plan.failedKind = kind;
        g_plan.failedErrno = error;
    } else if (g_plan.sticky && g_plan.failedKind == kind) {
        error = g_plan.failedErrno;
    }
    if (error == 0) return false;
    errno = error;
    return true;
}

bool IsErrorLog(const char* path)
{
    return path != nullptr && std::strstr(path, "ErrorLog.txt") != nullptr;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...)
{
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list arguments;
        va_start(arguments, flags);
        mode = static_cast<mode_t>(va_arg(arguments, int));
        va_end(arguments);
    }
    static auto real = Real<int (*)(const char*, int, ...)>("open");
    const bool ours = g_plan.armed && !IsErrorLog(path);
    if (ours && Fails(kOpen)) return -1;
    const int fd = real(path, flags, mode);
    if (ours && fd >= 0) g_plan.descriptors.push_back(fd);
    return fd;
}

int mkstemp(char* pattern)
{
    static auto real = Real<int (*)(char*)>("mkstemp");
    if (g_plan.armed && Fails(kMkstemp)) return -1;
    const int fd = real(pattern);
    // The note of an in-place rewrite only tells a later start where a
    // kept copy is; the write-back goes on without it, so its writes are
    // not among the ones that must not fail unseen.
    const bool note = std::strstr(pattern, "kvrewrite-") != nullptr;
    if (g_plan.armed && fd >= 0 && !note) g_plan.descriptors.push_back(fd);
    return fd;
}

ssize_t write(int fd, const void* bytes, size_t size)
{
    static auto real = Real<ssize_t (*)(int, const void*, size_t)>("write");
    if (g_plan.armed && Tracked(fd)) {
        if (Fails(kWrite)) return -1;
        if (g_plan.shortWrites && size > 1) size = 1 + static_cast<size_t>(g_plan.counted) % (size < 7 ? size : 7);
    }
    return real(fd, bytes, size);
}

ssize_t pwrite(int fd, const void* bytes, size_t size, off_t offset)
{
    static auto real = Real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    if (g_plan.armed && Tracked(fd)) {
        if (Fails(kWrite)) return -1;
        if (g_plan.shortWrites && size > 1) size = 1 + static_cast<size_t>(g_plan.counted) % (size < 7 ? size : 7);
    }
    return real(fd, bytes, size, offset);
}

int fallocate(int fd, int mode, off_t offset, off_t length)
{
    static auto real = Real<int (*)(int, int, off_t, off_t)>("fallocate");
    if (g_plan.armed && Tracked(fd) && Fails(kFallocate)) return -1;
    return real(fd, mode, offset, length);
}

int fdatasync(int fd)
{
    static auto real = Real<int (*)(int)>("fdatasync");
    if (g_plan.armed && Tracked(fd) && Fails(kFdatasync)) return -1;
    return real(fd);
}

ssize_t pread(int fd, void* bytes, size_t size, off_t offset)
{
    static auto real = Real<ssize_t (*)(int, void*, size_t, off_t)>("pread");
    if (g_plan.armed && Tracked(fd) && Fails(kPread)) return -1;
    return real(fd, bytes, size, offset);
}

int ftruncate(int fd, off_t length)
{
    static auto real = Real<int (*)(int, off_t)>("ftruncate");
    if (g_plan.armed && Tracked(fd) && Fails(kFtruncate)) return -1;
    return real(fd, length);
}

int fchown(int fd, uid_t owner, gid_t group)
{
    static auto real = Real<int (*)(int, uid_t, gid_t)>("fchown");
    if (g_plan.armed && Tracked(fd) && Fails(kFchown)) return -1;
    return real(fd, owner, group);
}

int fchmod(int fd, mode_t mode)
{
    static auto real = Real<int (*)(int, mode_t)>("fchmod");
    if (g_plan.armed && Tracked(fd) && Fails(kFchmod)) return -1;
    return real(fd, mode);
}

int rename(const char* from, const char* to)
{
    static auto real = Real<int (*)(const char*, const char*)>("rename");
    if (g_plan.armed && !IsErrorLog(to) && Fails(kRename)) return -1;
    return real(from, to);
}

int close(int fd)
{
    static auto real = Real<int (*)(int)>("close");
    if (!(g_plan.armed && Tracked(fd))) return real(fd);
    // A failing close still releases the descriptor, as on Linux.
    const bool fails = Fails(kClose);
    const int error = errno;
    real(fd);
    for (int& known : g_plan.descriptors)
        if (known == fd) known = -1;
    if (!fails) return 0;
    errno = error;
    return -1;
}

}  // extern "C"

namespace {

// ---- The line file and its checks -------------------------------------------

struct Folders {
    std::string root;  // the line file and its links
    std::string temp;  // TMPDIR: the error log and staging files
};

const Folders& Places()
{
    static const Folders places = [] {
        std::string pattern = "/tmp/kvfuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        Folders made{pattern, pattern + "/tmp"};
        if (mkdir(made.temp.c_str(), 0700) != 0) std::abort();
        // Write-back messages go to an error log there, not the user's.
        setenv("TMPDIR", made.temp.c_str(), 1);
        static Folders removed = made;
        std::atexit([] {
            for (const char* name : {"/lines.txt", "/twin.txt", "/alias.txt"}) std::remove((removed.root + name).c_str());
            std::remove((removed.temp + "/ErrorLog.txt").c_str());
            std::remove(removed.temp.c_str());
            std::remove(removed.root.c_str());
        });
        return made;
    }();
    return places;
}

std::string ReadAll(const std::string& path)
{
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
        std::fclose(file);
    }
    return bytes;
}

void WriteAll(const std::string& path, const std::uint8_t* bytes, std::size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    std::fwrite(bytes, 1, size, file);
    std::fclose(file);
}

// Names in a folder other than the expected ones.
std::vector<std::string> Strangers(const std::string& folder, std::vector<std::string> expected)
{
    expected.push_back(".");
    expected.push_back("..");
    std::vector<std::string> strangers;
    if (DIR* listing = opendir(folder.c_str())) {
        while (dirent* entry = readdir(listing)) {
            bool known = false;
            for (const std::string& name : expected) known = known || name == entry->d_name;
            if (!known) strangers.push_back(entry->d_name);
        }
        closedir(listing);
    }
    return strangers;
}

int OpenDescriptors()
{
    int count = 0;
    if (DIR* listing = opendir("/proc/self/fd")) {
        while (readdir(listing) != nullptr) ++count;
        closedir(listing);
    }
    return count;
}

void Expect(bool condition, const char* what)
{
    if (condition) return;
    // Through the sanitizers' report channel: the flags close stderr.
    const std::string summary = std::string("line file write-back: ") + what + " (fault at call " +
                                std::to_string(g_plan.failAt) + ", kind " + std::to_string(g_plan.failedKind) +
                                ", errno " + std::to_string(g_plan.failedErrno) + ")";
    __sanitizer_report_error_summary(summary.c_str());
    std::abort();
}

std::string Line(const char* name, int n)
{
    KvStr out;
    g_FastFile.GetFile(name, static_cast<short>(n), out);
    return out.GetStrData();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::size_t kHeader = 6;
    if (size < kHeader) return 0;
    const int replaced = data[0];
    const int flags = data[1];
    const bool hardLink = flags & 1, viaSymlink = flags & 2, changedOnDisk = flags & 4;
    const std::string text(data[4], static_cast<char>(' ' + data[5] % 95));

    const Folders& places = Places();
    const std::string path = places.root + "/lines.txt";
    const std::string twin = places.root + "/twin.txt";
    const std::string alias = places.root + "/alias.txt";
    const std::string log = places.temp + "/ErrorLog.txt";
    std::remove(twin.c_str());
    std::remove(alias.c_str());
    std::remove(path.c_str());
    WriteAll(path, data + kHeader, size - kHeader);
    if (hardLink && link(path.c_str(), twin.c_str()) != 0) std::abort();
    if (viaSymlink && symlink("lines.txt", alias.c_str()) != 0) std::abort();
    const std::string name = viaSymlink ? alias : path;

    std::string before[FAST_FILE::kMaxLines];
    for (int n = 0; n < FAST_FILE::kMaxLines; ++n) before[n] = Line(name.c_str(), n);
    Expect(g_FastFile.PutFile(name.c_str(), static_cast<short>(replaced), text.c_str()) == 0, "PUTFILE refused");
    if (changedOnDisk) {
        std::FILE* file = std::fopen(path.c_str(), "ab");
        if (file == nullptr) std::abort();
        std::fputs("changed\n", file);
        std::fclose(file);
    }
    const std::string onDisk = ReadAll(path);
    const std::size_t logBefore = ReadAll(log).size();

    g_plan = FaultPlan{};
    g_plan.failAt = data[2];
    g_plan.errorChoice = data[3];
    g_plan.sticky = flags & 8;
    g_plan.shortWrites = flags & 16;
    const int descriptors = OpenDescriptors();
    g_plan.armed = true;
    g_FastFile.FillBuffer(nullptr);
    g_plan.armed = false;
    Expect(OpenDescriptors() == descriptors, "the write-back left a descriptor open");

    const std::string said = ReadAll(log).substr(logBefore);
    const bool failed = !said.empty();
    if (failed) {
        Expect(said.find("PUTFILE changes to ") != std::string::npos, "the error log does not name the dropped changes");
        // A copy in place that failed keeps the new text in a file of its
        // own; any other failure leaves the file as it was.
        const std::string keptMark = " may be damaged, the new content is kept in ";
        const std::size_t kept = said.find(keptMark);
        if (kept == std::string::npos) {
            Expect(ReadAll(path) == onDisk, "a failed write-back changed the file");
        } else {
            const std::size_t start = kept + keptMark.size();
            const std::string saved = said.substr(start, said.find('\r', start) - start);
            Expect(Line(saved.c_str(), replaced) == (text.empty() ? std::string("NO_DATA") : text),
                   "the kept new text lacks the replaced line");
            for (int n = 0; n < FAST_FILE::kMaxLines && !changedOnDisk; ++n)
                if (n != replaced) Expect(Line(saved.c_str(), n) == before[n], "the kept new text lost a line");
            g_FastFile.FillBuffer(nullptr);
            Expect(std::remove(saved.c_str()) == 0, "the kept new text is not where the message says");
        }
    } else {
        // Other calls have ways around their failure (another staging
        // folder, a copy in place); a lost write or read has none.
        const bool needed = g_plan.failedKind == kWrite || g_plan.failedKind == kPread || g_plan.failedKind == kFtruncate ||
                            g_plan.failedKind == kFdatasync;
        Expect(!needed || g_plan.failedErrno == EINTR, "a write-back reported success although a write or read failed");
        for (int n = 0; n < FAST_FILE::kMaxLines; ++n) {
            const std::string after = Line(name.c_str(), n);
            if (n == replaced) {
                Expect(after == (text.empty() ? std::string("NO_DATA") : text), "the replaced line does not read back");
            } else if (!changedOnDisk) {
                Expect(after == before[n], "a line PUTFILE did not touch changed");
            }
        }
        g_FastFile.FillBuffer(nullptr);
        struct stat info {};
        if (viaSymlink) Expect(lstat(alias.c_str(), &info) == 0 && S_ISLNK(info.st_mode), "the symbolic link was replaced");
        if (hardLink) Expect(ReadAll(twin) == ReadAll(path), "the hard link was broken");
    }
    Expect(!failed || g_plan.failedKind >= 0 || changedOnDisk, "a write-back without a fault failed");
    Expect(Strangers(places.root, {"lines.txt", "twin.txt", "alias.txt", "tmp"}).empty(),
           "a staging file was left beside the line file");
    Expect(Strangers(places.temp, {"ErrorLog.txt"}).empty(), "a staging file was left in the temporary folder");
    g_FastFile.FillBuffer(nullptr);
    g_error = 0;
    return 0;
}
