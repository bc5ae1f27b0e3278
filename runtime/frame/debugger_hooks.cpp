#include "frame/debugger_hooks.h"

KvDebuggerHooks g_debuggerHooks;
