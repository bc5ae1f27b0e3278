// BASIC expressions evaluated over a paused call (watch, hover, the debug
// console, breakpoint conditions): parsed with the translator's parser,
// the operators computed with BASIC's semantics, variables, elements and
// fields read from the program by their channel paths, and the pure
// built-in functions computed by the runtime's own code. Anything else
// (a FUNCTION of the program, a command with effects) is refused with a
// text that says why.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "channel.h"

namespace kvdap {

struct Value {
    enum class Kind { Number, String, Structured } kind = Kind::Number;
    double number = 0;
    std::string text;        // a string's Latin-1 bytes
    ChannelValue structured; // an array, a record or an array of records
    std::string path;        // the channel path it was read from ("" for a computed value)
};

// Reads the value at a channel path (a `get`); nothing with `error`.
using FetchValue = std::function<std::optional<ChannelValue>(const std::string& path, std::string& error)>;

// Evaluates `expression` (UTF-8) with names read in `scope` (`F0`, `G`, ...).
std::optional<Value> Evaluate(std::string_view expression, const std::string& scope, const FetchValue& fetch,
                              std::string& error);

// The built-in functions Evaluate computes, upper case, for the docs and
// the error text.
const char* EvaluatedFunctions();

}  // namespace kvdap
