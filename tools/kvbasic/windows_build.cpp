#include "windows_build.h"

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
    if (std::system(link.c_str()) == 0) return "";
    std::string problem = "linking ";
    return problem.append(exe).append(" for Windows failed");
}

}  // namespace kvbasic
