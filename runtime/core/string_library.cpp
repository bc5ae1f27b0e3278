#include "core/string_library.h"

#include <cstring>
#include <string>

namespace {

// The text cut to what a string holds.
KvStr Stored(const std::string& text)
{
    return KvStr(text.substr(0, KvStr::kMaxStored).c_str());
}

int Count(double count, int length)
{
    const int n = NumberToInt(count);
    return n < 0 ? 0 : n > length ? length : n;
}

// Latin-1 letters: a-z and the accented range 0xE0-0xFE (without the
// division sign 0xF7) lower case, 0x20 below them upper case.
char Upper(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) return static_cast<char>(u - 0x20);
    return c;
}
char Lower(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) return static_cast<char>(u + 0x20);
    return c;
}

}  // namespace

KvStr LEFT_Str(KvStr s, double count)
{
    s.Left(Count(count, s.Length()));
    return s;
}

KvStr RIGHT_Str(KvStr s, double count)
{
    const int length = s.Length();
    return KvStr(s.GetStrData() + length - Count(count, length));
}

double INSTR(KvStr s, KvStr find) { return INSTR(s, find, 0); }

double INSTR(KvStr s, KvStr find, double start)
{
    const int length = s.Length();
    const int from = NumberToInt(start);
    if (from < 0 || from > length) return -1;
    const char* at = std::strstr(s.GetStrData() + from, find.GetStrData());
    return at == nullptr ? -1 : at - s.GetStrData();
}

KvStr UCASE_Str(KvStr s)
{
    for (char* c = s.GetStrData(); *c; ++c) *c = Upper(*c);
    return s;
}

KvStr LCASE_Str(KvStr s)
{
    for (char* c = s.GetStrData(); *c; ++c) *c = Lower(*c);
    return s;
}

KvStr TRIM_Str(KvStr s)
{
    const char* text = s.GetStrData();
    int begin = 0, end = s.Length();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    return Stored(std::string(text + begin, end - begin));
}

KvStr STR_Str(double x) { return KvStr(x); }

KvStr REPLACE_Str(KvStr s, KvStr find, KvStr with)
{
    const std::string text = s.GetStrData(), pattern = find.GetStrData(), replacement = with.GetStrData();
    if (pattern.empty()) return s;
    std::string result;
    std::size_t from = 0;
    for (std::size_t at = text.find(pattern); at != std::string::npos; at = text.find(pattern, from)) {
        result.append(text, from, at - from);
        result += replacement;
        from = at + pattern.size();
        if (result.size() > KvStr::kMaxStored) break;
    }
    if (from < text.size()) result.append(text, from, std::string::npos);
    return Stored(result);
}
