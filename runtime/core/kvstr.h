// KvStr: the BASIC string. One fixed 1024-byte NUL-terminated 8-bit buffer
// with value semantics; no heap. Text is only stored when it fits in 1022
// characters, otherwise the target is left unchanged.
//
// The string also keeps its length, so that copies move only the bytes in
// use and LEN does not count. Whoever writes through GetStrData() may change
// the text behind the string's back: from then on the length is counted
// again whenever it is needed, until the string's own operations set it.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

class KvStr {
public:
    static constexpr int kBufferSize = 1024;
    static constexpr int kMaxStored = 1022;  // longest text assignment or += keeps

    // The empty text as a whole word: a copy made right after reads whole
    // words, which the processor forwards from a store of the same size.
    KvStr() { std::memset(m_data, 0, 8); }
    KvStr(const char* text);
    KvStr(double number);
    KvStr(int number);
    KvStr(const KvStr& other) { CopyFrom(other); }

    char GetAt(int i) const { return (i >= 0 && i < kBufferSize) ? m_data[i] : 0; }
    bool SetAt(int i, char c);
    void Left(int n);
    // Writable access to the buffer: the length is counted again from now on.
    char* GetStrData()
    {
        m_length = kUnknownLength;
        return m_data;
    }
    const char* GetStrData() const { return m_data; }
    int Length() const { return m_length != kUnknownLength ? m_length : static_cast<int>(std::strlen(m_data)); }

    operator double() const;
    int Compare(const KvStr& other) const;
    int Compare(const double& number) const;
    int TrimRight();

    KvStr& operator=(const char* text);
    // The first `length` bytes of text (NULs included as they are), under
    // the same rule: longer than 1022 leaves the string unchanged.
    void Assign(const char* text, int length) { Assign(text, length, nullptr); }
    // The same for text inside the buffer of a KvStr (a slice of it).
    void AssignSlice(const KvStr& source, int from, int length) { Assign(source.m_data + from, length, source.m_data); }
    KvStr& operator=(const double& number);
    KvStr& operator=(const KvStr& other)
    {
        if (this != &other) CopyFrom(other);
        return *this;
    }

    KvStr& operator+=(const char* text);
    KvStr& operator+=(const KvStr& other)
    {
        Append(nullptr, other.m_data, other.Length(), other.m_data);
        return *this;
    }
    // "-", "*" and "/" on strings all append "-" and the right operand.
    KvStr& operator-=(const KvStr& other);
    KvStr& operator*=(const KvStr& other);
    KvStr& operator/=(const KvStr& other);

    // The binary operators leave both operands unchanged. On a temporary
    // left operand (the middle of a chain a + b + c) they append in place
    // instead of copying it first.
    KvStr operator+(const KvStr& other) const& { KvStr r(*this); r += other; return r; }
    KvStr operator+(const KvStr& other) && { *this += other; return static_cast<KvStr&&>(*this); }
    KvStr operator-(const KvStr& other) const;
    KvStr operator*(const KvStr& other) const;
    KvStr operator/(const KvStr& other) const;
    KvStr operator+(const char* text) const& { KvStr r(*this); r += text; return r; }
    KvStr operator+(const char* text) && { *this += text; return static_cast<KvStr&&>(*this); }
    KvStr operator+(const double& number) const& { return *this + KvStr(number); }
    KvStr operator+(const double& number) && { return static_cast<KvStr&&>(*this) + KvStr(number); }
    KvStr operator-(const double& number) const;
    KvStr operator*(const double& number) const;
    KvStr operator/(const double& number) const;
    // Integer literals on the right would otherwise be ambiguous with the
    // built-in arithmetic reached through operator double.
    KvStr operator+(int number) const& { return *this + static_cast<double>(number); }
    KvStr operator+(int number) && { return static_cast<KvStr&&>(*this) + static_cast<double>(number); }
    KvStr operator-(int number) const { return *this - static_cast<double>(number); }
    KvStr operator*(int number) const { return *this * static_cast<double>(number); }
    KvStr operator/(int number) const { return *this / static_cast<double>(number); }

private:
    static constexpr int kUnknownLength = -1;

