#include "platform/web/unavailable.h"

#include <cstdio>
#include <set>
#include <string>

namespace platform::web {

void SayUnavailable(const char* what)
{
    static std::set<std::string> said;
    if (!said.insert(what).second) return;
    std::fprintf(stderr, "Zorvelin runtime: %s is not available in the browser\n", what);
}

}  // namespace platform::web
