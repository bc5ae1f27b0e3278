// Where kvbasic finds what a native program is built from: the runtime's
// headers and libraries, the default font, the media packer and the link
// flags. The build tree that built kvbasic is compiled in as the default;
// an installed SDK is chosen with --sdk DIR, the environment variable
// KVBASIC_SDK, or by kvbasic being DIR/bin/kvbasic. An SDK holds
// DIR/include (the runtime's headers, commands.h at the top), DIR/lib
// (libkvruntime.a, libkvmain.a), DIR/bin/shoebox_pack,
// DIR/share/kvbasic/Smalfont.bmp and optionally
// DIR/share/kvbasic/link_flags.txt (else the link flags of the build tree).
#pragma once

#include <string>
#include <vector>

namespace kvbasic {

struct Toolchain {
    std::string compiler;            // $CXX, else c++
    std::string includeDir;          // holds commands.h
    std::string libraryDir;          // holds libkvruntime.a and libkvmain.a
    std::string font;                // Smalfont.bmp, copied beside every program
    std::string packer;              // shoebox_pack, for single-file programs
    std::vector<std::string> compileFlags;  // besides -std=c++20 -O2
    std::string linkFlags;           // the runtime's libraries, for the shell
};

// The SDK in `sdkDir`, or the compiled-in build tree when it is empty.
Toolchain FindToolchain(const std::string& sdkDir);

}  // namespace kvbasic
