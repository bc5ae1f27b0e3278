#include "toolchain.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <sstream>

namespace kvbasic {

namespace {

std::vector<std::string> SplitWords(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// The first of `folders` that holds `file`; the last when none does (so
// that the error about the missing file names the installed layout).
std::string FolderHolding(const std::string& file, std::initializer_list<std::string> folders)
{
    for (const std::string& folder : folders)
        if (PathExists(folder + "/" + file)) return folder;
    return *(folders.end() - 1);
}

}  // namespace

bool PathExists(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

std::string CopyMediaAndFont(const std::string& media, const std::string& font,
                             const std::filesystem::path& folder)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) return "cannot create " + folder.string() + ": " + error.message();
    if (!media.empty()) {
        fs::recursive_directory_iterator entry(media, error), end;
        for (; !error && entry != end; entry.increment(error)) {
            if (entry->path().filename().string().starts_with(".")) {
                if (entry->is_directory()) entry.disable_recursion_pending();
                continue;
            }
            if (!entry->is_regular_file()) continue;
            const fs::path target = folder / fs::relative(entry->path(), media);
            fs::create_directories(target.parent_path(), error);
            if (!error) fs::copy_file(entry->path(), target, fs::copy_options::overwrite_existing, error);
            if (error) return "cannot copy " + entry->path().string() + ": " + error.message();
        }
        if (error) return "cannot read the media folder " + media + ": " + error.message();
    }
    if (!PathExists(folder / "Smalfont.bmp")) {
        fs::copy_file(font, folder / "Smalfont.bmp", error);
        if (error) return "cannot copy the default font " + font + ": " + error.message();
    }
    return "";
}

bool IsSdk(const std::string& sdkDir)
{
    return PathExists(sdkDir + "/include/commands.h") || PathExists(sdkDir + "/include/kvbasic/commands.h");
}

Toolchain FindToolchain(const std::string& sdkDir)
{
    Toolchain toolchain;
    const char* cxx = std::getenv("CXX");
    toolchain.compiler = cxx != nullptr && *cxx ? cxx : "c++";
    if (sdkDir.empty()) {
        toolchain.includeDir = KVBASIC_INCLUDE_DIR;
        toolchain.libraryDir = KVBASIC_LIBRARY_DIR;
        toolchain.font = KVBASIC_FONT;
        toolchain.packer = KVBASIC_PACKER;
        toolchain.compileFlags = SplitWords(KVBASIC_COMPILE_FLAGS);
        toolchain.linkFlags = KVBASIC_LINK_FLAGS;
        toolchain.linkerFlag = FindLinker(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "");
        return toolchain;
    }
    toolchain.includeDir = FolderHolding("commands.h", {sdkDir + "/include", sdkDir + "/include/kvbasic"});
    toolchain.libraryDir =
        FolderHolding("libkvruntime.a", {sdkDir + "/lib", sdkDir + "/lib/" + KVBASIC_MULTIARCH});
    toolchain.font = sdkDir + "/share/kvbasic/Smalfont.bmp";
    toolchain.packer = FolderHolding("shoebox_pack", {sdkDir + "/bin", sdkDir + "/libexec/kvbasic"}) + "/shoebox_pack";
    std::ifstream flags(sdkDir + "/share/kvbasic/link_flags");
    if (flags) {
        std::stringstream text;
        text << flags.rdbuf();
        toolchain.linkFlags = text.str();
        for (char& c : toolchain.linkFlags)
            if (c == '\n' || c == '\r') c = ' ';
    } else {
        toolchain.linkFlags = KVBASIC_LINK_FLAGS;
    }
    toolchain.linkerFlag = FindLinker(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "");
    return toolchain;
}

std::string FindLinker(const std::string& pathVariable)
{
    for (const char* linker : {"lld", "gold"}) {
        std::istringstream folders(pathVariable);
        for (std::string folder; std::getline(folders, folder, ':');)
            if (!folder.empty() && PathExists(folder + "/ld." + linker)) return std::string("-fuse-ld=") + linker;
    }
    return "";
}

std::string ShellWord(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

void AppendShellWord(std::string& command, const std::string& text, const char* separator)
{
    command += separator;
    command += ShellWord(text);
}

namespace fs = std::filesystem;

std::string HashName(const std::string& text)
{
    std::uint64_t hash = 1469598103934665603ull;
    for (const unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
    char name[17];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
    return name;
}

std::string CacheRoot()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && *cache == '/') return std::string(cache) + "/kvbasic";
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home == '/') return std::string(home) + "/.cache/kvbasic";
    return "";
}

