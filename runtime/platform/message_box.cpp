// Message boxes and the warning beep.
#include "platform/platform.h"

#include <SDL.h>
#include <langinfo.h>
#include <locale.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
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

bool EnvironmentLocaleIsUtf8()
{
    locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0)) return false;
    const bool utf8 = std::strcmp(nl_langinfo_l(CODESET, locale), "UTF-8") == 0;
    freelocale(locale);
    return utf8;
}

// SDL's X11 message box takes the locale from the environment while it is
// shown and draws the text through it: in a locale that is not UTF-8 (plain
// C, as without LANG) the text ends at its first letter beyond ASCII. For
// that time the environment names the UTF-8 variant of C instead.
class Utf8EnvironmentLocale {
public:
    Utf8EnvironmentLocale()
    {
        if (EnvironmentLocaleIsUtf8()) return;
        locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        if (utf8 == static_cast<locale_t>(0)) return;
        freelocale(utf8);
        if (const char* previous = std::getenv("LC_ALL")) {
            hadLcAll_ = true;
            previousLcAll_ = previous;
        }
        changed_ = setenv("LC_ALL", "C.UTF-8", 1) == 0;
    }
    ~Utf8EnvironmentLocale()
    {
        if (!changed_) return;
        if (hadLcAll_) setenv("LC_ALL", previousLcAll_.c_str(), 1);
        else unsetenv("LC_ALL");
    }
    Utf8EnvironmentLocale(const Utf8EnvironmentLocale&) = delete;
    Utf8EnvironmentLocale& operator=(const Utf8EnvironmentLocale&) = delete;

private:
    bool changed_ = false;
    bool hadLcAll_ = false;
    std::string previousLcAll_;
};

}  // namespace

void ShowWarningBox(const char* caption, const char* text)
{
    const std::string utf8Caption = ToUtf8(caption), utf8Text = ToUtf8(text);
    if (std::getenv("KV_NO_MESSAGEBOX") != nullptr) {
        std::fprintf(stderr, "%s: %s\n", utf8Caption.c_str(), utf8Text.c_str());
        return;
    }
    int shown = -1;
    {
        Utf8EnvironmentLocale utf8Locale;
        shown = SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, utf8Caption.c_str(), utf8Text.c_str(), nullptr);
    }
    if (shown != 0) std::fprintf(stderr, "%s: %s\n", utf8Caption.c_str(), utf8Text.c_str());
}

void Beep()
{
    // No system bell that reaches a desktop session reliably; the terminal
    // bell is the closest equivalent.
    std::fputc('\a', stderr);
    std::fflush(stderr);
}

}  // namespace platform
