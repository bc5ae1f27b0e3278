// Names no one can guess for the files the platform makes beside others
// (a rewrite's staged copy, its note): a prefix and six random letters or
// digits from the system's random number generator.
#pragma once

#include <string>

namespace platform::windows {

// prefix and six random characters; empty when the system gives no random
// bytes.
std::string RandomName(const std::string& prefix);
// True for prefix followed by exactly six letters or digits.
bool IsRandomNameOf(const std::string& name, const std::string& prefix);

}  // namespace platform::windows
