// kvbasic build --windows: a program cross-compiled with MinGW-w64 into a
// folder a Windows player runs it from (PROGRAM.exe, linked statically, so
// it needs no DLL beside it; the media and the default font beside it or,
// with --single-file, packed into it). The runtime
// for Windows is a build configured with the toolchain file
// windows/mingw-w64-x86_64.cmake, named with --sdk DIR or
// $KVBASIC_WINDOWS_SDK; it describes itself in windows_toolchain.txt: the
// compiler, the headers, the libraries, the font and every compile and link
// option, so that kvbasic links exactly as that build's own programs do.
#pragma once

#include <string>
#include <vector>

namespace kvbasic {

struct WindowsToolchain {
    std::string compiler;                   // the MinGW-w64 C++ compiler
    std::string libraryDir;                 // holds libkvruntime.a and libkvmain.a
    std::string font;                       // Smalfont.bmp, copied when the media lack it
    std::vector<std::string> includeDirs;   // the runtime's first (commands.h)
    std::vector<std::string> compileFlags;  // besides -std=c++20 and the optimisation
    std::vector<std::string> linkFlags;     // the libraries, word by word
    bool useLld = false;                    // links with ld.lld, found on PATH
};

// The Windows build named for kvbasic: `sdkDir` when given, else
// $KVBASIC_WINDOWS_SDK, else "".
std::string ChooseWindowsSdk(const std::string& sdkDir);

// Reads DIR/windows_toolchain.txt and checks that the runtime and the
// compiler are there; on failure `problem` says what is missing and what to
// run.
bool FindWindowsToolchain(const std::string& sdkDir, WindowsToolchain& toolchain, std::string& problem);

// Compiles one file of the translated program into `object`, with the
// runtime's header precompiled for Windows when one can be had (see
// PrecompiledHeaderFolder); "" on success, else the error message.
std::string CompileForWindows(const WindowsToolchain& toolchain, const std::string& optimisation,
                              const std::string& cpp, const std::string& object);

// Links the objects with the runtime into the program `exe`; "" on
// success, else the error message.
std::string LinkForWindows(const WindowsToolchain& toolchain, const std::vector<std::string>& objects,
                           const std::string& exe);

}  // namespace kvbasic
