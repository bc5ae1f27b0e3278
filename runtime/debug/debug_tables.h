// What a program built for debugging tells its debugger about its
// variables: the generated code lists its globals once, and each SUB or
// FUNCTION lists its parameters and LOCALs for the time of its call. An
// entry names the variable as the program writes it and says where it
// lives; records come with a description of their TYPE, arrays with a
// function that shows any KvArray the same way (KvDebugArrayView).
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/arrays.h"

enum class KvDebugKind : unsigned char {
    Number,   // double
    String,   // KvStr
    Numbers,  // an array of numbers (KvIntArray, or in a record a KvFieldArray of doubles)
    Strings,  // an array of strings
    Record,   // a record of a TYPE
    Records,  // an array of records (KvArray of the TYPE's struct)
};

// A KvArray seen without its element type: where its elements are, how
// large each is and the sizes DIM gave it (dims < 1: before DIM).
struct KvDebugArray {
    char* data = nullptr;
    std::size_t elementSize = 0;
    std::int32_t size[8] = {};
    int dims = 0;
};

using KvDebugArrayView = KvDebugArray (*)(void* array);

template <typename Element>
KvDebugArray KvDebugArrayOf(void* array)
{
    KvArray<Element>& typed = *static_cast<KvArray<Element>*>(array);
    KvDebugArray view;
    view.data = reinterpret_cast<char*>(typed.data);
    view.elementSize = sizeof(Element);
    view.dims = typed.data == nullptr ? 0 : typed.dims;
    for (int k = 0; k < 8; ++k) view.size[k] = typed.size[k];
    return view;
}

// A field of a TYPE. An array field (Numbers or Strings) has the fixed
// sizes the TYPE gave it; its elements lie one after the other, the first
// index varying fastest.
struct KvDebugField {
    const char* name;  // "hist", "name$"
    KvDebugKind kind;  // Number, String, Numbers or Strings
    int dims;          // array fields: how many sizes
    const std::int32_t* sizes;
};

// A TYPE: its fields in the order written, and the generated accessor that
// gives the address of field k of a record (of its first element for an
// array field).
struct KvDebugType {
    const char* name;
    const KvDebugField* fields;
    int fieldCount;
    void* (*field)(void* record, int k);
};

// A variable: a global, or a parameter or LOCAL of a call.
struct KvDebugVariable {
    const char* name;            // as the program writes it: "x", "name$", "foes"
    KvDebugKind kind;
    void* address;               // the double, KvStr, KvArray or record
    const KvDebugType* type;     // records: their TYPE, else null
    KvDebugArrayView view;       // arrays: shows them, else null
};

// The globals of the program, listed once by its generated code.
struct KvDebugProgram {
    const KvDebugVariable* globals;
    int globalCount;
};
