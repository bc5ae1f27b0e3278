// libFuzzer harness for the command-line splitter and joiner.
//
// The input is taken both as one command line (split, joined, split again:
// the same words) and as words separated by zero bytes (joined, then split:
// the same words back).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    const std::string line = bytes.substr(0, bytes.find('\0'));
    const std::vector<std::string> words = SplitCommandLine(line.c_str());
    if (SplitCommandLine(JoinCommandLine(words).c_str()) != words) std::abort();

    std::vector<std::string> given;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = bytes.find('\0', start);
        given.push_back(bytes.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (SplitCommandLine(JoinCommandLine(given).c_str()) != given) std::abort();
    return 0;
}
