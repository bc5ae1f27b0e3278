// Turns BASIC source text into the syntax tree, one line at a time: a
// syntax error costs the rest of its line, and parsing goes on with the
// next line so that one run reports every error of the file.
#pragma once

#include <string_view>

#include "diagnostics.h"
#include "syntax_tree.h"

namespace kvbasic {

Program Parse(std::string_view source, Diagnostics& diagnostics);

// The reserved words of the language (not commands), upper case.
bool IsKeyword(std::string_view upperName);

}  // namespace kvbasic
