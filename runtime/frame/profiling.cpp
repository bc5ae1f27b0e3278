#include "frame/profiling.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frame/profile_report.h"
#include "frame/profile_samples.h"
#include "platform/platform.h"

namespace {

bool g_profiling = false;  // the timer runs and a report is due

const char* ProfileFile()
{
    const char* file = std::getenv("KV_PROFILE");
    return file != nullptr && *file ? file : nullptr;
}

}  // namespace

void StartProfilingIfRequested()
{
    if (g_profiling || ProfileFile() == nullptr) return;
    g_profiling = platform::StartProfileTimer(RecordProfileSample, kProfileIntervalMicroseconds);
}

void FinishProfiling()
{
    if (!g_profiling) return;
    g_profiling = false;
    platform::StopProfileTimer();
    const char* path = ProfileFile();
    std::FILE* out = path != nullptr ? std::fopen(path, "w") : nullptr;
    if (out == nullptr) {
        // The report is not lost: it goes to stderr instead.
        std::fprintf(stderr, "Zorvelin runtime: cannot write the profile to %s: %s\n", path != nullptr ? path : "",
                     std::strerror(errno));
        out = stderr;
    }
    WriteProfileReport(out, ProfileCounts(), kProfileIntervalMicroseconds);
    if (out != stderr && std::fclose(out) != 0)
        std::fprintf(stderr, "Zorvelin runtime: cannot write the profile to %s: %s\n", path, std::strerror(errno));
    std::fflush(stderr);
}
