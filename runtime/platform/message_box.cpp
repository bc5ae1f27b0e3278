// Message boxes and the warning beep.
#include "platform/platform.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform {

namespace {

// The runtime's texts are 8-bit Windows-1252; SDL wants UTF-8. The letters
// the texts use (umlauts, sharp s) sit at the same codes in Latin-1.
std::string ToUtf8(const char* text)
{
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (*p < 0x80) {
            out += static_cast<char>(*p);
        } else {
            out += static_cast<char>(0xC0 | (*p >> 6));
            out += static_cast<char>(0x80 | (*p & 0x3F));
        }
    }
    return out;
}

}  // namespace

void ShowWarningBox(const char* caption, const char* text)
{
    if (std::getenv("KV_NO_MESSAGEBOX") != nullptr) {
        std::fprintf(stderr, "%s: %s\n", ToUtf8(caption).c_str(), ToUtf8(text).c_str());
        return;
    }
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, ToUtf8(caption).c_str(),
                                 ToUtf8(text).c_str(), nullptr) != 0)
        std::fprintf(stderr, "%s: %s\n", caption, text);
}

void Beep()
{
    // No system bell that reaches a desktop session reliably; the terminal
    // bell is the closest equivalent.
    std::fputc('\a', stderr);
    std::fflush(stderr);
}

}  // namespace platform
