#include "core/data_items.h"

#include "core/error_report.h"
#include "core/runtime_state.h"

namespace {

const KvDataItem& Take(const KvDataItem* items, int count, int& next)
{
    if (next < 0 || next >= count) {
        SetRuntimeErrorReason("READ past the last DATA item");
        __FatalError(7);
    }
    return items[next++];
}

}  // namespace

double KvReadNumber(const KvDataItem* items, int count, int& next)
{
    const KvDataItem& item = Take(items, count, next);
    return item.text != nullptr ? TextToNumber(item.text) : item.number;
}

KvStr KvReadString(const KvDataItem* items, int count, int& next)
{
    const KvDataItem& item = Take(items, count, next);
    return item.text != nullptr ? KvStr(item.text) : KvStr(item.number);
}
