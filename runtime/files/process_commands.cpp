#include "files/process_commands.h"

#include "core/runtime_state.h"
#include "files/command_line.h"
#include "platform/platform.h"

KvStr g_cmdline;

double SHELLCMD(KvStr commandLine, double wait, double, double& exitCode)
{
    exitCode = 0;
    int code = 0;
    const bool waitForEnd = wait != 0;
    const bool started = platform::StartProgram(SplitCommandLine(commandLine.GetStrData()), waitForEnd, &code);
    // SIGINT or SIGTERM during the wait: the program ends at once; the
    // started program runs on by itself.
    if (platform::TerminationRequested()) __EndProgram();
    if (!started) return 0;
    if (waitForEnd) exitCode = code;
    return 1;
}

KvStr GETCOMMANDLINE_Str()
{
    return g_cmdline;
}
