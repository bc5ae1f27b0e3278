#include "toolchain.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
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

bool Exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// The first of `folders` that holds `file`; the last when none does (so
// that the error about the missing file names the installed layout).
std::string FolderHolding(const std::string& file, std::initializer_list<std::string> folders)
{
    for (const std::string& folder : folders)
        if (Exists(folder + "/" + file)) return folder;
    return *(folders.end() - 1);
}

}  // namespace

bool IsSdk(const std::string& sdkDir)
{
    return Exists(sdkDir + "/include/commands.h") || Exists(sdkDir + "/include/kvbasic/commands.h");
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
    return toolchain;
}

}  // namespace kvbasic
