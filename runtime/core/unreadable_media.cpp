#include "core/unreadable_media.h"

#include <cstdio>
#include <set>

#include "core/error_log.h"

namespace {

// Enough for every file a game loads; past that, further files are still
// said, only no longer remembered.
constexpr std::size_t kRemembered = 1024;

}  // namespace

void ReportUnreadableMedia(const char* kind, const char* name, const std::string& why)
{
    static std::set<std::string> said;
    const std::string message = std::string(kind) + " " + (name != nullptr ? name : "") + " cannot be read: " + why;
    if (said.count(message) != 0) return;
    if (said.size() < kRemembered) said.insert(message);
    std::fprintf(stderr, "Zorvelin runtime: %s\n", message.c_str());
    AppendErrorLog(message.c_str());
}
