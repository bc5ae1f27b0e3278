#include "files/fast_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/error_log.h"
#include "core/runtime_state.h"
#include "files/tz_file_system.h"
#include "platform/platform.h"

FAST_FILE g_FastFile;

namespace {

std::string AbsolutePath(const char* name)
{
    if (name[0] == '/') return name;
    std::string folder = platform::CurrentDirectory();
    if (folder.empty()) return name;
    if (folder.back() != '/') folder += '/';
    return folder + name;
}

}  // namespace

FAST_FILE::FAST_FILE()
{
    FillBuffer(nullptr);
}

FAST_FILE::~FAST_FILE()
{
    FillBuffer(nullptr);
}

bool FAST_FILE::IsSelected(const char* name) const
{
    // The same name only means the same file while it still resolves to the
    // same place: after a change of the working directory it is reloaded.
    return fileName[0] != 0 && std::strcmp(name, fileName) == 0 && AbsolutePath(name) == diskPath;
}

int FAST_FILE::FillBuffer(const char* name)
{
    if (name != nullptr && IsSelected(name)) return 0;
    WriteBack();
    Forget();
    if (name == nullptr) return 0;
    return Load(name);
}

void FAST_FILE::WriteBack()
{
    if (fileName[0] == 0 || !dirty) return;
    // Lines the table holds come from memory, the rest from the original.
    std::vector<platform::FilePiece> pieces(1);
    for (int i = 0; i <= lastLine; ++i) {
        if (lineIsCut[i]) {
            pieces.push_back({std::string(), lineOffset[i], lineLength[i]});
            pieces.emplace_back();
        } else {
            pieces.back().bytes += lines[i];
        }
        pieces.back().bytes += "\r\n";
    }
    if (loaded.size > restOffset) pieces.push_back({std::string(), restOffset, loaded.size - restOffset});
    std::string why;
    if (!platform::RewriteFile(diskPath.c_str(), pieces, loaded, &why)) {
        std::string message = std::string("PUTFILE changes to ") + fileName + " dropped: " + why;
        std::fprintf(stderr, "Zorvelin runtime: %s\n", message.c_str());
        AppendErrorLog(message.c_str());
    }
    dirty = false;
}

void FAST_FILE::Forget()
{
    for (int i = 0; i < kMaxLines; ++i) {
        lines[i][0] = 0;
        lineOffset[i] = 0;
        lineLength[i] = 0;
        lineIsCut[i] = false;
    }
    restOffset = 0;
    loaded = platform::FileStamp{};
    diskPath.clear();
    lastLine = 0;
    dirty = false;
    fileName[0] = 0;
}

int FAST_FILE::Load(const char* name)
{
    if (std::strlen(name) >= sizeof fileName) {
        std::fprintf(stderr, "Zorvelin runtime: line file name too long: %.80s...\n", name);
        __Error(3);
        return 3;
    }
    const std::string path = AbsolutePath(name);
    if (!platform::IsReadableFile(name)) {
        __Error(3);
        return 3;
    }
    // A file that could not be read stays unread until it changes: a
    // program asking for it every frame must not read it every frame.
    if (path == failedPath && platform::StampOf(name) == failedStamp) {
        __Error(3);
        return 3;
    }
    TzFileSystem file(std::fopen(name, "rb"));
    platform::FileStamp stamp = platform::StampOf(file.handle);
    std::string why;
    bool interrupted = false;
    if (file.handle == nullptr || !stamp.valid || !ReadTable(file.handle, &why, &interrupted)) {
        Forget();
        __Error(3);
        // Stopped on the way out: the program ends, nothing to remember.
        if (interrupted) return 3;
        if (why.empty()) why = std::string("cannot be read: ") + std::strerror(errno);
        std::fprintf(stderr, "Zorvelin runtime: line file %s %s\n", name, why.c_str());
        failedPath = path;
        failedStamp = stamp.valid ? stamp : platform::StampOf(name);
        return 3;
    }
    failedPath.clear();
    loaded = stamp;
    std::strcpy(fileName, name);
    diskPath = path;
    return 0;
}

