#include "core/debugger_hooks.h"

KvDebuggerHooks g_debuggerHooks;
