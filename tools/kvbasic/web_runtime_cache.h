// The runtime for the browser, built by kvbasic itself into the user's cache
// ($XDG_CACHE_HOME/kvbasic/web-<hash>, else ~/.cache/kvbasic/web-<hash>):
// once, and again for the sources that changed since. It is built from the
// runtime's sources, which the source tree kvbasic was built from has, and
// which the installed SDK ships (share/kvbasic/browser, with the page and the
// link options), with the user's own Emscripten: a prebuilt WebAssembly
// runtime would tie the SDK to one Emscripten release and to SDL2 built
// for the web at package build time.
#pragma once

#include <string>

#include "web_build.h"

namespace kvbasic {

struct WebRuntimeSources {
    std::string runtimeDir;  // the runtime's sources and headers, commands.h at the top
    std::string webDir;      // pre.js, shell.html, link_options.txt, desktop_only_sources.txt
    std::string font;        // Smalfont.bmp
    std::string librariesScript;  // build-web-libraries: SDL2 & co for the web
};

// The sources of the installed SDK in `installedSdk`, or of the source tree
// kvbasic was built from when it is "".
WebRuntimeSources FindWebRuntimeSources(const std::string& installedSdk);

// Makes the cached runtime up to date and describes it in `toolchain`:
// builds SDL2 & co (SDL2_mixer, SDL2_image, SDL2_ttf, FreeType, LZO) for
// the web first when they are missing
// (the sources' build-web-libraries, into $KV_WEB_SYSROOT, else
// $XDG_CACHE_HOME/kvbasic-web/sysroot or ~/.cache/kvbasic-web/sysroot).
// On failure `problem` says what is missing and what to run.
bool PrepareWebRuntime(const WebRuntimeSources& sources, WebToolchain& toolchain, std::string& problem);

}  // namespace kvbasic
