#include "core/arrays.h"

#include <cmath>
#include <cstdlib>

#include "frame/runtime_state.h"

void KvArrayAccessFailed(std::int32_t size0)
{
    __FatalError(size0 == 0 ? 8 : 9);
}

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
    if (!(count <= kMaxArrayElements)) __FatalError(7);
    // Zeroed memory is both 0.0 and the empty string.
    data = static_cast<Element*>(std::calloc(static_cast<std::size_t>(count), sizeof(Element)));
    if (data == nullptr) __FatalError(7);

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

template class KvArray<double>;
template class KvArray<KvStr>;

double DIM(KvIntArray& array, double d0, double d1, double d2, double d3,
           double d4, double d5, double d6, double d7)
{
    const double sizes[8] = {d0, d1, d2, d3, d4, d5, d6, d7};
    array.Dimension(sizes);
    return 0;
}

double DIM(KvStrArray& array, double d0, double d1, double d2, double d3,
           double d4, double d5, double d6, double d7)
{
    const double sizes[8] = {d0, d1, d2, d3, d4, d5, d6, d7};
    array.Dimension(sizes);
    return 0;
}

double BOUNDS(const KvIntArray& array, double dimension) { return array.Bound(dimension); }
double BOUNDS(const KvStrArray& array, double dimension) { return array.Bound(dimension); }
