// The string commands of the dialect: LEN, MID$, ASC, CHR$, FORMAT$, VAL.
#pragma once

#include <algorithm>

#include "core/kvstr.h"

inline double LEN(const KvStr& s) { return s.Length(); }
double LEN(double x);
KvStr MID_Str(const KvStr& s, double start, double count);  // inline below
double ASC(KvStr s);
KvStr CHR_Str(double code);
KvStr FORMAT_Str(double width, double decimals, double value);
// The number a text begins with, as atof reads it (0 for text that is no number).
double VAL(KvStr s);

// MID$(s, start, count), characters counted from 0: the end is start + count
// truncated; past the end of s the slice is cut there; an empty result for
// a count of 0 or less, a start past the end or a negative start. Inline:
// loops slice strings often.
inline KvStr MID_Str(const KvStr& s, double start, double count)
{
    KvStr result;
    // The common case first: a slice that lies inside s needs none of the
    // tests below (NaN fails the comparisons and takes the long way).
    if (const int inside = s.Length(); start >= 0 && count > 0 && start + count <= inside) {
        const int from = static_cast<int>(start);
        result.AssignSlice(s, from, std::min(static_cast<int>(count), inside - from));
        return result;
    }
    const double length = s.Length();
    const double end = NumberToInt(start + count);
    if (end > length) count = length - start;
    if (count <= 0 || start > length || start < 0) return result;
    const int from = NumberToInt(start);
    // The result ends at the end of s at the latest (a NaN start passes the
    // tests above as 0); only the characters kept are copied.
    const int keep = std::min(NumberToInt(count), static_cast<int>(length) - from);
    result.AssignSlice(s, from, keep);
    return result;
}