namespace {

// The files of a make-style dependency list ("target: a.h b.h \\ ...").
std::vector<std::string> DependencyFiles(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::string all = text.str();
    const std::size_t colon = all.find(": ");
    std::vector<std::string> files;
    if (colon == std::string::npos) return files;
    for (const std::string& word : SplitWords(all.substr(colon + 1)))
        if (word != "\\") files.push_back(word);
    return files;
}

// True when the precompiled header is newer than every header it was made from.
bool UpToDate(const fs::path& header, const fs::path& dependencies)
{
    std::error_code error;
    const auto built = fs::last_write_time(header, error);
    if (error) return false;
    const std::vector<std::string> files = DependencyFiles(dependencies.string());
    if (files.empty()) return false;
    for (const std::string& file : files) {
        const auto changed = fs::last_write_time(file, error);
        if (error || changed > built) return false;
    }
    return true;
}

}  // namespace

bool IsUpToDate(const std::string& output, const std::string& dependencies)
{
    return UpToDate(output, dependencies);
}

std::string PrecompiledHeaderFolder(const Toolchain& toolchain, const std::vector<std::string>& compileFlags)
{
    return PrecompiledHeaderFolder(toolchain.compiler, {toolchain.includeDir}, compileFlags);
}

std::string PrecompiledHeaderFolder(const std::string& compiler, const std::vector<std::string>& includeDirs,
                                    const std::vector<std::string>& compileFlags)
{
    const std::string root = CacheRoot();
    if (root.empty() || includeDirs.empty()) return "";
    std::string key = compiler;
    for (const std::string& folder : includeDirs) {
        key += '\n';
        key += fs::absolute(folder).string();
    }
    for (const std::string& flag : compileFlags) key += "\n" + flag;
    const fs::path folder = fs::path(root) / HashName(key);
    const fs::path header = folder / "commands.h.gch";
    const fs::path dependencies = folder / "commands.h.d";
    if (UpToDate(header, dependencies)) return folder.string();

    // Built under private names and renamed into place, so that two builds
    // at once never see half a file.
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) return "";
    const fs::path wrapper = folder / "commands.h";
    {
        std::ofstream out(wrapper, std::ios::trunc);
        out << "#include \"" << (fs::absolute(includeDirs.front()) / "commands.h").string() << "\"\n";
        if (!out) return "";
    }
    const std::string suffix = ".tmp" + std::to_string(std::random_device()());
    const fs::path newHeader = header.string() + suffix;
    const fs::path newDependencies = dependencies.string() + suffix;
    std::string command = ShellWord(compiler);
    for (const std::string& flag : compileFlags) command += " " + ShellWord(flag);
    for (const std::string& folder : includeDirs) AppendShellWord(command, folder, " -I");
    command += " -x c++-header " + ShellWord(wrapper.string()) + " -o " +
               ShellWord(newHeader.string()) + " -MD -MF " + ShellWord(newDependencies.string()) + " 2>/dev/null";
    const bool built = std::system(command.c_str()) == 0;
    if (built) {
        fs::rename(newDependencies, dependencies, error);
        if (!error) fs::rename(newHeader, header, error);
    }
    fs::remove(newHeader, error);
    fs::remove(newDependencies, error);
    return built && UpToDate(header, dependencies) ? folder.string() : "";
}

}  // namespace kvbasic
