#include "web_runtime_cache.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <thread>
#include <vector>

#include "toolchain.h"

namespace kvbasic {

namespace {

namespace fs = std::filesystem;

// The lines of a data file that are not empty and no comment.
std::vector<std::string> DataLines(const fs::path& file)
{
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') lines.push_back(line);
    return lines;
}

std::string EnvironmentOr(const char* name, const std::string& otherwise)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value ? value : otherwise;
}

// Where build-web-libraries puts SDL2 & co (the same rule as the script's).
std::string WebSysroot()
{
    const char* home = std::getenv("HOME");
    const std::string cache = EnvironmentOr("XDG_CACHE_HOME", std::string(home != nullptr ? home : "") + "/.cache");
    return EnvironmentOr("KV_WEB_SYSROOT", EnvironmentOr("KV_WEB_CACHE", cache + "/kvbasic-web") + "/sysroot");
}

// In link order: each before the libraries it calls.
const char* const kWebLibraries[] = {"libSDL2_ttf.a",   "libfreetype.a", "libSDL2_image.a",
                                     "libSDL2_mixer.a", "libSDL2.a",     "liblzo2.a"};

// How every runtime source is compiled (besides its include folders and
// defines): as the CMake web build's Release configuration, without the
// warnings, which are the developers' business.
constexpr const char* kRuntimeFlags = "-std=c++20 -O3 -DNDEBUG -w";

bool HasWebLibraries(const std::string& sysroot)
{
    for (const char* library : kWebLibraries)
        if (!PathExists(fs::path(sysroot) / "lib" / library)) return false;
    return true;
}

// One source of the runtime and what it compiles to.
struct RuntimeSource {
    fs::path source;
    std::string object;  // in the cache folder, without its folder
};

// Every source of the web runtime below runtimeDir: the folders
// runtime/layers.txt lists (the CMake builds take the same list) with the
// browser's platform files, but not the desktop-only files or the entry
// point (which is libkvmain.a's).
std::vector<RuntimeSource> RuntimeSources(const WebRuntimeSources& sources)
{
    std::vector<std::string> desktopOnly = DataLines(fs::path(sources.webDir) / "desktop_only_sources.txt");
    desktopOnly.push_back("frame/entry_main.cpp");
    std::vector<std::string> folders = DataLines(fs::path(sources.runtimeDir) / "layers.txt");
    folders.push_back("platform/web");
    std::vector<RuntimeSource> found;
    std::error_code error;
    for (const std::string& folder : folders) {
        std::vector<fs::path> candidates;
        for (const auto& file : fs::directory_iterator(fs::path(sources.runtimeDir) / folder, error))
            candidates.push_back(file.path());
        for (const fs::path& path : candidates) {
            if (path.extension() != ".cpp") continue;
            const std::string relative = fs::relative(path, sources.runtimeDir).generic_string();
            if (std::find(desktopOnly.begin(), desktopOnly.end(), relative) != desktopOnly.end()) continue;
            std::string object = relative;
            std::replace(object.begin(), object.end(), '/', '_');
            found.push_back({path, object + ".o"});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const RuntimeSource& a, const RuntimeSource& b) { return a.object < b.object; });
    return found;
}

// The compiler call for one runtime source, written to temporary names and
// renamed into place: an interrupted build leaves no half object behind.
std::string CompileCommand(const std::string& compiler, const WebRuntimeSources& sources, const std::string& sysroot,
                           const RuntimeSource& file, const fs::path& cache, const std::string& suffix)
{
    const fs::path object = cache / file.object;
    std::string command = ShellWord(compiler) + " " + kRuntimeFlags;
    command += " -include " + ShellWord((fs::path(sources.runtimeDir) / "gl" / "gl_calls.h").string());
    // Only runtime/gl calls OpenGL directly.
    if (file.source.parent_path().filename() == "gl") command += " -DKV_GL_OWNER";
    if (file.source.filename() == "program_version.cpp") command += " '-DKV_RUNTIME_VERSION=\"" KVBASIC_VERSION "\"'";
    command += " -I" + ShellWord(sources.runtimeDir) + " -I" + ShellWord(sysroot + "/include") + " -I" +
               ShellWord(sysroot + "/include/SDL2");
    const std::string newDependencies = object.string() + ".d" + suffix, newObject = object.string() + suffix;
    command += " -MD -MF " + ShellWord(newDependencies) + " -c " + ShellWord(file.source.string()) + " -o " +
               ShellWord(newObject);
    command += " && mv " + ShellWord(newDependencies) + " " + ShellWord(object.string() + ".d") + " && mv " +
               ShellWord(newObject) + " " + ShellWord(object.string());
    return command;
}

// Runs the commands, one a line, a few at a time (xargs -P); true when all
// succeeded.
bool RunAll(const std::vector<std::string>& commands, const fs::path& listFile)
{
    {
        std::ofstream list(listFile, std::ios::trunc);
        for (const std::string& command : commands) list << command << "\n";
        if (!list) return false;
    }
    const unsigned jobs = std::max(1u, std::min(std::thread::hardware_concurrency(), 8u));
    const std::string run = "xargs -d '\\n' -n 1 -P " + std::to_string(jobs) + " sh -c < " + ShellWord(listFile.string());
    return std::system(run.c_str()) == 0;
}

std::string Archive(const std::string& archiver, const fs::path& archive, const std::vector<std::string>& objects,
                    const fs::path& cache, const std::string& suffix)
{
    const fs::path staged = archive.string() + suffix;
    std::error_code error;
    fs::remove(staged, error);
    std::string command = "cd " + ShellWord(cache.string()) + " && " + ShellWord(archiver) + " rcs " +
                          ShellWord(staged.filename().string());
    for (const std::string& object : objects) command += " " + ShellWord(object);
    if (std::system(command.c_str()) != 0) return "cannot archive " + archive.string();
    fs::rename(staged, archive, error);
    if (error) return "cannot write " + archive.string() + ": " + error.message();
    return "";
}

// SDL2 & co for the web in `sysroot`, built by the sources' script when
// they are missing.
bool EnsureWebLibraries(const WebRuntimeSources& sources, const std::string& sysroot, std::string& problem)
{
    if (HasWebLibraries(sysroot)) return true;
    std::cerr << "kvbasic: building SDL2 and its companions, FreeType and LZO for the web once, into " << sysroot << " (some minutes)\n";
    const std::string command = "KV_WEB_SYSROOT=" + ShellWord(sysroot) + " " + ShellWord(sources.librariesScript);
    if (std::system(command.c_str()) == 0 && HasWebLibraries(sysroot)) return true;
    problem = "SDL2 and its companions, FreeType and LZO for the web could not be built into " + sysroot + " by " +
              sources.librariesScript + " (it needs dpkg-dev and the archive's deb-src lines, which "
              "scripts/install-web-deps adds)";
    return false;
}

// The cache folder of one compiler (its path and date: an upgrade gets a
// fresh runtime), set of runtime sources, libraries and compile flags.
fs::path CacheFolder(const std::string& compiler, const WebRuntimeSources& sources, const std::string& sysroot)
{
    std::error_code error;
    const auto compilerDate = fs::last_write_time(fs::canonical(compiler, error), error);
    const std::string key = compiler + "\n" + std::to_string(compilerDate.time_since_epoch().count()) + "\n" +
                            fs::absolute(sources.runtimeDir).string() + "\n" + sysroot + "\n" + kRuntimeFlags +
                            "\n" KVBASIC_VERSION;
    return fs::path(CacheRoot()) / ("web-" + HashName(key));
}

std::string ReadText(const fs::path& file)
{
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Compiles what is missing or older than a file it was made from, and
// makes the archives again when an object changed or the list of sources
// did (a source added or removed). Each file is made under a name of this
// run's own and renamed into place, so that two builds at once never see
// half a file. "" on success, else the error message.
std::string UpdateRuntime(const std::string& compiler, const std::string& archiver, const WebRuntimeSources& sources,
                          const std::string& sysroot, const fs::path& cache)
{
    const std::string suffix = ".tmp" + std::to_string(std::random_device()());
    const std::vector<RuntimeSource> files = RuntimeSources(sources);
    const RuntimeSource entry{fs::path(sources.runtimeDir) / "frame" / "entry_main.cpp", "frame_entry_main.cpp.o"};
    std::vector<std::string> commands, runtimeObjects;
    std::string objectList;
    for (const RuntimeSource& file : files) {
        runtimeObjects.push_back(file.object);
        objectList += file.object + "\n";
    }
    std::vector<RuntimeSource> all = files;
    all.push_back(entry);
    for (const RuntimeSource& file : all) {
        const std::string object = (cache / file.object).string();
        if (!IsUpToDate(object, object + ".d"))
            commands.push_back(CompileCommand(compiler, sources, sysroot, file, cache, suffix));
    }
    std::error_code error;
    if (!commands.empty()) {
        std::cerr << "kvbasic: building the runtime for the web into " << cache.string() << " (" << commands.size()
                  << " of " << all.size() << " files)\n";
        const fs::path commandFile = cache / ("compile.txt" + suffix);
        const bool compiled = RunAll(commands, commandFile);
        fs::remove(commandFile, error);
        if (!compiled) return "compiling the runtime for the web failed (in " + cache.string() + ")";
    }
    const fs::path runtimeArchive = cache / "libkvruntime.a", mainArchive = cache / "libkvmain.a";
    const fs::path listFile = cache / "objects.txt";
    if (commands.empty() && ReadText(listFile) == objectList && PathExists(runtimeArchive) && PathExists(mainArchive)) return "";
    std::string problem = Archive(archiver, runtimeArchive, runtimeObjects, cache, suffix);
    if (problem.empty()) problem = Archive(archiver, mainArchive, {entry.object}, cache, suffix);
    if (problem.empty()) std::ofstream(listFile, std::ios::trunc) << objectList;
    return problem;
}

// What a program is compiled and linked with against the cached runtime.
void DescribeToolchain(const WebRuntimeSources& sources, const std::string& sysroot, const fs::path& cache,
                       WebToolchain& toolchain)
{
    toolchain.includeDir = sources.runtimeDir;
    toolchain.libraryDir = cache.string();
    toolchain.font = sources.font;
    // Emscripten's JavaScript optimizer needs Debian's acorn module, which
    // a Node.js from elsewhere does not look for.
    if (PathExists("/usr/share/nodejs/acorn")) toolchain.environment = "NODE_PATH=/usr/share/nodejs";
    toolchain.compileFlags = {"-I" + sysroot + "/include", "-I" + sysroot + "/include/SDL2"};
    toolchain.linkFlags.clear();
    for (const char* library : kWebLibraries) toolchain.linkFlags.push_back(sysroot + "/lib/" + library);
    for (const std::string& line : DataLines(fs::path(sources.webDir) / "link_options.txt")) {
        std::istringstream words(line);
        for (std::string word; words >> word;) {
            for (std::size_t at; (at = word.find("@WEB@")) != std::string::npos;) word.replace(at, 5, sources.webDir);
            toolchain.linkFlags.push_back(word);
        }
    }
}

}  // namespace

WebRuntimeSources FindWebRuntimeSources(const std::string& installedSdk)
{
    WebRuntimeSources sources;
    if (installedSdk.empty()) {
        sources.runtimeDir = KVBASIC_INCLUDE_DIR;
        sources.webDir = KVBASIC_WEB_DIR;
        sources.font = KVBASIC_FONT;
        sources.librariesScript = KVBASIC_WEB_LIBRARIES_SCRIPT;
    } else {
        sources.webDir = installedSdk + "/share/kvbasic/browser";
        sources.runtimeDir = sources.webDir + "/runtime";
        sources.font = installedSdk + "/share/kvbasic/Smalfont.bmp";
        sources.librariesScript = installedSdk + "/libexec/kvbasic/build-web-libraries";
    }
    return sources;
}

bool PrepareWebRuntime(const WebRuntimeSources& sources, WebToolchain& toolchain, std::string& problem)
{
    toolchain.compiler = FindOnPath("em++");
    const std::string archiver = FindOnPath("emar");
    if (toolchain.compiler.empty() || archiver.empty()) {
        problem = "em++ (Emscripten) is not on PATH: install it (apt-get install emscripten, or scripts/install-web-deps "
                  "in the source tree)";
        return false;
    }
    if (!PathExists(fs::path(sources.runtimeDir) / "commands.h") || !PathExists(fs::path(sources.webDir) / "link_options.txt")) {
        problem = "no runtime sources for the web in " + sources.runtimeDir + " and " + sources.webDir +
                  " (or name a web build with --sdk DIR)";
        return false;
    }
    if (CacheRoot().empty()) {
        problem = "no cache folder for the web runtime: set HOME or XDG_CACHE_HOME";
        return false;
    }
    const std::string sysroot = WebSysroot();
    if (!EnsureWebLibraries(sources, sysroot, problem)) return false;
    const fs::path cache = CacheFolder(toolchain.compiler, sources, sysroot);
    std::error_code error;
    fs::create_directories(cache, error);
    if (error) {
        problem = "cannot create " + cache.string() + ": " + error.message();
        return false;
    }
    problem = UpdateRuntime(toolchain.compiler, archiver, sources, sysroot, cache);
    if (!problem.empty()) return false;
    DescribeToolchain(sources, sysroot, cache, toolchain);
    return true;
}

}  // namespace kvbasic
