// BASIC arrays: up to eight dimensions, sized at run time by DIM, every
// access bounds-checked. A bad access ends the program with runtime error
// 8 (used before DIM) or 9 (index out of bounds); a block that cannot be
// allocated ends it with error 7.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <type_traits>

#include "core/kvstr.h"

// Ends the program with error 8 (the array never got its DIM: size0 is 0)
// or 9 (an index out of bounds). Out of line: element access only branches
// to it.
[[noreturn, gnu::cold]] void KvArrayAccessFailed(std::int32_t size0);
// Ends the program with error 7: DIM asked for more than memory holds.
[[noreturn, gnu::cold]] void KvArrayAllocationFailed();

template <typename Element>
class KvArray {
public:
    KvArray() = default;
    KvArray(const KvArray&) = delete;
    KvArray& operator=(const KvArray&) = delete;
    ~KvArray();

    // Element access with one index per dimension, one to eight of them;
    // the dimensions not passed take index 0. Inline and unrolled for the
    // number of indices the caller passes: a few comparisons and one
    // multiply-add per index, the error path out of line. An index is a
    // double, or a whole number the translator proved to be one (a 64-bit
    // integer, or an int literal): then it needs no conversion, and the
    // comparisons give what they give for the same double.
    template <typename... Indices>
    Element& operator()(Indices... indices)
    {
        constexpr int count = sizeof...(Indices);
        static_assert(count >= 1 && count <= 8, "an array takes one to eight indices");
        // Before DIM every limit is 0, so the first index fails and the
        // error path tells 8 from 9.
        int k = 0;
        const bool inRange = (InRange(indices, limit_[k++]) && ...);
        if (!inRange) [[unlikely]] KvArrayAccessFailed(size[0]);
        return Unchecked(indices...);
    }

    // Element access whose indices the translator proved in range (a FOR
    // up to BOUNDS(a, k) - 1 that nothing in it can DIM again); only the
    // dimensions not passed are still checked.
    template <typename... Indices>
    Element& Unchecked(Indices... indices)
    {
        constexpr int count = sizeof...(Indices);
        static_assert(count >= 1 && count <= 8, "an array takes one to eight indices");
        if ((zeroRejectedFrom_ >> count) != 0) [[unlikely]] KvArrayAccessFailed(size[0]);
        int k = 0;
        std::int64_t position = 0;
        ((position += Truncated(indices) * (k == 0 ? 1 : stride[k - 1]), ++k), ...);
        return data[position];
    }

    // Element access in a loop that tested its indices once, before it
    // ran (Covers): without checks when the test held, else checked.
    template <typename... Indices>
    Element& Covered(bool covered, Indices... indices)
    {
        return covered ? Unchecked(indices...) : (*this)(indices...);
    }

    // Whether every index from `low` to `high` is in range in dimension k
    // (an array before its DIM holds none): a loop asks once, before it
    // runs, and then reads without checks.
    bool Covers(int k, std::int64_t low, std::int64_t high) const { return low >= 0 && high < limit_[k]; }

    // DIM: discards the old contents; every element becomes 0 or "".
    void Dimension(const double sizes[8]);
    double Bound(double dimension) const;

    Element* data = nullptr;
    std::int32_t stride[7] = {};
    std::int32_t size[8] = {};
    std::int32_t dims = -1;

private:
    // Written so that NaN fails the test too.
    static bool InRange(double index, std::int32_t limit) { return index >= 0 && index < limit; }
    template <typename Whole>
        requires std::is_integral_v<Whole>
    static bool InRange(Whole index, std::int32_t limit)
    {
        return static_cast<std::int64_t>(index) >= 0 && static_cast<std::int64_t>(index) < limit;
    }
    static std::int64_t Truncated(double index) { return static_cast<std::int32_t>(index); }
    template <typename Whole>
        requires std::is_integral_v<Whole>
    static std::int64_t Truncated(Whole index)
    {
        return static_cast<std::int64_t>(index);
    }

