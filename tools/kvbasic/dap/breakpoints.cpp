#include "breakpoints.h"

#include <cctype>

namespace kvdap {

void Breakpoints::Place(Breakpoint& breakpoint, int file, const SourceMap& map) const
{
    breakpoint.line = -1;
    breakpoint.message.clear();
    if (map.FileCount() == 0) {
        breakpoint.message = "the program has not been started yet";
    } else if (file < 0) {
        breakpoint.message = "this file is not part of the program being debugged";
    } else {
        breakpoint.line = map.ReportedLineFrom(file, breakpoint.requestedLine - 1);
        if (breakpoint.line < 0) breakpoint.message = "no statement at or after this line";
    }
}

const std::vector<Breakpoint>& Breakpoints::Set(const std::string& path, const std::vector<BreakpointRequest>& requests,
                                                const SourceMap& map)
{
    const std::string key = NormalisedPath(path);
    std::vector<Breakpoint>& list = byPath_[key];
    std::vector<Breakpoint> old = std::move(list);
    list.clear();
    const int file = map.FileNumber(key);
    for (const BreakpointRequest& request : requests) {
        Breakpoint breakpoint;
        breakpoint.requestedLine = request.line;
        breakpoint.condition = request.condition;
        breakpoint.hitCondition = request.hitCondition;
        // One the editor sets again on the same line keeps its id and count.
        breakpoint.id = nextId_;
        for (const Breakpoint& before : old)
            if (before.requestedLine == request.line && before.id != 0) {
                breakpoint.id = before.id;
                breakpoint.hits = before.hitCondition == request.hitCondition ? before.hits : 0;
            }
        if (breakpoint.id == nextId_) ++nextId_;
        Place(breakpoint, file, map);
        list.push_back(std::move(breakpoint));
    }
    return list;
}

std::vector<Breakpoint> Breakpoints::Replace(const SourceMap& map)
{
    std::vector<Breakpoint> changed;
    for (auto& [path, list] : byPath_) {
        const int file = map.FileNumber(path);
        for (Breakpoint& breakpoint : list) {
            const int line = breakpoint.line;
            const std::string message = breakpoint.message;
            Place(breakpoint, file, map);
            if (breakpoint.line != line || breakpoint.message != message) changed.push_back(breakpoint);
        }
    }
    return changed;
}

std::set<int> Breakpoints::LinesOf(const SourceMap& map, int file) const
{
    std::set<int> lines;
    const auto found = byPath_.find(map.PathOf(file));
    if (found == byPath_.end()) return lines;
    for (const Breakpoint& breakpoint : found->second)
        if (breakpoint.line >= 0) lines.insert(breakpoint.line);
    return lines;
}

std::set<int> Breakpoints::Files(const SourceMap& map) const
{
    std::set<int> files;
    for (const auto& [path, list] : byPath_)
        if (const int file = map.FileNumber(path); file >= 0) files.insert(file);
    return files;
}

std::vector<Breakpoint*> Breakpoints::At(const SourceMap& map, int file, int line)
{
    std::vector<Breakpoint*> here;
    const auto found = byPath_.find(map.PathOf(file));
    if (found == byPath_.end()) return here;
    for (Breakpoint& breakpoint : found->second)
        if (breakpoint.line == line) here.push_back(&breakpoint);
    return here;
}

std::optional<bool> HitConditionMet(const std::string& condition, int hits, std::string& error)
{
    std::size_t at = 0;
    auto skipBlanks = [&] {
        while (at < condition.size() && std::isspace(static_cast<unsigned char>(condition[at]))) ++at;
    };
    skipBlanks();
    std::string op;
    while (at < condition.size() && std::string("<>=%").find(condition[at]) != std::string::npos) op += condition[at++];
    skipBlanks();
    long long number = 0;
    std::size_t digits = 0;
    for (; at < condition.size() && std::isdigit(static_cast<unsigned char>(condition[at])) && digits < 9; ++at, ++digits)
        number = number * 10 + (condition[at] - '0');
    skipBlanks();
    if (digits == 0 || at != condition.size()) {
        error = "the hit condition \"" + condition + "\" is no count: write 5, >= 5 or % 3";
        return std::nullopt;
    }
    if (op.empty() || op == "=" || op == "==") return hits == number;
    if (op == ">") return hits > number;
    if (op == ">=") return hits >= number;
    if (op == "<") return hits < number;
    if (op == "<=") return hits <= number;
    if (op == "%") return number > 0 && hits % number == 0;
    error = "the hit condition \"" + condition + "\" has an unknown operator " + op;
    return std::nullopt;
}

}  // namespace kvdap
