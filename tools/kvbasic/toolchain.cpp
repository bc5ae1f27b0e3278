#include "toolchain.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// The flat layout's path when it exists, else the installed layout's.
std::string Either(const std::string& flat, const std::string& installed)
{
    return Exists(flat) ? flat : installed;
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
    toolchain.includeDir = Either(sdkDir + "/include/commands.h", sdkDir + "/include/kvbasic/commands.h");
    toolchain.includeDir.erase(toolchain.includeDir.size() - std::string("/commands.h").size());
    toolchain.libraryDir = Either(sdkDir + "/lib/libkvruntime.a", sdkDir + "/" KVBASIC_INSTALL_LIBDIR "/libkvruntime.a");
    toolchain.libraryDir.erase(toolchain.libraryDir.size() - std::string("/libkvruntime.a").size());
    toolchain.font = sdkDir + "/share/kvbasic/Smalfont.bmp";
    toolchain.packer = Either(sdkDir + "/bin/shoebox_pack", sdkDir + "/libexec/kvbasic/shoebox_pack");
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
