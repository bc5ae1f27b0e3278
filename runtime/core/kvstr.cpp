#include "core/kvstr.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void NumberToText(double number, char* out, std::size_t outSize)
{
    std::snprintf(out, outSize, "%g", number);
}

double TextToNumber(const char* text)
{
    return std::atof(text);
}

int NumberToInt(double number)
{
    // A plain cast is undefined for NaN and out-of-range values; saturate
    // instead so that a wild index or count stays a well-defined integer.
    if (std::isnan(number)) return 0;
    if (number >= 2147483647.0) return 2147483647;
    if (number <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int>(number);
}

KvStr::KvStr() { m_data[0] = 0; }

KvStr::KvStr(const char* text)
{
    m_data[0] = 0;
    *this = text;
}

KvStr::KvStr(double number)
{
    NumberToText(number, m_data, sizeof m_data);
}

KvStr::KvStr(int number) : KvStr(static_cast<double>(number)) {}

int KvStr::Length() const
{
    return static_cast<int>(std::strlen(m_data));
}

bool KvStr::SetAt(int i, char c)
{
    if (i < 0 || i >= Length()) return false;
    m_data[i] = c;
    return true;
}

KvStr::operator double() const { return TextToNumber(m_data); }

int KvStr::Compare(const KvStr& other) const
{
    return std::strcmp(m_data, other.m_data);
}

int KvStr::Compare(const double& number) const
{
    double mine = TextToNumber(m_data);
    if (mine < number) return -1;
    if (mine > number) return 1;
    return 0;
}

int KvStr::TrimRight()
{
    int length = Length();
    // Compared as signed bytes: bytes 0x80 and above go with the control
    // characters, as the dialect always did.
    for (int i = length - 1; i >= 0; --i) {
        if (static_cast<signed char>(m_data[i]) > 31) break;
        m_data[i] = 0;
    }
    return length;
}

KvStr& KvStr::operator=(const char* text)
{
    if (text == nullptr) return *this;
    std::size_t length = std::strlen(text);
    if (length <= kMaxStored) std::memmove(m_data, text, length + 1);
    return *this;
}

KvStr& KvStr::operator=(const double& number)
{
    NumberToText(number, m_data, sizeof m_data);
    return *this;
}

bool KvStr::AppendWithSeparator(const char* separator, const char* text)
{
    std::size_t mine = std::strlen(m_data);
    std::size_t theirs = std::strlen(text);
    if (theirs == 0 || mine + theirs > kMaxStored) return false;
    std::size_t sep = std::strlen(separator);
    // text may be this very buffer (a += a): copy it before the separator lands.
    std::memmove(m_data + mine + sep, text, theirs + 1);
    std::memcpy(m_data + mine, separator, sep);
    return true;
}

KvStr& KvStr::operator+=(const char* text)
{
    if (text != nullptr) AppendWithSeparator("", text);
    return *this;
}

KvStr& KvStr::operator+=(const KvStr& other) { return *this += other.m_data; }
KvStr& KvStr::operator-=(const KvStr& other) { AppendWithSeparator("-", other.m_data); return *this; }
KvStr& KvStr::operator*=(const KvStr& other) { AppendWithSeparator("-", other.m_data); return *this; }
KvStr& KvStr::operator/=(const KvStr& other) { AppendWithSeparator("-", other.m_data); return *this; }

KvStr KvStr::operator+(const KvStr& other) const { KvStr r(*this); r += other; return r; }
KvStr KvStr::operator-(const KvStr& other) const { KvStr r(*this); r -= other; return r; }
KvStr KvStr::operator*(const KvStr& other) const { KvStr r(*this); r *= other; return r; }
KvStr KvStr::operator/(const KvStr& other) const { KvStr r(*this); r /= other; return r; }
KvStr KvStr::operator+(const char* text) const { KvStr r(*this); r += text; return r; }
KvStr KvStr::operator+(const double& number) const { return *this + KvStr(number); }
KvStr KvStr::operator-(const double& number) const { return *this - KvStr(number); }
KvStr KvStr::operator*(const double& number) const { return *this * KvStr(number); }
KvStr KvStr::operator/(const double& number) const { return *this / KvStr(number); }

void ReverseSlashes(KvStr& s)
{
    for (char* p = s.GetStrData(); *p; ++p)
        if (*p == '\\') *p = '/';
}
