// kvbasic build --web: a program compiled with Emscripten into a folder of
// static files a browser plays from any web server (index.html, index.js,
// index.wasm, index.data). The runtime for the web is the one kvbasic
// keeps in the user's cache (web_runtime_cache.h), or, named with --sdk DIR
// or $KVBASIC_WEB_SDK, a build configured with -DKV_WEB=ON, which
// describes itself in web_toolchain.txt: the headers, the libraries, the
// font and every compile and link option, so that kvbasic links exactly as
// that build's own programs do.
#pragma once

#include <string>
#include <vector>

namespace kvbasic {

struct WebToolchain {
    std::string compiler;                  // em++, from PATH
    std::string includeDir;                // holds commands.h
    std::string libraryDir;                // holds libkvruntime.a and libkvmain.a
    std::string font;                      // Smalfont.bmp, preloaded when the media lack it
    std::string environment;               // NAME=VALUE for the linker, or ""
    std::vector<std::string> compileFlags;  // besides -std=c++20 -O2
    std::vector<std::string> linkFlags;     // the libraries and the page's options, word by word
};

// The web build named for kvbasic: `sdkDir` when given, else
// $KVBASIC_WEB_SDK, else "" (the runtime in the user's cache).
std::string ChooseWebSdk(const std::string& sdkDir);

// The path of `program` in the first folder of PATH that has it, or "".
std::string FindOnPath(const std::string& program);

// Reads DIR/web_toolchain.txt and checks that the runtime and em++ are
// there; on failure `problem` says what is missing and what to run.
bool FindWebToolchain(const std::string& sdkDir, WebToolchain& toolchain, std::string& problem);

struct WebProgram {
    std::string cpp;          // the translated program
    std::string optimisation;  // -O0 or -O2
    std::string media;        // preloaded as the program's folder
    std::string output;       // the folder that receives index.html & co
    std::string work;         // a private temporary folder
};

// Compiles and links the program into `output`; "" on success, else the
// error message.
std::string BuildWebProgram(const WebToolchain& toolchain, const WebProgram& program);

}  // namespace kvbasic
