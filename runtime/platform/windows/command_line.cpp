// The command line and standard handles of a program CreateProcess starts.
#include "platform/windows/command_line.h"

namespace platform::windows {

// One word of a command line as the C runtime's parser reads it back:
// quoted when it has a space, a tab or a quote (or is empty), its quotes
// escaped, and the backslashes before a quote doubled.
void AppendCommandLineWord(std::wstring* line, const std::wstring& word)
{
    if (!line->empty()) *line += L' ';
    if (!word.empty() && word.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        *line += word;
        return;
    }
    *line += L'"';
    std::size_t backslashes = 0;
    for (wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') backslashes = backslashes * 2 + 1;
        line->append(backslashes, L'\\');
        backslashes = 0;
        *line += c;
    }
    line->append(backslashes * 2, L'\\');
    *line += L'"';
}

// An inheritable copy of a standard handle, or null where there is none.
HANDLE InheritableCopy(HANDLE handle)
{
    HANDLE copy = nullptr;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE,
                         DUPLICATE_SAME_ACCESS))
        return nullptr;
    return copy;
}

}  // namespace platform::windows
