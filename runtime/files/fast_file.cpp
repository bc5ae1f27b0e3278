#include "files/fast_file.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "files/tz_file_system.h"
#include "frame/runtime_state.h"
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

// The whole file, or false when it cannot be opened or read.
bool ReadWholeFile(const char* name, std::string& bytes)
{
    if (!platform::IsReadableFile(name)) return false;
    TzFileSystem file(std::fopen(name, "rb"));
    if (file.handle == nullptr) return false;
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.handle)) > 0) bytes.append(buffer, got);
    return std::ferror(file.handle) == 0;
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
    std::string bytes;
    for (int i = 0; i <= lastLine; ++i) {
        if (uncut[i].empty())
            bytes += lines[i];
        else
            bytes += uncut[i];
        bytes += "\r\n";
    }
    bytes += rest;
    std::string why;
    if (!platform::ReplaceFileContents(diskPath.c_str(), bytes, &why))
        std::fprintf(stderr, "Zorvelin runtime: changes to line file %s are lost: %s\n",
                     fileName, why.c_str());
    dirty = false;
}

void FAST_FILE::Forget()
{
    for (int i = 0; i < kMaxLines; ++i) {
        lines[i][0] = 0;
        uncut[i].clear();
        uncut[i].shrink_to_fit();
    }
    rest.clear();
    rest.shrink_to_fit();
    diskPath.clear();
    lastLine = 0;
    dirty = false;
    fileName[0] = 0;
}

int FAST_FILE::Load(const char* name)
{
    std::string bytes;
    bool read = false;
    if (std::strlen(name) < sizeof fileName) {
        try {
            read = ReadWholeFile(name, bytes);
        } catch (const std::bad_alloc&) {
            std::fprintf(stderr, "Zorvelin runtime: line file %s is too large to read\n", name);
        }
    }
    if (!read) {
        __Error(3);
        return 3;
    }

    // Lines end at a line feed, which goes, with a carriage return directly
    // before it. A file ending without a line feed still has its last line.
    std::size_t position = 0;
    for (int i = 0; i < kMaxLines && position < bytes.size(); ++i) {
        std::size_t lineFeed = bytes.find('\n', position);
        std::size_t end = lineFeed == std::string::npos ? bytes.size() : lineFeed;
        std::size_t textEnd = end;
        if (lineFeed != std::string::npos && textEnd > position && bytes[textEnd - 1] == '\r') --textEnd;
        StoreLine(i, bytes.data() + position, textEnd - position);
        lastLine = i;
        position = lineFeed == std::string::npos ? bytes.size() : lineFeed + 1;
    }
    rest.assign(bytes, position, std::string::npos);

    std::strcpy(fileName, name);
    diskPath = AbsolutePath(name);
    return 0;
}

void FAST_FILE::StoreLine(int index, const char* text, std::size_t length)
{
    std::size_t kept = length < static_cast<std::size_t>(kLineChars) ? length : kLineChars;
    std::memcpy(lines[index], text, kept);
    lines[index][kept] = 0;
    if (kept < length || std::memchr(text, 0, length) != nullptr) uncut[index].assign(text, length);
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
    uncut[n].clear();
    dirty = true;
    if (n > lastLine) lastLine = n;
    return 0;
}
