#include "platform/windows/random_names.h"

#include <windows.h>
#include <bcrypt.h>

namespace platform::windows {

namespace {
constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr std::size_t kRandomLength = 6;
}  // namespace

std::string RandomName(const std::string& prefix)
{
    unsigned char random[kRandomLength];
    if (BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) return std::string();
    std::string name = prefix;
    for (unsigned char byte : random) name += kLetters[byte % (sizeof kLetters - 1)];
    return name;
}

bool IsRandomNameOf(const std::string& name, const std::string& prefix)
{
    if (name.size() != prefix.size() + kRandomLength || name.compare(0, prefix.size(), prefix) != 0) return false;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

}  // namespace platform::windows
