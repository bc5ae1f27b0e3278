// BASIC arrays: up to eight dimensions, sized at run time by DIM, every
// access bounds-checked. A bad access ends the program with runtime error
// 8 (used before DIM) or 9 (index out of bounds); a block that cannot be
// allocated ends it with error 7.
#pragma once

#include <cstdint>

#include "core/kvstr.h"

template <typename Element>
class KvArray {
public:
    KvArray() = default;
    KvArray(const KvArray&) = delete;
    KvArray& operator=(const KvArray&) = delete;
    ~KvArray();

    // Element access with one index per dimension; unused dimensions take 0.
    Element& operator()(double i0, double i1 = 0, double i2 = 0, double i3 = 0,
                        double i4 = 0, double i5 = 0, double i6 = 0, double i7 = 0);

    // DIM: discards the old contents; every element becomes 0 or "".
    void Dimension(const double sizes[8]);
    double Bound(double dimension) const;

    Element* data = nullptr;
    std::int32_t stride[7] = {};
    std::int32_t size[8] = {};
    std::int32_t dims = -1;
};

using KvIntArray = KvArray<double>;   // numbers (every element is a double)
using KvStrArray = KvArray<KvStr>;

extern template class KvArray<double>;
extern template class KvArray<KvStr>;

// The largest element count DIM accepts; positions are 32-bit.
constexpr double kMaxArrayElements = 2147483647.0;

double DIM(KvIntArray& array, double d0, double d1 = 0, double d2 = 0, double d3 = 0,
           double d4 = 0, double d5 = 0, double d6 = 0, double d7 = 0);
double DIM(KvStrArray& array, double d0, double d1 = 0, double d2 = 0, double d3 = 0,
           double d4 = 0, double d5 = 0, double d6 = 0, double d7 = 0);
double BOUNDS(const KvIntArray& array, double dimension);
double BOUNDS(const KvStrArray& array, double dimension);
