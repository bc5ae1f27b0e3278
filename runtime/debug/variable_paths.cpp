#include "debug/variable_paths.h"

#include <cctype>
#include <cstdlib>

namespace kvdebug {

namespace {

bool IsNameCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
}

// A run of name characters from `at`; empty when none.
std::string NameAt(const std::string& text, std::size_t& at)
{
    const std::size_t start = at;
    while (at < text.size() && IsNameCharacter(text[at])) ++at;
    return text.substr(start, at - start);
}

// "(3)", "(1, 2)" from `at`, the parenthesis included.
bool IndicesAt(const std::string& text, std::size_t& at, std::vector<double>& indices)
{
    ++at;  // '('
    for (;;) {
        const char* start = text.c_str() + at;
        char* end = nullptr;
        const double index = std::strtod(start, &end);
        if (end == start) return false;
        indices.push_back(index);
        at += static_cast<std::size_t>(end - start);
        while (at < text.size() && text[at] == ' ') ++at;
        if (at >= text.size()) return false;
        if (text[at] == ')') {
            ++at;
            return true;
        }
        if (text[at] != ',') return false;
        ++at;
    }
}

}  // namespace

bool ParseScope(const std::string& text, Scope& scope)
{
    if (text == "G") {
        scope = Scope{'G', 0};
        return true;
    }
    if (text.size() < 2 || (text[0] != 'L' && text[0] != 'F') || text.size() > 7) return false;
    for (std::size_t k = 1; k < text.size(); ++k)
        if (!std::isdigit(static_cast<unsigned char>(text[k]))) return false;
    scope = Scope{text[0], std::atoi(text.c_str() + 1)};
    return true;
}

bool ParsePath(const std::string& text, VariablePath& path, std::string& problem)
{
    problem = "not a variable path: " + text;
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || !ParseScope(text.substr(0, colon), path.scope)) return false;
    std::size_t at = colon + 1;
    path.name = NameAt(text, at);
    if (path.name.empty()) return false;
    while (at < text.size()) {
        PathStep step;
        if (text[at] == '(') {
            if (!IndicesAt(text, at, step.indices)) return false;
        } else if (text[at] == '.') {
            ++at;
            step.isField = true;
            step.field = NameAt(text, at);
            if (step.field.empty()) return false;
        } else {
            return false;
        }
        path.steps.push_back(std::move(step));
    }
    problem.clear();
    return true;
}

bool FollowSteps(const ValuePlace& variable, const VariablePath& path, ValuePlace& place, std::string& problem)
{
    place = variable;
    std::string walked = path.name;
    for (const PathStep& step : path.steps) {
        if (step.isField) {
            if (place.kind != KvDebugKind::Record) {
                problem = walked + " is not a record";
                return false;
            }
            int found = -1;
            for (int k = 0; k < place.type->fieldCount; ++k)
                if (step.field == place.type->fields[k].name) found = k;
            if (found < 0) {
                problem = std::string("TYPE ") + place.type->name + " has no field " + step.field;
                return false;
            }
            place = FieldOf(place, found);
            walked += "." + step.field;
            continue;
        }
        if (!IsArray(place)) {
            problem = walked + " is not an array";
            return false;
        }
        ValuePlace element;
        if (!ElementAt(place, step.indices.data(), static_cast<int>(step.indices.size()), element, problem)) {
            problem = walked + ": " + problem;
            return false;
        }
        place = element;
        walked += "(...)";
    }
    return true;
}

}  // namespace kvdebug
