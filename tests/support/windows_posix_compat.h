// The few POSIX calls the runtime's tests make for their own set-up, on
// Windows: setenv and unsetenv, mkdtemp. The Windows build of the tests
// includes this header before every source (windows/RuntimeTests.cmake).
//
// The tests name the temporary folder by TMPDIR, as on Linux. Windows'
// GetTempPath reads TMP (then TEMP), so setting TMPDIR sets those two as
// well, and removing it gives them back the values the process started
// with.
#pragma once

#ifdef _WIN32

#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace windows_posix_compat {

inline const std::string& StartValue(const char* name)
{
    static const std::string tmp = std::getenv("TMP") != nullptr ? std::getenv("TMP") : "";
    static const std::string temp = std::getenv("TEMP") != nullptr ? std::getenv("TEMP") : "";
    return std::strcmp(name, "TMP") == 0 ? tmp : temp;
}

// _putenv_s changes the C runtime's copy and the process environment that
// GetTempPath and child processes read; an empty value removes the name.
inline int Put(const char* name, const char* value)
{
    StartValue("TMP");  // taken before the first change
    return _putenv_s(name, value) == 0 ? 0 : -1;
}

}  // namespace windows_posix_compat

inline int setenv(const char* name, const char* value, int overwrite)
{
    if (!overwrite && std::getenv(name) != nullptr) return 0;
    if (std::strcmp(name, "TMPDIR") == 0) {
        windows_posix_compat::Put("TMP", value);
        windows_posix_compat::Put("TEMP", value);
    }
    return windows_posix_compat::Put(name, value);
}

inline int unsetenv(const char* name)
{
    if (std::strcmp(name, "TMPDIR") == 0) {
        windows_posix_compat::Put("TMP", windows_posix_compat::StartValue("TMP").c_str());
        windows_posix_compat::Put("TEMP", windows_posix_compat::StartValue("TEMP").c_str());
    }
    return windows_posix_compat::Put(name, "");
}

// Replaces the trailing XXXXXX of pattern by random letters and makes that
// folder; the pattern itself on success, null otherwise.
inline char* mkdtemp(char* pattern)
{
    const std::size_t length = std::strlen(pattern);
    if (length < 6 || std::strcmp(pattern + length - 6, "XXXXXX") != 0) return nullptr;
    static std::mt19937 random{std::random_device{}()};
    const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t i = length - 6; i < length; ++i) pattern[i] = letters[random() % (sizeof letters - 1)];
        std::error_code error;
        if (std::filesystem::create_directory(pattern, error)) return pattern;
        if (error) return nullptr;
    }
    return nullptr;
}

#endif
