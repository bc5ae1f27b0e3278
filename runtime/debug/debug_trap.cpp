#include "debug/debug_trap.h"

#include <climits>

#include "debug/debug_agent.h"

// No trap until the debugger has started: nothing reports a line before.
int g_debugCountdown = INT_MAX;

void __DebugTrap()
{
    kvdebug::DebugAgent::Get().OnLineReport();
}

void __SetDebugProgram(const KvDebugProgram* program)
{
    kvdebug::DebugAgent::Get().SetProgram(program);
}

void __DebugStart()
{
    kvdebug::DebugAgent::Get().Start();
}

__DebugScope::__DebugScope(const KvDebugVariable* variables, int count)
{
    kvdebug::DebugAgent::Get().EnterCall(variables, count);
}

__DebugScope::~__DebugScope()
{
    kvdebug::DebugAgent::Get().LeaveCall();
}