    void Assign(const char* text, int length, const char* textBuffer)
    {
        if (length < 0 || length > kMaxStored) return;
        const bool sixteenFit = textBuffer != nullptr && SixteenFit(m_data, m_data, text, textBuffer);
        PlaceText(m_data, text, length, sixteenFit);
        m_length = length;
    }

    // Moves count bytes from `from` to `to` (they may overlap). When both
    // have 16 bytes of buffer room, a short text goes as one fixed 16-byte
    // move the compiler does in two registers, not as a library call; the
    // bytes past the text are don't-cares in a NUL-terminated buffer.
    static void MoveBytes(char* to, const char* from, int count, bool sixteenFit)
    {
        if (count <= 16 && sixteenFit) {
            char chunk[16];
            std::memcpy(chunk, from, 16);
            std::memcpy(to, chunk, 16);
        } else {
            std::memmove(to, from, static_cast<std::size_t>(count));
        }
    }
    // Moves a text of count bytes and ends it with the NUL. A text shorter
    // than 16 bytes whose buffers both have 16 bytes of room goes as two
    // 8-byte words with the bytes from the NUL on cleared in the words: no
    // byte store of its own for the NUL, so a copy that reads the words
    // right after gets them forwarded from the stores instead of stalling
    // on a narrow store inside a wide read.
    static void PlaceText(char* to, const char* from, int count, bool sixteenFit)
    {
        if constexpr (std::endian::native == std::endian::little) {
            if (count < 16 && sixteenFit) {
                std::uint64_t low, high;
                std::memcpy(&low, from, 8);
                std::memcpy(&high, from + 8, 8);
                low &= FirstBytes(count);
                high &= FirstBytes(count - 8);
                std::memcpy(to, &low, 8);
                std::memcpy(to + 8, &high, 8);
                return;
            }
        }
        MoveBytes(to, from, count, sixteenFit);
        to[count] = 0;
    }
    // A mask keeping the first n bytes of a little-endian word (none for n <= 0).
    static std::uint64_t FirstBytes(int n)
    {
        return n <= 0 ? 0 : n >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * n)) - 1;
    }
    static bool SixteenFit(const char* to, const char* toBuffer, const char* from, const char* fromBuffer)
    {
        return to + 16 <= toBuffer + kBufferSize && from + 16 <= fromBuffer + kBufferSize;
    }

    // Copies only the bytes in use and the NUL after them.
    void CopyFrom(const KvStr& other)
    {
        const int length = other.Length();
        PlaceText(m_data, other.m_data, length, true);
        m_length = length;
    }
    // Appends separator (may be null) and text of the given length when the
    // text is not empty and the result fits in 1022 characters. textBuffer:
    // the KvStr buffer text lies in, or null for any other text.
    bool Append(const char* separator, const char* text, int theirs, const char* textBuffer = nullptr)
    {
        const int mine = Length();
        if (theirs == 0 || mine + theirs > kMaxStored) return false;
        int at = mine;
        if (separator != nullptr) m_data[at++] = *separator;
        // text may be this very buffer (a += a): it is read whole before
        // the NUL moves, and the separator lies past the bytes it reads.
        const bool sixteenFit = textBuffer != nullptr && SixteenFit(m_data + at, m_data, text, textBuffer);
        PlaceText(m_data + at, text, theirs, sixteenFit);
        at += theirs;
        m_length = at;
        return true;
    }

    char m_data[kBufferSize];
    int m_length = 0;  // characters before the NUL, or kUnknownLength
};

void ReverseSlashes(KvStr& s);

// The three conversions the whole runtime uses.
void NumberToText(double number, char* out, std::size_t outSize);  // "%g"
double TextToNumber(const char* text);                              // atof
// Truncation toward zero, saturating: a plain cast is undefined for NaN
// and out-of-range values, so a wild index or count stays well-defined.
inline int NumberToInt(double number)
{
    if (number != number) return 0;
    if (number >= 2147483647.0) return 2147483647;
    if (number <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int>(number);
}