bool FAST_FILE::ReadTable(std::FILE* file, std::string* why, bool* interrupted)
{
    // Lines end at a line feed, which goes, with a carriage return directly
    // before it. A file ending without a line feed still has its last line.
    // Reading stops after the 256th line: what follows is only ever copied.
    char buffer[65536];
    std::uint64_t position = 0;    // offset of the byte being looked at
    std::uint64_t start = 0;       // where the current line began
    std::uint64_t rawLength = 0;   // its bytes so far, line end included
    bool inLine = false, hasZero = false;
    char lastByte = 0;
    int line = 0;
    while (line < kMaxLines) {
        if (platform::TerminationRequested()) {
            *interrupted = true;
            return false;
        }
        std::size_t got = std::fread(buffer, 1, sizeof buffer, file);
        if (got == 0) break;
        for (std::size_t k = 0; k < got && line < kMaxLines; ++k, ++position) {
            char c = buffer[k];
            if (!inLine) {
                inLine = true;
                start = position;
                rawLength = 0;
                hasZero = false;
            }
            if (c == '\n') {
                EndLine(line, start, rawLength, true, lastByte, hasZero);
                lastLine = line++;
                inLine = false;
                lastByte = 0;
                continue;
            }
            if (rawLength > kMaxLineBytes) {
                *why = "cannot be loaded: line " + std::to_string(line) + " is longer than " +
                       std::to_string(kMaxLineBytes) + " bytes";
                return false;
            }
            if (rawLength < static_cast<std::uint64_t>(kLineChars)) lines[line][rawLength] = c;
            if (c == 0) hasZero = true;
            lastByte = c;
            ++rawLength;
        }
    }
    if (std::ferror(file)) return false;
    if (inLine && line < kMaxLines) {
        EndLine(line, start, rawLength, false, lastByte, hasZero);
        lastLine = line;
    }
    restOffset = position;
    return true;
}

void FAST_FILE::EndLine(int index, std::uint64_t start, std::uint64_t rawLength, bool lineFeed,
                        char lastByte, bool hasZero)
{
    std::uint64_t textLength = rawLength;
    if (lineFeed && textLength > 0 && lastByte == '\r') --textLength;
    std::uint64_t kept = textLength < static_cast<std::uint64_t>(kLineChars) ? textLength : kLineChars;
    lines[index][kept] = 0;
    lineOffset[index] = start;
    lineLength[index] = textLength;
    lineIsCut[index] = textLength > kept || hasZero;
}

int FAST_FILE::GetFile(const char* name, short n, KvStr& out)
{
    if (static_cast<unsigned short>(n) > kMaxLines - 1) {
        out = "NO_DATA";
        __Error(7);
        return 7;
    }
    if (FillBuffer(name) != 0) {
        out = "NO_FILE";
        return 3;
    }
    const char* line = lines[n];
    if (static_cast<int>(std::strlen(line)) > KvStr::kMaxStored) {
        // A string holds 1022 characters: the program gets the start of the
        // line rather than whatever its variable held before.
        char start[KvStr::kMaxStored + 1];
        std::memcpy(start, line, KvStr::kMaxStored);
        start[KvStr::kMaxStored] = 0;
        out = start;
        std::fprintf(stderr, "Zorvelin runtime: line %d of %s is cut to %d characters\n", n, name,
                     KvStr::kMaxStored);
    } else {
        out = line;
    }
    // Trailing control characters go (0x00 ... 0x1F; bytes of 0x80 and above
    // are letters of the code page and stay).
    char* text = out.GetStrData();
    int length = out.Length();
    while (length > 0 && static_cast<unsigned char>(text[length - 1]) < 0x20) text[--length] = 0;
    if (length == 0) out = "NO_DATA";
    return 0;
}

int FAST_FILE::PutFile(const char* name, short n, const char* text)
{
    if (static_cast<unsigned short>(n) > kMaxLines - 1) {
        __Error(7);
        return 7;
    }
    if (FillBuffer(name) != 0) return 3;
    std::size_t length = std::strlen(text);
    if (length > static_cast<std::size_t>(kLineChars)) length = kLineChars;
    std::memcpy(lines[n], text, length);
    lines[n][length] = 0;
    lineIsCut[n] = false;
    dirty = true;
    if (n > lastLine) lastLine = n;
    return 0;
}

void ReportInterruptedWriteBacks()
{
    for (const platform::InterruptedRewrite& rewrite : platform::FindInterruptedRewrites()) {
        const std::string message = "line file " + rewrite.target +
                                    " was not written back whole (a run ended while it was rewritten in place), "
                                    "so it may hold new lines up to some point and old ones after it; "
                                    "its whole new content is kept in " + rewrite.copy;
        std::fprintf(stderr, "Zorvelin runtime: %s\n", message.c_str());
        AppendErrorLog(message.c_str());
    }
}
