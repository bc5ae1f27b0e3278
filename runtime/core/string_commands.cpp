#include "core/string_commands.h"

#include <cmath>
#include <cstdio>
#include <cstring>

double LEN(double x) { return KvStr(x).Length(); }

double VAL(KvStr s) { return TextToNumber(s.GetStrData()); }

double ASC(KvStr s) { return static_cast<signed char>(s.GetAt(0)); }

KvStr CHR_Str(double code)
{
    char text[2] = {static_cast<char>(NumberToInt(code) & 0xFF), 0};
    return KvStr(text);
}

KvStr FORMAT_Str(double width, double decimals, double value)
{
    // The format is built from the two numbers, then applied: "%<w>.<d>f",
    // where a negative width left-justifies as printf does. A result longer
    // than a KvStr can store comes back as "", like any over-long assignment.
    double w = std::trunc(width);
    double d = std::trunc(decimals);
    if (std::isnan(w)) w = 0;
    if (std::isnan(d) || d < 0) d = 0;
    // A field wider than 1022, or more than 1022 digits after the point,
    // can never fit; deciding that up front keeps both numbers small.
    if (w > KvStr::kMaxStored || w < -KvStr::kMaxStored || d > KvStr::kMaxStored) return KvStr();
    char format[32];
    std::snprintf(format, sizeof format, "%%%d.%df", static_cast<int>(w), static_cast<int>(d));
    char text[KvStr::kBufferSize];
    int length = std::snprintf(text, sizeof text, format, value);
    if (length < 0 || length > KvStr::kMaxStored) return KvStr();
    return KvStr(text);
}
