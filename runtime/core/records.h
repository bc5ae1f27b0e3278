// The parts of a program's records (TYPE): a record is a struct of doubles,
// KvStr values and field arrays, and an array of records is a KvArray of
// that struct. Every part is zero when the record is new, so an array of
// records is allocated zeroed like any other array.
#pragma once

#include <cstdint>

#include "core/arrays.h"

// An array field of a record: its sizes are fixed by the TYPE, each at
// least 1; an index outside them ends the program with runtime error 9 as
// any array access does.
template <typename Element, std::int32_t... Sizes>
class KvFieldArray {
public:
    static_assert(sizeof...(Sizes) >= 1 && sizeof...(Sizes) <= 8, "a field array has one to eight dimensions");
    static_assert(((Sizes >= 1) && ...), "every size of a field array is at least 1");

    // One index per dimension, the first one varying fastest in memory.
    template <typename... Indices>
    Element& operator()(Indices... indices)
    {
        static_assert(sizeof...(Indices) == sizeof...(Sizes), "a field array takes one index per dimension");
        constexpr int count = sizeof...(Sizes);
        constexpr std::int32_t sizes[count] = {Sizes...};
        const double index[count] = {static_cast<double>(indices)...};
        std::int64_t position = 0, stride = 1;
        for (int k = 0; k < count; ++k) {
            // Written so that NaN fails the test too.
            if (!(index[k] >= 0 && index[k] < sizes[k])) [[unlikely]] KvArrayAccessFailed(sizes[0]);
            position += static_cast<std::int64_t>(static_cast<std::int32_t>(index[k])) * stride;
            stride *= sizes[k];
        }
        return data[position];
    }

    Element data[(Sizes * ...)];
};

// DIM of an array of records: every record becomes new (all fields 0 or "").
template <typename Record>
double DIM(KvArray<Record>& array, double d0, double d1 = 0, double d2 = 0, double d3 = 0, double d4 = 0,
           double d5 = 0, double d6 = 0, double d7 = 0)
{
    const double sizes[8] = {d0, d1, d2, d3, d4, d5, d6, d7};
    array.Dimension(sizes);
    return 0;
}
