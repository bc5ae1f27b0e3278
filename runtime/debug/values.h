// The values the debugger shows and changes: a place in the program's
// memory (a variable, an element, a field) with what it holds, as the
// channel's `value` and `child` lines describe it.
#pragma once

#include <cstdint>
#include <string>

#include "debug/debug_tables.h"

namespace kvdebug {

// Where a value lives and what it is. An array is a KvArray (`view` shows
// it) or, as a record's field, a fixed block of elements (`fixedSizes`).
struct ValuePlace {
    KvDebugKind kind = KvDebugKind::Number;
    void* address = nullptr;
    const KvDebugType* type = nullptr;  // Record, Records
    KvDebugArrayView view = nullptr;    // a KvArray
    int fixedDims = 0;                  // a field array: its sizes
    const std::int32_t* fixedSizes = nullptr;
};

bool IsArray(const ValuePlace& place);

// The array's elements as they lie in memory (dims 0: before DIM).
KvDebugArray ArrayOf(const ValuePlace& place);

// How many elements the array holds.
std::int64_t ElementCount(const KvDebugArray& array);

// The element at these indices (counted as in BASIC; fewer than the
// array's dimensions: the others are 0); false with a text for the user.
bool ElementAt(const ValuePlace& array, const double* indices, int count, ValuePlace& element, std::string& problem);

// The element at position `position` in storage order, and its indices
// as the child's name ("(0,3)").
ValuePlace ElementAtPosition(const ValuePlace& array, std::int64_t position, std::string& name);

// Field k of a record.
ValuePlace FieldOf(const ValuePlace& record, int k);

// The shortest text that reads back to the number: "0.1", "3",
// "-2.5e-07", "inf", "nan".
std::string NumberText(double number);

// KIND, TEXT and DETAIL of the value, TAB-separated fields for a message.
struct ValueText {
    std::string kind, text, detail;
};
ValueText DescribeValue(const ValuePlace& place);

// Stores a number (decimal text) or a string (its bytes); false with a
// text for the user when the place holds neither or the text is no number.
bool SetValue(const ValuePlace& place, const std::string& text, std::string& problem);

}  // namespace kvdebug
