// "<program> --version" on Windows. A program whose build names no version
// has the empty one of program_version_default.cpp (PE has no weak
// undefined symbols). The program's name is the module path's last part,
// after a backslash.
#include "platform/program_version.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"

#ifndef KV_RUNTIME_VERSION
#error "KV_RUNTIME_VERSION (the project's version) is defined by the build"
#endif

void AnswerVersionRequest(const char* commandLine)
{
    if (commandLine == nullptr || std::string(commandLine) != "--version") return;
    std::string name = platform::ModulePath();
    name = name.substr(name.find_last_of("\\/") + 1);
    if (name.empty()) name = "program";
    if (KV_PROGRAM_VERSION[0] != 0)
        std::printf("%s %s\n", name.c_str(), KV_PROGRAM_VERSION);
    else
        std::printf("%s (kvruntime %s)\n", name.c_str(), KV_RUNTIME_VERSION);
    // A version that could not be written is no answer.
    std::exit(std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1);
}
