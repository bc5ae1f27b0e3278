// Runs a fuzz harness's entry point over saved inputs without libFuzzer:
// every file named, and every file in the folders named (in name order),
// once each. The test build links it with each harness (fuzz/<name>.cpp)
// and its sanitizers, so that the corpus kept in the tree and every past
// crasher (fuzz/crashers/<name>/) are replayed by every test run; a
// harness that aborts or a sanitizer report fails the test.
//
//   fuzz_replay_<name> FOLDER_OR_FILE...
//
// A folder that does not exist counts as empty; no input at all is a
// failure (a corpus gone missing must not pass unnoticed).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Defined by the harnesses that set themselves up once.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
    std::vector<fs::path> inputs;
    for (int k = 1; k < argc; ++k) {
        const fs::path named = argv[k];
        std::error_code error;
        if (fs::is_directory(named, error)) {
            std::vector<fs::path> files;
            for (const auto& entry : fs::directory_iterator(named, error))
                if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') files.push_back(entry.path());
            std::sort(files.begin(), files.end());
            inputs.insert(inputs.end(), files.begin(), files.end());
        } else if (fs::is_regular_file(named, error)) {
            inputs.push_back(named);
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "replay: no inputs in the folders and files named\n");
        return 1;
    }
    for (const fs::path& input : inputs) {
        std::ifstream in(input, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.eof() && in.fail()) {
            std::fprintf(stderr, "replay: cannot read %s\n", input.c_str());
            return 1;
        }
        // Printed before the run, so that the last line names the input of a crash.
        std::fprintf(stdout, "replay: %s (%zu bytes)\n", input.c_str(), bytes.size());
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::fprintf(stdout, "replay: %zu inputs, none failed\n", inputs.size());
    return 0;
}
