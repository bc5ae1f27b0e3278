// Other processes in the browser: a web page cannot start programs, so
// starting one fails as a program that cannot be found does.
#include "platform/platform.h"
#include "platform/web/unavailable.h"

namespace platform {

bool StartProgram(const std::vector<std::string>&, bool, int*)
{
    web::SayUnavailable("starting another program (SHELLCMD and the like)");
    return false;
}

bool RunProgramForOutput(const std::vector<std::string>&, std::string*, int*)
{
    web::SayUnavailable("starting another program (SHELLCMD and the like)");
    return false;
}

}  // namespace platform
