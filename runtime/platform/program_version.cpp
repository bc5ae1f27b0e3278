#include "platform/program_version.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/platform.h"

#ifndef KV_RUNTIME_VERSION
#error "KV_RUNTIME_VERSION (the project's version) is defined by the build"
#endif

// Weak: a program whose build names no version leaves it undefined (null).
extern "C" __attribute__((weak)) const char KV_PROGRAM_VERSION[];

void AnswerVersionRequest(const char* commandLine)
{
    if (commandLine == nullptr || std::strcmp(commandLine, "--version") != 0) return;
    std::string name = platform::ModulePath();
    name = name.substr(name.find_last_of('/') + 1);
    if (name.empty()) name = "program";
    if (KV_PROGRAM_VERSION != nullptr)
        std::printf("%s %s\n", name.c_str(), KV_PROGRAM_VERSION);
    else
        std::printf("%s (kvruntime %s)\n", name.c_str(), KV_RUNTIME_VERSION);
    // A version that could not be written is no answer.
    std::exit(std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1);
}
