// Standard input read without waiting, a line at a time, on Windows: from a
// pipe what PeekNamedPipe says is there, from a file at once, and from the
// console a line once its Enter key is waiting in the console's input.
#include "platform/platform.h"

#include <windows.h>

#include <vector>

namespace platform {

namespace {

enum class Ready { Nothing, Bytes, Ended };

// Whether reading standard input now would not wait.
Ready InputReady(HANDLE input)
{
    switch (GetFileType(input)) {
    case FILE_TYPE_PIPE: {
        DWORD available = 0;
        if (!PeekNamedPipe(input, nullptr, 0, nullptr, &available, nullptr))
            return GetLastError() == ERROR_BROKEN_PIPE ? Ready::Ended : Ready::Nothing;
        return available > 0 ? Ready::Bytes : Ready::Nothing;
    }
    case FILE_TYPE_DISK:
        return Ready::Bytes;
    case FILE_TYPE_CHAR: {
        DWORD mode = 0;
        if (!GetConsoleMode(input, &mode)) return Ready::Bytes;  // a device such as NUL
        // The console hands out a line when Enter has been typed: look for
        // that key press among the waiting events without taking them.
        DWORD count = 0;
        if (!GetNumberOfConsoleInputEvents(input, &count) || count == 0) return Ready::Nothing;
        std::vector<INPUT_RECORD> events(count);
        DWORD peeked = 0;
        if (!PeekConsoleInputW(input, events.data(), count, &peeked)) return Ready::Nothing;
        for (DWORD i = 0; i < peeked; ++i) {
            const INPUT_RECORD& event = events[i];
            if (event.EventType == KEY_EVENT && event.Event.KeyEvent.bKeyDown &&
                event.Event.KeyEvent.uChar.UnicodeChar == L'\r')
                return Ready::Bytes;
        }
        return Ready::Nothing;
    }
    default:
        return Ready::Nothing;
    }
}

}  // namespace

int ReadConsoleLine(std::string* pending, std::string* line)
{
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    for (;;) {
        const std::size_t newline = pending->find('\n');
        if (newline != std::string::npos) {
            *line = pending->substr(0, newline);
            if (!line->empty() && line->back() == '\r') line->pop_back();
            pending->erase(0, newline + 1);
            return 1;
        }
        const Ready ready = input == nullptr || input == INVALID_HANDLE_VALUE ? Ready::Ended : InputReady(input);
        if (ready == Ready::Nothing) return 0;
        char buffer[512];
        DWORD got = 0;
        if (ready == Ready::Ended || !ReadFile(input, buffer, sizeof buffer, &got, nullptr) || got == 0) {
            // End of input: a last line without newline still counts.
            if (pending->empty()) return -1;
            *line = *pending;
            pending->clear();
            return 1;
        }
        pending->append(buffer, got);
        if (pending->size() > 64 * 1024) {  // a line without end: take what there is
            *line = *pending;
            pending->clear();
            return 1;
        }
    }
}

}  // namespace platform
