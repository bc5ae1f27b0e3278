// What a generated program prints after each of its SUBs: every global
// number with 17 significant digits (so that -0 prints as "-0" and no
// rounding hides a difference), every string, and every element of every
// array, or that the array has no DIM.
#pragma once

#include <cstdint>
#include <cstdio>

#include "commands.h"

namespace comparison {

inline void ReportNumber(const char* name, double value)
{
    std::printf("%s = %.17g\n", name, value);
}

inline void ReportString(const char* name, const KvStr& value)
{
    std::printf("%s = \"%s\"\n", name, value.GetStrData());
}

// The elements DIM allocated: the first size (at least 1) times every
// further size of at least 1, the sizes as the array keeps them.
inline void ReportArray(const char* name, const KvIntArray& array)
{
    if (array.data == nullptr) {
        std::printf("%s: no DIM\n", name);
        return;
    }
    std::int64_t count = array.size[0] < 1 ? 1 : array.size[0];
    std::printf("%s[%d]", name, static_cast<int>(array.size[0]));
    for (int k = 1; k < 8; ++k) {
        if (array.size[k] != 0) std::printf("[%d]", static_cast<int>(array.size[k]));
        if (array.size[k] >= 1) count *= array.size[k];
    }
    double sum = 0;
    for (std::int64_t at = 0; at < count; ++at) {
        std::printf(" %.17g", array.data[at]);
        sum += array.data[at];
    }
    std::printf("; sum %.17g\n", sum);
}

}  // namespace comparison
