#include "core/string_commands.h"

#include <cstdio>
#include <cstring>

double LEN(KvStr s) { return s.Length(); }

double LEN(double x) { return KvStr(x).Length(); }

double VAL(KvStr s) { return TextToNumber(s.GetStrData()); }

KvStr MID_Str(KvStr s, double start, double count)
{
    double length = s.Length();
    double end = NumberToInt(start + count);
    if (end > length) count = length - start;
    KvStr result;
    if (count <= 0 || start > length || start < 0) return result;
    int from = NumberToInt(start);
    int keep = NumberToInt(count);
    result = s.GetStrData() + from;
    result.Left(keep);
    return result;
}

double ASC(KvStr s) { return static_cast<signed char>(s.GetAt(0)); }

KvStr CHR_Str(double code)
{
    char text[2] = {static_cast<char>(NumberToInt(code) & 0xFF), 0};
    return KvStr(text);
}

KvStr FORMAT_Str(double width, double decimals, double value)
{
    // The format is built from the two numbers, then applied: "%<w>.<d>f".
    // Width and precision are clamped so the result always fits a KvStr.
    int w = NumberToInt(width);
    int d = NumberToInt(decimals);
    if (w < 0) w = 0;
    if (w > KvStr::kMaxStored) w = KvStr::kMaxStored;
    if (d < 0) d = 0;
    if (d > 300) d = 300;
    char format[32];
    std::snprintf(format, sizeof format, "%%%d.%df", w, d);
    char text[KvStr::kBufferSize + 400];
    std::snprintf(text, sizeof text, format, value);
    return KvStr(text);
}