    // What element access compares against, kept in step by Dimension:
    // the bound of each dimension, where a dimension of size 0 (not named
    // by DIM, or named as 0) still accepts index 0, as the position rule
    // gives it a stride like any other. Integers, not doubles: a store to a
    // numeric element then cannot alias them, so loops keep them in
    // registers (the comparison converts them exactly).
    std::int32_t limit_[8] = {};
    // Bit k set: dimension k has a negative size, so even the index 0 that
    // an access passing fewer indices implies is out of bounds there.
    std::uint32_t zeroRejectedFrom_ = 0;
};

using KvIntArray = KvArray<double>;   // numbers (every element is a double)
using KvStrArray = KvArray<KvStr>;

// Compiled once in the runtime; an array of a program's records (a TYPE)
// is instantiated in the program's code from the definitions below.
extern template class KvArray<double>;
extern template class KvArray<KvStr>;

// The largest element count DIM accepts; positions are 32-bit.
constexpr double kMaxArrayElements = 2147483647.0;

template <typename Element>
KvArray<Element>::~KvArray()
{
    std::free(data);
}

template <typename Element>
void KvArray<Element>::Dimension(const double sizes[8])
{
    double first = sizes[0] < 1 ? 1 : sizes[0];
    double count = first;
    for (int k = 1; k < 8; ++k)
        if (sizes[k] >= 1) count *= sizes[k];
    count = std::trunc(count);

    std::free(data);
    data = nullptr;
    // An array whose DIM failed counts as never dimensioned.
    size[0] = 0;
    for (std::int32_t& bound : limit_) bound = 0;
    zeroRejectedFrom_ = 0;
    if (!(count <= kMaxArrayElements)) KvArrayAllocationFailed();
    // Zeroed memory is 0.0, the empty string and a record of such fields.
    data = static_cast<Element*>(std::calloc(static_cast<std::size_t>(count), sizeof(Element)));
    if (data == nullptr) KvArrayAllocationFailed();

    dims = 1;
    for (int k = 1; k < 8; ++k)
        if (sizes[k] != 0) dims = k + 1;
    size[0] = NumberToInt(first);
    for (int k = 1; k < 8; ++k) size[k] = NumberToInt(sizes[k]);
    // Strides saturate: a dimension with a negative size rejects every index,
    // so a stride past it is never used, but computing it must not overflow.
    std::int64_t product = size[0];
    stride[0] = size[0];
    for (int k = 1; k < 7; ++k) {
        product *= size[k];
        if (product > INT32_MAX || product < INT32_MIN) product = 0;
        stride[k] = static_cast<std::int32_t>(product);
    }
    for (int k = 0; k < 8; ++k) {
        limit_[k] = size[k] == 0 ? 1 : size[k];
        if (size[k] < 0) zeroRejectedFrom_ |= 1u << k;
    }
}

template <typename Element>
double KvArray<Element>::Bound(double dimension) const
{
    int k = NumberToInt(dimension);
    return (k >= 0 && k < 8) ? size[k] : 0;
}

double DIM(KvIntArray& array, double d0, double d1 = 0, double d2 = 0, double d3 = 0,
           double d4 = 0, double d5 = 0, double d6 = 0, double d7 = 0);
double DIM(KvStrArray& array, double d0, double d1 = 0, double d2 = 0, double d3 = 0,
           double d4 = 0, double d5 = 0, double d6 = 0, double d7 = 0);
// Inline: a loop up to BOUNDS(a, 0) - 1 then calls nothing, so the
// compiler keeps its sums in registers.
inline double BOUNDS(const KvIntArray& array, double dimension)
{
    const int k = NumberToInt(dimension);
    return (k >= 0 && k < 8) ? array.size[k] : 0;
}
inline double BOUNDS(const KvStrArray& array, double dimension)
{
    const int k = NumberToInt(dimension);
    return (k >= 0 && k < 8) ? array.size[k] : 0;
}
// An array of a program's records (a TYPE) has its sizes like any array.
template <typename Record>
double BOUNDS(const KvArray<Record>& array, double dimension)
{
    return array.Bound(dimension);
}
