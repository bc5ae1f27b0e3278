// Text between the runtime and the Windows API. The runtime's strings are
// 8-bit Latin-1 (a BASIC string's bytes are its characters), and so are the
// file names it hands over; Windows keeps names as UTF-16. Latin-1 is the
// first 256 code points of Unicode, so a name converts byte for byte, on any
// code page the system is set to: "Größe.txt" stays "Größe.txt".
#pragma once

#include <windows.h>

#include <string>

namespace platform::windows {

std::wstring WideFromLatin1(const char* text);
std::wstring WideFromLatin1(const std::string& text);
// False when the text holds a character beyond Latin-1, which no runtime
// string can carry; *out then holds '?' in its place.
bool Latin1FromWide(const wchar_t* text, std::string* out);
// A path from the system in Latin-1. A path with a character beyond Latin-1
// (a user name in another script, say) is asked for in its short 8.3 form,
// which names the same file in plain letters. Empty when neither works.
std::string Latin1Path(const std::wstring& path);
// What the system says about an error code (FormatMessage), on one line.
std::string SystemErrorText(DWORD code);

}  // namespace platform::windows
