// The line-file cache behind GETFILE and PUTFILE, on two files of 256 lines:
//   - GETFILE of the cached file (one file, opened once) against GETFILE
//     alternating between the two files (each call reloads): what the cache
//     saves;
//   - GETFILE alternating against the least a reload must do: fopen, one
//     fread of the whole file, fclose;
//   - PUTFILE alternating (each call writes the other file back through a
//     replaced file, then loads this one) against the least that must do:
//     the whole text written to a new file renamed over the old one, then
//     one fread of the other file.
// Variants run in turn in the same process, one warm-up round, then
// repetitions of batches; per call, minimum and median of the main thread's
// CPU time (wall beside it in the output). Prints RESULT rows (see
// bench/support/measure.h).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "commands.h"
#include "files/fast_file.h"
#include "support/measure.h"

namespace {

constexpr int kFileLines = 256;

// A folder with two files of 256 lines, the working directory meanwhile.
class LineFiles {
public:
    LineFiles()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kvbench.XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        folder = pattern;
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        std::ostringstream lines;
        for (int i = 0; i < kFileLines; ++i) lines << "line number " << i << " with some text\r\n";
        text = lines.str();
        for (const char* name : {"a.txt", "b.txt"}) std::ofstream(name, std::ios::binary) << text;
    }
    ~LineFiles()
    {
        g_FastFile.FillBuffer(nullptr);
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }

    std::string text;  // what each file holds

private:
    std::filesystem::path folder, previous;
};

std::size_t ReadWhole(const char* name)
{
    static char buffer[1 << 16];
    std::FILE* file = std::fopen(name, "rb");
    if (file == nullptr) std::abort();
    const std::size_t size = std::fread(buffer, 1, sizeof buffer, file);
    std::fclose(file);
    return size;
}

void WriteReplacing(const char* name, const std::string& text)
{
    const std::string temporary = std::string(".~") + name;
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) std::abort();
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    if (std::rename(temporary.c_str(), name) != 0) std::abort();
}

// Per call: the samples of a batch divided by its calls.
bench::Samples PerCall(const bench::Samples& batch, int calls)
{
    bench::Samples each = batch;
    for (double& t : each.wall) t /= calls;
    for (double& t : each.cpu) t /= calls;
    return each;
}

std::string MinMedianCpu(const bench::Samples& s)
{
    return bench::Duration(s.minCpu()) + " / " + bench::Duration(s.medianCpu());
}

}  // namespace

int main()
{
    LineFiles files;
    KvStr text;
    volatile std::size_t sink = 0;
    const int cachedCalls = 20000, switchingCalls = 500, repetitions = 9;

    int line = 0;
    auto cachedGet = [&] {
        for (int i = 0; i < cachedCalls; ++i) {
            GETFILE("a.txt", line, text);
            line = (line + 1) & (kFileLines - 1);
        }
        sink = static_cast<unsigned char>(text.GetAt(0));
    };
    auto switchingGet = [&] {
        for (int i = 0; i < switchingCalls; ++i) GETFILE(i % 2 ? "b.txt" : "a.txt", 7, text);
        sink = static_cast<unsigned char>(text.GetAt(0));
    };
    auto bareReload = [&] {
        std::size_t bytes = 0;
        for (int i = 0; i < switchingCalls; ++i) bytes += ReadWhole(i % 2 ? "b.txt" : "a.txt");
        sink = bytes;
    };
    auto switchingPut = [&] {
        for (int i = 0; i < switchingCalls; ++i) PUTFILE(i % 2 ? "b.txt" : "a.txt", 7, KvStr("changed"));
        g_FastFile.FillBuffer(nullptr);  // the last change reaches the disk too
    };
    auto bareWriteAndReload = [&] {
        std::size_t bytes = 0;
        for (int i = 0; i < switchingCalls; ++i) {
            WriteReplacing(i % 2 ? "a.txt" : "b.txt", files.text);
            bytes += ReadWhole(i % 2 ? "b.txt" : "a.txt");
        }
        sink = bytes;
    };

    bench::Samples cached, switching, reload, put, writeReload;
    bench::Interleave(1, repetitions, {&cached, &switching, &reload, &put, &writeReload}, cachedGet, switchingGet,
                      bareReload, switchingPut, bareWriteAndReload);
    const bench::Samples cachedEach = PerCall(cached, cachedCalls), switchingEach = PerCall(switching, switchingCalls),
                         reloadEach = PerCall(reload, switchingCalls), putEach = PerCall(put, switchingCalls),
                         writeReloadEach = PerCall(writeReload, switchingCalls);
    std::printf("per call:\n  GETFILE cached      %s\n  GETFILE switching   %s\n  fopen+fread         %s\n"
                "  PUTFILE switching   %s\n  write+rename+fread  %s\n",
                bench::Summary(cachedEach).c_str(), bench::Summary(switchingEach).c_str(),
                bench::Summary(reloadEach).c_str(), bench::Summary(putEach).c_str(),
                bench::Summary(writeReloadEach).c_str());

    bench::Result("GETFILE of the cached file, per call (min / median cpu); ratio: switching over cached",
                  MinMedianCpu(cachedEach), MinMedianCpu(switchingEach) + " (switching between two files)",
                  bench::Number(switchingEach.medianCpu() / cachedEach.medianCpu(), "%.0f×"), "", "-");
    bench::Result("GETFILE switching between two 256-line files (reload per call), per call (min / median cpu)",
                  MinMedianCpu(switchingEach), MinMedianCpu(reloadEach) + " (fopen, fread, fclose)",
                  bench::Number(reloadEach.medianCpu() / switchingEach.medianCpu(), "%.2f"), "", "-");
    bench::Result("PUTFILE switching between two files (write-back + reload per call), per call (min / median cpu)",
                  MinMedianCpu(putEach), MinMedianCpu(writeReloadEach) + " (write, rename, fread)",
                  bench::Number(writeReloadEach.medianCpu() / putEach.medianCpu(), "%.2f"), "", "-");
    return 0;
}
