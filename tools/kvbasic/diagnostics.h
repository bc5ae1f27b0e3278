// The errors of one translation. Every error names the line and column of
// the BASIC source (both counted from 1, as editors show them).
#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace kvbasic {

struct Diagnostic {
    int line = 0;    // 1-based
    int column = 0;  // 1-based, in characters
    std::string message;
    std::string file;  // "" for the main file, else the included file's path
};

class Diagnostics {
public:
    void Error(int line, int column, std::string message)
    {
        errors_.push_back({line, column, std::move(message), {}});
    }
    void Add(Diagnostic diagnostic) { errors_.push_back(std::move(diagnostic)); }
    bool Empty() const { return errors_.empty(); }

    // In source order; errors on one line keep the order they were found in.
    std::vector<Diagnostic> Sorted() const
    {
        std::vector<Diagnostic> sorted = errors_;
        std::stable_sort(sorted.begin(), sorted.end(), [](const Diagnostic& a, const Diagnostic& b) {
            return a.line != b.line ? a.line < b.line : a.column < b.column;
        });
        return sorted;
    }

private:
    std::vector<Diagnostic> errors_;
};

}  // namespace kvbasic
