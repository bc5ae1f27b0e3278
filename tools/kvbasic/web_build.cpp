#include "web_build.h"

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
    return "build it with emcmake cmake -S <source> -B " + sdkDir +
           " -G Ninja -DKV_WEB=ON -DCMAKE_BUILD_TYPE=Release -DKVBASIC_EXECUTABLE=<native kvbasic> and cmake --build " +
           sdkDir + " --target kvruntime kvmain, or leave out --sdk and KVBASIC_WEB_SDK: kvbasic then builds its own";
}

}  // namespace

std::string ChooseWebSdk(const std::string& sdkDir)
{
    if (!sdkDir.empty()) return sdkDir;
    const char* fromEnvironment = std::getenv("KVBASIC_WEB_SDK");
    if (fromEnvironment != nullptr && *fromEnvironment) return fromEnvironment;
    return "";
}

std::string FindOnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');)
        if (!folder.empty() && PathExists(fs::path(folder) / program)) return (fs::path(folder) / program).string();
    return "";
}

bool FindWebToolchain(const std::string& sdkDir, WebToolchain& toolchain, std::string& problem)
{
    std::ifstream description(fs::path(sdkDir) / "web_toolchain.txt");
    if (!description) {
        problem = "no runtime for the web in " + sdkDir + ": " + HowToBuild(sdkDir);
        return false;
    }
    for (std::string line; std::getline(description, line);) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (key == "include") toolchain.includeDir = value;
        else if (key == "library") toolchain.libraryDir = value;
        else if (key == "font") toolchain.font = value;
        else if (key == "environment") toolchain.environment = value;
        else if (key == "compile") toolchain.compileFlags.push_back(value);
        else if (key == "link") {
            std::istringstream words(value);
            for (std::string word; words >> word;) toolchain.linkFlags.push_back(word);
        }
    }
    for (const char* library : {"libkvruntime.a", "libkvmain.a"}) {
        if (!PathExists(fs::path(toolchain.libraryDir) / library)) {
            problem = "the runtime for the web is not built yet (" + toolchain.libraryDir + "/" + library +
                      " is missing): run cmake --build " + sdkDir + " --target kvruntime kvmain";
            return false;
        }
    }
    if (!PathExists(fs::path(toolchain.includeDir) / "commands.h")) {
        problem = "no runtime headers in " + toolchain.includeDir + " (named by " + sdkDir + "/web_toolchain.txt)";
        return false;
    }
    toolchain.compiler = FindOnPath("em++");
    if (toolchain.compiler.empty()) {
        problem = "em++ (Emscripten) is not on PATH: install it with scripts/install-web-deps";
        return false;
    }
    return true;
}

std::string BuildWebProgram(const WebToolchain& toolchain, const WebProgram& program)
{
    const fs::path object = fs::path(program.work) / "program.o";
    std::string compile = ShellWord(toolchain.compiler) + " -std=c++20 " + program.optimisation;
    for (const std::string& flag : toolchain.compileFlags) compile += " " + ShellWord(flag);
    compile += " -I" + ShellWord(toolchain.includeDir) + " -c " + ShellWord(program.cpp) + " -o " +
               ShellWord(object.string());
    if (std::system(compile.c_str()) != 0) return "the C++ compiler for the web failed on " + program.cpp;

    const fs::path staged = fs::path(program.work) / "media";
    const std::string problem = CopyMediaAndFont(program.media, toolchain.font, staged);
    if (!problem.empty()) return problem;
    std::error_code error;
    fs::create_directories(program.output, error);
    if (error) return "cannot create " + program.output + ": " + error.message();

    // The media land in /media; the page copies them into /app, the
    // program's folder (web/pre.js).
    std::string link = toolchain.environment.empty() ? "" : "env " + ShellWord(toolchain.environment) + " ";
    link += ShellWord(toolchain.compiler) + " " + program.optimisation + " " + ShellWord(object.string()) + " -o " +
            ShellWord((fs::path(program.output) / "index.html").string());
    for (const char* library : {"libkvmain.a", "libkvruntime.a"})
        link += " " + ShellWord((fs::path(toolchain.libraryDir) / library).string());
    for (const std::string& flag : toolchain.linkFlags) link += " " + ShellWord(flag);
    link += " --preload-file " + ShellWord(staged.string() + "@/media");
    if (std::system(link.c_str()) != 0) return "linking " + program.output + "/index.html for the web failed";
    return "";
}

}  // namespace kvbasic
