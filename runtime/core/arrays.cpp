#include "core/arrays.h"

#include "core/runtime_state.h"

void KvArrayAccessFailed(std::int32_t size0)
{
    __FatalError(size0 == 0 ? 8 : 9);
}

void KvArrayAllocationFailed()
{
    __FatalError(7);
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

