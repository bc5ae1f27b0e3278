// Fuzzes the BASIC translator: any bytes as a source file go through the
// lexer, parser, checker and, when accepted, the C++ emitter. It must never
// crash, hang or read out of bounds, and a rejected source has errors on
// lines that exist. (That accepted programs compile is checked by
// tests/kvbasic/random_programs_test.cpp on a sample.)
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "translator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    kvbasic::TranslateRequest request;
    request.source.assign(reinterpret_cast<const char*>(data), size);
    request.sourceName = "fuzz.bas";
    request.programName = "fuzz";
    request.headerName = size % 2 ? "fuzz.h" : "";
    const kvbasic::TranslateResult result = kvbasic::Translate(request);
    const long lines = std::count(request.source.begin(), request.source.end(), '\n') + 1;
    for (const kvbasic::Diagnostic& error : result.errors)
        if (error.line < 1 || error.line > lines || error.message.empty()) std::abort();
    if (result.ok == !result.errors.empty()) std::abort();
    return 0;
}
