#include "core/kvstr.h"

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

KvStr::KvStr(const char* text)
{
    m_data[0] = 0;
    *this = text;
}

KvStr::KvStr(double number)
{
    NumberToText(number, m_data, sizeof m_data);
    m_length = kUnknownLength;
    m_length = Length();
}

KvStr::KvStr(int number) : KvStr(static_cast<double>(number)) {}

bool KvStr::SetAt(int i, char c)
{
    const int length = Length();
    if (i < 0 || i >= length) return false;
    m_data[i] = c;
    m_length = c == 0 ? i : length;
    return true;
}

void KvStr::Left(int n)
{
    if (n < 0 || n >= kBufferSize) return;
    const int length = Length();
    m_data[n] = 0;
    // A NUL past the end leaves the text as it was.
    if (n < length) m_length = n;
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
    const int length = Length();
    // Compared as signed bytes: bytes 0x80 and above go with the control
    // characters, as the dialect always did.
    int kept = length;
    while (kept > 0 && static_cast<signed char>(m_data[kept - 1]) <= 31) m_data[--kept] = 0;
    m_length = kept;
    return length;
}

KvStr& KvStr::operator=(const char* text)
{
    if (text == nullptr) return *this;
    const std::size_t length = std::strlen(text);
    if (length <= kMaxStored) {
        // text may point into this very buffer.
        std::memmove(m_data, text, length + 1);
        m_length = static_cast<int>(length);
    }
    return *this;
}

KvStr& KvStr::operator=(const double& number)
{
    NumberToText(number, m_data, sizeof m_data);
    m_length = kUnknownLength;
    m_length = Length();
    return *this;
}

KvStr& KvStr::operator+=(const char* text)
{
    if (text == nullptr) return *this;
    // Counted only up to what could still fit: a longer text is refused anyway.
    const std::size_t length = strnlen(text, kMaxStored + 1);
    if (length <= kMaxStored) Append(nullptr, text, static_cast<int>(length));
    return *this;
}

KvStr& KvStr::operator-=(const KvStr& other) { Append("-", other.m_data, other.Length()); return *this; }
KvStr& KvStr::operator*=(const KvStr& other) { Append("-", other.m_data, other.Length()); return *this; }
KvStr& KvStr::operator/=(const KvStr& other) { Append("-", other.m_data, other.Length()); return *this; }

KvStr KvStr::operator-(const KvStr& other) const { KvStr r(*this); r -= other; return r; }
KvStr KvStr::operator*(const KvStr& other) const { KvStr r(*this); r *= other; return r; }
KvStr KvStr::operator/(const KvStr& other) const { KvStr r(*this); r /= other; return r; }
KvStr KvStr::operator-(const double& number) const { return *this - KvStr(number); }
KvStr KvStr::operator*(const double& number) const { return *this * KvStr(number); }
KvStr KvStr::operator/(const double& number) const { return *this / KvStr(number); }

void ReverseSlashes(KvStr& s)
{
    for (char* p = s.GetStrData(); *p; ++p)
        if (*p == '\\') *p = '/';
}
