// What starting another program with CreateProcess needs: its command line
// built word by word, and the standard handles it inherits.
#pragma once

#include <windows.h>

#include <string>

namespace platform::windows {

// Appends one word as the C runtime's command-line parser reads it back:
// quoted when it has a space, a tab or a quote (or is empty), its quotes
// escaped, and the backslashes before a quote doubled.
void AppendCommandLineWord(std::wstring* line, const std::wstring& word);
// An inheritable copy of a standard handle, or null where there is none.
HANDLE InheritableCopy(HANDLE handle);

}  // namespace platform::windows
