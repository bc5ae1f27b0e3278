#include "debug/breakpoints.h"

namespace kvdebug {

void Breakpoints::Set(int file, const std::vector<int>& lines)
{
    if (lines.empty()) {
        files_.erase(file);
        return;
    }
    files_[file] = std::set<int>(lines.begin(), lines.end());
}

bool Breakpoints::Has(double file, double line) const
{
    const auto found = files_.find(static_cast<int>(file));
    return found != files_.end() && found->second.count(static_cast<int>(line)) != 0;
}

}  // namespace kvdebug
