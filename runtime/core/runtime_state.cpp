#include "core/runtime_state.h"

#include <cstdio>

#include "core/call_depth.h"
#include "core/debugger_hooks.h"
#include "core/error_log.h"
#include "core/error_report.h"
#include "core/kvstr.h"
#include "platform/platform.h"

int KV_RESX = 640;
int KV_RESY = 480;
int KV_FULLSCREEN = 1;
int KV_FRAMERATE = 60;
int KV_DEBUG = 1;
int KV_WANTMOUSE = 0;

double g_error = 0;
double g_errorline = 0;
double g_debugline = 0;
double g_debugfile = 0;

namespace {

KvProgramExit g_programExit = nullptr;

[[noreturn]] void LeaveProgram(bool fatal)
{
    if (g_programExit != nullptr) g_programExit(fatal);
    WriteClosingReport(fatal);
    platform::ExitProcess(fatal ? 1 : 0);
}

}  // namespace

void SetProgramExit(KvProgramExit exit)
{
    g_programExit = exit;
}

void __Error(double code)
{
    g_error = code;
    g_errorline = g_debugline;
    if (g_debuggerHooks.error != nullptr) [[unlikely]]
        g_debuggerHooks.error(code, false);
}

void __FatalError(double code)
{
    g_error = code;
    g_errorline = g_debugline;
    // A debugger shows the error while the program's state is all there.
    if (g_debuggerHooks.error != nullptr) [[unlikely]]
        g_debuggerHooks.error(code, true);
    LeaveProgram(true);
}

void __EndProgram()
{
    LeaveProgram(false);
}

void WriteClosingReport(bool fatal)
{
    if (KV_DEBUG != 0) {
        char text[64];
        AppendErrorLog("-End On Line");
        for (double value : {g_error, g_errorline, g_debugline, g_debugfile}) {
            NumberToText(value, text, sizeof text);
            AppendErrorLog(text);
        }
    }
    if (fatal) {
        ReportRuntimeError(stderr, g_error, g_errorline, g_debugfile);
        ReportCalls(stderr, g_callStack, g_callDepth, g_errorline, g_debugfile);
        std::fflush(stderr);
    }
}
