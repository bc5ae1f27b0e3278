#include "core/string_split.h"

#include <algorithm>
#include <string>

double SPLIT(KvStr s, KvStr separator, KvStrArray& pieces)
{
    const std::string text = s.GetStrData(), cut = separator.GetStrData();
    std::size_t count = 1;
    if (!cut.empty())
        for (std::size_t at = text.find(cut); at != std::string::npos; at = text.find(cut, at + cut.size())) ++count;
    DIM(pieces, static_cast<double>(count));
    std::size_t from = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t at = cut.empty() || k + 1 == count ? text.size() : text.find(cut, from);
        // A piece is held as a string holds it: at most its 1022 characters.
        pieces(static_cast<double>(k)) = KvStr(text.substr(from, std::min(at - from, std::size_t(KvStr::kMaxStored))).c_str());
        from = at + cut.size();
    }
    return static_cast<double>(count);
}
