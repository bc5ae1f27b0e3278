#include "toolchain.h"

#include <cstdlib>
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

}  // namespace

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
    toolchain.includeDir = sdkDir + "/include";
    toolchain.libraryDir = sdkDir + "/lib";
    toolchain.font = sdkDir + "/share/kvbasic/Smalfont.bmp";
    toolchain.packer = sdkDir + "/bin/shoebox_pack";
    std::ifstream flags(sdkDir + "/share/kvbasic/link_flags.txt");
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
