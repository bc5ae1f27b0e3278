#include "platform/windows/windows_text.h"

namespace platform::windows {

std::wstring WideFromLatin1(const char* text)
{
    std::wstring wide;
    if (text == nullptr) return wide;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c != 0; ++c)
        wide.push_back(static_cast<wchar_t>(*c));
    return wide;
}

std::wstring WideFromLatin1(const std::string& text)
{
    std::wstring wide;
    wide.reserve(text.size());
    for (unsigned char c : text) wide.push_back(static_cast<wchar_t>(c));
    return wide;
}

bool Latin1FromWide(const wchar_t* text, std::string* out)
{
    out->clear();
    bool whole = true;
    for (const wchar_t* c = text; *c != 0; ++c) {
        if (*c <= 0xFF) {
            out->push_back(static_cast<char>(*c));
        } else {
            out->push_back('?');
            whole = false;
        }
    }
    return whole;
}

std::string Latin1Path(const std::wstring& path)
{
    std::string latin1;
    if (Latin1FromWide(path.c_str(), &latin1)) return latin1;
    const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (size == 0) return std::string();
    std::wstring shortPath(size, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), size);
    if (length == 0 || length >= size) return std::string();
    shortPath.resize(length);
    if (Latin1FromWide(shortPath.c_str(), &latin1)) return latin1;
    return std::string();
}

std::string SystemErrorText(DWORD code)
{
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    std::string text;
    if (length > 0 && message != nullptr) Latin1FromWide(message, &text);
    if (message != nullptr) LocalFree(message);
    // The system's texts end in a full stop and CR LF.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                             text.back() == '.'))
        text.pop_back();
    if (text.empty()) text = "error " + std::to_string(code);
    return text;
}

}  // namespace platform::windows
