// KvStr: the BASIC string. One fixed 1024-byte NUL-terminated 8-bit buffer
// with value semantics; no heap, no length field. Text is only stored when it
// fits in 1022 characters, otherwise the target is left unchanged.
#pragma once

#include <cstddef>

class KvStr {
public:
    static constexpr int kBufferSize = 1024;
    static constexpr int kMaxStored = 1022;  // longest text assignment or += keeps

    KvStr();
    KvStr(const char* text);
    KvStr(double number);
    KvStr(int number);
    KvStr(const KvStr& other) = default;

    char GetAt(int i) const { return (i >= 0 && i < kBufferSize) ? m_data[i] : 0; }
    bool SetAt(int i, char c);
    void Left(int n) { if (n >= 0 && n < kBufferSize) m_data[n] = 0; }
    char* GetStrData() { return m_data; }
    const char* GetStrData() const { return m_data; }
    int Length() const;

    operator double() const;
    int Compare(const KvStr& other) const;
    int Compare(const double& number) const;
    int TrimRight();

    KvStr& operator=(const char* text);
    KvStr& operator=(const double& number);
    KvStr& operator=(const KvStr& other) = default;

    KvStr& operator+=(const char* text);
    KvStr& operator+=(const KvStr& other);
    // "-", "*" and "/" on strings all append "-" and the right operand.
    KvStr& operator-=(const KvStr& other);
    KvStr& operator*=(const KvStr& other);
    KvStr& operator/=(const KvStr& other);

    KvStr operator+(const KvStr& other) const;
    KvStr operator-(const KvStr& other) const;
    KvStr operator*(const KvStr& other) const;
    KvStr operator/(const KvStr& other) const;
    KvStr operator+(const char* text) const;
    KvStr operator+(const double& number) const;
    KvStr operator-(const double& number) const;
    KvStr operator*(const double& number) const;
    KvStr operator/(const double& number) const;
    // Integer literals on the right would otherwise be ambiguous with the
    // built-in arithmetic reached through operator double.
    KvStr operator+(int number) const { return *this + static_cast<double>(number); }
    KvStr operator-(int number) const { return *this - static_cast<double>(number); }
    KvStr operator*(int number) const { return *this * static_cast<double>(number); }
    KvStr operator/(int number) const { return *this / static_cast<double>(number); }

private:
    bool AppendWithSeparator(const char* separator, const char* text);

    char m_data[kBufferSize];
};

void ReverseSlashes(KvStr& s);

// The three conversions the whole runtime uses.
void NumberToText(double number, char* out, std::size_t outSize);  // "%g"
double TextToNumber(const char* text);                              // atof
int NumberToInt(double number);                                     // truncation toward zero, saturating
