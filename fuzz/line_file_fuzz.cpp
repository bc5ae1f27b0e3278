// libFuzzer harness for the line-file cache behind GETFILE and PUTFILE:
// loading arbitrary bytes as a line file, reading every line, replacing one
// and writing the file back.
//
// Input: one byte n (the line PUTFILE replaces), then the file itself.
// After the write-back the file is loaded again: line n holds the new text
// and every other line of the table reads as it did before.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/fast_file.h"
#include "frame/runtime_state.h"

namespace {

// The line file goes into a folder of this run's own.
const std::string& LineFilePath()
{
    static const std::string path = [] {
        std::string pattern = "/tmp/kvfuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        static std::string folder = pattern;
        // Write-back messages go to an error log there, not the user's.
        setenv("TMPDIR", folder.c_str(), 1);
        std::atexit([] {
            std::remove((folder + "/lines.txt").c_str());
            std::remove((folder + "/ErrorLog.txt").c_str());
            std::remove(folder.c_str());
        });
        return pattern + "/lines.txt";
    }();
    return path;
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
    if (size == 0) return 0;
    const int replaced = data[0];
    const char* name = LineFilePath().c_str();
    std::FILE* file = std::fopen(name, "wb");
    if (file == nullptr) std::abort();
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);

    std::string before[FAST_FILE::kMaxLines];
    for (int n = 0; n < FAST_FILE::kMaxLines; ++n) before[n] = Line(name, n);
    if (g_FastFile.PutFile(name, static_cast<short>(replaced), "fuzz") != 0) std::abort();
    g_FastFile.FillBuffer(nullptr);

    for (int n = 0; n < FAST_FILE::kMaxLines; ++n) {
        std::string after = Line(name, n);
        if (n == replaced ? after != "fuzz" : after != before[n]) std::abort();
    }
    g_FastFile.FillBuffer(nullptr);
    g_error = 0;
    return 0;
}
