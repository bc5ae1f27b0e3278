#include "core/arrays.h"

#include <cmath>
#include <cstdlib>

#include "frame/runtime_state.h"

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
    size[0] = 0;  // an array whose DIM failed counts as never dimensioned
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
}

template <typename Element>
Element& KvArray<Element>::operator()(double i0, double i1, double i2, double i3,
                                      double i4, double i5, double i6, double i7)
{
    const double index[8] = {i0, i1, i2, i3, i4, i5, i6, i7};
    if (size[0] == 0) __FatalError(8);
    if (data == nullptr) __FatalError(9);
    for (int k = 0; k < 8; ++k) {
        // NaN fails every comparison; treat it as out of bounds too.
        if (index[k] < 0 || std::isnan(index[k])) __FatalError(9);
        // A dimension of size 0 (one DIM did not name, or named as 0) still
        // has a stride; only index 0 keeps the position inside the block.
        const double limit = size[k] == 0 ? 1 : size[k];
        if (index[k] >= limit) __FatalError(9);
    }
    std::int64_t position = NumberToInt(i0);
    for (int k = 1; k < 8; ++k) position += static_cast<std::int64_t>(NumberToInt(index[k])) * stride[k - 1];
    return data[position];
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
