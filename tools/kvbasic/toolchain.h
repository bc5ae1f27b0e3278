// Where kvbasic finds what a native program is built from: the runtime's
// headers and libraries, the default font, the media packer and the link
// flags. The build tree that built kvbasic is compiled in as the default;
// an installed SDK is chosen with --sdk DIR, the environment variable
// KVBASIC_SDK, or by kvbasic being DIR/bin/kvbasic. An SDK comes in one of
// two layouts:
//   flat       DIR/include (the runtime's headers, commands.h at the top),
//              DIR/lib (libkvruntime.a, libkvmain.a), DIR/bin/shoebox_pack
//   installed  as the Debian package puts it under /usr: DIR/include/kvbasic,
//              DIR/lib/<multiarch> (the multiarch folder of the platform
//              kvbasic was built for), DIR/libexec/kvbasic/shoebox_pack
// and in both DIR/share/kvbasic/Smalfont.bmp and optionally
// DIR/share/kvbasic/link_flags (else the link flags of the build tree).
#pragma once

#include <filesystem>
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
    // The fastest linker found on PATH for the compiler driver:
    // "-fuse-ld=lld", else "-fuse-ld=gold", else "" (the default linker).
    std::string linkerFlag;
};

// True when `sdkDir` holds the runtime's headers in either layout.
bool IsSdk(const std::string& sdkDir);

// The SDK in `sdkDir`, or the compiled-in build tree when it is empty.
Toolchain FindToolchain(const std::string& sdkDir);

// "-fuse-ld=lld" when ld.lld is in one of the folders of `pathVariable`
// (a PATH value), else "-fuse-ld=gold" for ld.gold, else "".
std::string FindLinker(const std::string& pathVariable);

// text as one word for the shell, in single quotes.
std::string ShellWord(const std::string& text);

// Appends `separator` (" ", " -I", ...) and text as one word for the shell
// to a command. Piece by piece: `" " + ShellWord(...)` makes GCC 12 warn
// wrongly (-Wrestrict) at -O2 and above about the temporary string.
void AppendShellWord(std::string& command, const std::string& text, const char* separator = " ");

// Whether anything is at `path`; an unreadable folder on the way counts as
// nothing there.
bool PathExists(const std::filesystem::path& path);

// Copies the files of the folder `media` (none when it is "") into `folder`,
// made when missing, leaving out hidden files and folders, and adds the
// default font `font` as Smalfont.bmp when the media have none. Returns ""
// or what went wrong.
std::string CopyMediaAndFont(const std::string& media, const std::string& font,
                             const std::filesystem::path& folder);

// FNV-1a of text as 16 hexadecimal digits: names a cache folder after what
// its contents were made from.
std::string HashName(const std::string& text);

// The user's cache folder for kvbasic: $XDG_CACHE_HOME/kvbasic, else
// ~/.cache/kvbasic; "" when neither can be named.
std::string CacheRoot();

// True when `output` is newer than every file of the make-style dependency
// list in `dependencies` (as the compiler's -MD writes it).
bool IsUpToDate(const std::string& output, const std::string& dependencies);

// A folder holding commands.h precompiled for `compileFlags` (the exact
// flags of the compilation that will use it, -O level included), to be put
// on the include path before the runtime's headers. It lives in the user's
// cache ($XDG_CACHE_HOME/kvbasic, else ~/.cache/kvbasic), one folder per
// compiler, flags and SDK, and is built on first use and again whenever a
// header it was made from changed. "" when it cannot be made: the program
// then compiles from the headers themselves, only slower.
std::string PrecompiledHeaderFolder(const Toolchain& toolchain, const std::vector<std::string>& compileFlags);

// The same for any compiler (the cross compiler for Windows among them):
// commands.h is in includeDirs.front(), the headers it includes in any of
// them.
std::string PrecompiledHeaderFolder(const std::string& compiler, const std::vector<std::string>& includeDirs,
                                    const std::vector<std::string>& compileFlags);

}  // namespace kvbasic
