#include "windows_build.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "toolchain.h"

namespace kvbasic {

namespace {

namespace fs = std::filesystem;

std::string HowToBuild(const std::string& sdkDir)
{
    return "build it with cmake -S <source> -B " + sdkDir +
           " -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=<source>/windows/mingw-w64-x86_64.cmake"
           " and cmake --build " + sdkDir + " --target kvruntime kvmain (scripts/install-windows-deps installs the"
           " cross compiler and builds the libraries)";
}

// The words of one command as the compiler driver's -### prints them:
// separated by spaces, a word with spaces or quotes in double quotes with
// \" and \\ inside.
std::vector<std::string> DriverWords(const std::string& line)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (std::size_t at = 0; at < line.size(); ++at) {
        const char c = line[at];
        if (quoted) {
            if (c == '"') quoted = false;
            else word += c == '\\' && at + 1 < line.size() ? line[++at] : c;
        } else if (c == ' ') {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == '"') quoted = true;
            else word += c;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

// The command the driver would link with (`driver` plus -###: collect2
// with the GNU linker's options), without the linker plugin; empty when it
// names none.
std::vector<std::string> LinkerCommandOf(std::string driver)
{
    driver += " -fno-use-linker-plugin -### 2>&1";
    std::FILE* output = popen(driver.c_str(), "r");
    if (output == nullptr) return {};
    std::string text;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, output)) > 0;) text.append(buffer, got);
    if (pclose(output) != 0) return {};
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> words = DriverWords(line);
        if (!words.empty() && fs::path(words[0]).filename() == "collect2") return words;
    }
    return {};
}

}  // namespace

std::string ChooseWindowsSdk(const std::string& sdkDir)
{
    if (!sdkDir.empty()) return sdkDir;
    const char* fromEnvironment = std::getenv("KVBASIC_WINDOWS_SDK");
    if (fromEnvironment != nullptr && *fromEnvironment) return fromEnvironment;
    return "";
}

bool FindWindowsToolchain(const std::string& sdkDir, WindowsToolchain& toolchain, std::string& problem)
{
    if (sdkDir.empty()) {
        problem = "--windows needs the runtime built for Windows: name its build with --sdk DIR or "
                  "KVBASIC_WINDOWS_SDK; " + HowToBuild("DIR");
        return false;
    }
    std::ifstream description(fs::path(sdkDir) / "windows_toolchain.txt");
    if (!description) {
        problem = "no runtime for Windows in " + sdkDir + ": " + HowToBuild(sdkDir);
        return false;
    }
    for (std::string line; std::getline(description, line);) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (key == "compiler") toolchain.compiler = value;
        else if (key == "include") toolchain.includeDirs.push_back(value);
        else if (key == "library") toolchain.libraryDir = value;
        else if (key == "font") toolchain.font = value;
        else if (key == "compile") toolchain.compileFlags.push_back(value);
        else if (key == "link") toolchain.linkFlags.push_back(value);
    }
    for (const char* library : {"libkvruntime.a", "libkvmain.a"}) {
        if (!PathExists(fs::path(toolchain.libraryDir) / library)) {
            problem = "the runtime for Windows is not built yet (" + toolchain.libraryDir + "/" + library +
                      " is missing): run cmake --build " + sdkDir + " --target kvruntime kvmain";
            return false;
        }
    }
    if (toolchain.includeDirs.empty() || !PathExists(fs::path(toolchain.includeDirs.front()) / "commands.h")) {
        problem = "no runtime headers named by " + sdkDir + "/windows_toolchain.txt";
        return false;
    }
    const char* path = std::getenv("PATH");
    toolchain.useLld = FindLinker(path != nullptr ? path : "") == "-fuse-ld=lld";
    if (toolchain.compiler.empty() || !PathExists(toolchain.compiler)) {
        problem = "the cross compiler " + toolchain.compiler + " is missing: install it with scripts/install-windows-deps";
        return false;
    }
    return true;
}

std::string CompileForWindows(const WindowsToolchain& toolchain, const std::string& optimisation,
                              const std::string& cpp, const std::string& object)
{
    std::vector<std::string> flags = {"-std=c++20", optimisation};
    flags.insert(flags.end(), toolchain.compileFlags.begin(), toolchain.compileFlags.end());
    const std::string precompiled = PrecompiledHeaderFolder(toolchain.compiler, toolchain.includeDirs, flags);
    std::string compile = ShellWord(toolchain.compiler);
    for (const std::string& flag : flags) AppendShellWord(compile, flag);
    if (!precompiled.empty()) AppendShellWord(compile, precompiled, " -I");
    for (const std::string& folder : toolchain.includeDirs) AppendShellWord(compile, folder, " -I");
    AppendShellWord(compile, cpp, " -c ");
    AppendShellWord(compile, object, " -o ");
    if (std::system(compile.c_str()) == 0) return "";
    std::string problem = "the C++ compiler for Windows failed on ";
    return problem += cpp;
}

std::string LinkForWindows(const WindowsToolchain& toolchain, const std::vector<std::string>& objects,
                           const std::string& exe)
{
    std::string link = ShellWord(toolchain.compiler);
    for (const std::string& object : objects) AppendShellWord(link, object);
    AppendShellWord(link, exe, " -o ");
    for (const char* library : {"libkvmain.a", "libkvruntime.a"})
        AppendShellWord(link, (fs::path(toolchain.libraryDir) / library).string());
    for (const std::string& flag : toolchain.linkFlags) AppendShellWord(link, flag);
    // The GNU linker takes about a second of CPU for the static libraries,
    // three times as long as ld.lld, which links for MinGW as well when
    // given the GNU linker's options (-m i386pep): it is run with the
    // options the driver would give the GNU linker.
    if (toolchain.useLld) {
        const std::vector<std::string> words = LinkerCommandOf(link);
        if (!words.empty()) {
            link = "ld.lld";
            for (std::size_t k = 1; k < words.size(); ++k) AppendShellWord(link, words[k]);
        }
    }
    if (std::system(link.c_str()) == 0) return "";
    std::string problem = "linking ";
    return problem.append(exe).append(" for Windows failed");
}

}  // namespace kvbasic
