// The lines the program stops at: per file, exactly the lines the last
// `break` command for that file named.
#pragma once

#include <map>
#include <set>
#include <vector>

namespace kvdebug {

class Breakpoints {
public:
    void Set(int file, const std::vector<int>& lines);
    bool Empty() const { return files_.empty(); }
    bool Has(double file, double line) const;

private:
    std::map<int, std::set<int>> files_;  // only files with lines
};

}  // namespace kvdebug
