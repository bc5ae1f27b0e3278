// DATA, READ and RESTORE: a translated program holds its DATA items as a
// constant table and the index of the next item READ takes; these read
// one item as the kind of the variable it goes to.
#pragma once

#include "core/kvstr.h"

struct KvDataItem {
    double number;
    const char* text;  // nullptr for a number item
};

// The item at `next` (a string item read as a number is its atof value, a
// number read as a string its "%g" text), and `next` moves on. Reading past
// the last item is fatal runtime error 7 on the READ's line.
double KvReadNumber(const KvDataItem* items, int count, int& next);
KvStr KvReadString(const KvDataItem* items, int count, int& next);
