// Message boxes and the warning beep on Windows: MessageBox and MessageBeep.
#include "platform/platform.h"
#include "platform/windows/windows_text.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform {

namespace {

// The runtime's texts are 8-bit Latin-1; a console shows them through its
// wide calls (its own code page is not Latin-1), a pipe or file gets UTF-8
// as on Linux.
void SayOnStandardError(const char* caption, const char* text)
{
    const std::wstring line = windows::WideFromLatin1(std::string(caption) + ": " + text + "\n");
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    DWORD written = 0;
    if (error != nullptr && error != INVALID_HANDLE_VALUE && GetConsoleMode(error, &mode) &&
        WriteConsoleW(error, line.data(), static_cast<DWORD>(line.size()), &written, nullptr))
        return;
    std::string utf8;
    for (wchar_t c : line) {
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    std::fputs(utf8.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace

void ShowWarningBox(const char* caption, const char* text)
{
    if (std::getenv("KV_NO_MESSAGEBOX") != nullptr) {
        SayOnStandardError(caption, text);
        return;
    }
    const int shown = MessageBoxW(nullptr, windows::WideFromLatin1(text).c_str(),
                                  windows::WideFromLatin1(caption).c_str(),
                                  MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TASKMODAL);
    if (shown == 0) SayOnStandardError(caption, text);
}

void Beep()
{
    MessageBeep(MB_ICONWARNING);
}

}  // namespace platform
