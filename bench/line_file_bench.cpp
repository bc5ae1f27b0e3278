// The line-file cache: reading lines of one file (opened once) against
// alternating between two files (reloaded every time).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "commands.h"
#include "files/fast_file.h"

namespace {

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
        for (const char* name : {"a.txt", "b.txt"}) {
            std::ofstream out(name, std::ios::binary);
            for (int i = 0; i < 256; ++i) out << "line number " << i << " with some text\r\n";
        }
    }
    ~LineFiles()
    {
        g_FastFile.FillBuffer(nullptr);
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }

private:
    std::filesystem::path folder, previous;
};

void BM_GetFileOneFile(benchmark::State& state)
{
    LineFiles files;
    KvStr text;
    int line = 0;
    for (auto _ : state) {
        GETFILE("a.txt", line, text);
        line = (line + 1) & 255;
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_GetFileOneFile);

void BM_GetFileAlternatingFiles(benchmark::State& state)
{
    LineFiles files;
    KvStr text;
    bool first = true;
    for (auto _ : state) {
        GETFILE(first ? "a.txt" : "b.txt", 7, text);
        first = !first;
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_GetFileAlternatingFiles);

void BM_PutFileAlternatingFiles(benchmark::State& state)
{
    // Every switch writes the changed file back through a replaced file.
    LineFiles files;
    bool first = true;
    for (auto _ : state) {
        PUTFILE(first ? "a.txt" : "b.txt", 7, KvStr("changed"));
        first = !first;
    }
}
BENCHMARK(BM_PutFileAlternatingFiles);

}  // namespace
