// What the language server knows of one document: the translator's errors
// (every error of the file, as `kvbasic translate` reports them) and the
// program's symbols, both from the translator's own parser and checker.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "diagnostics.h"

namespace kvlsp {

// The kinds of names a program defines. The language server treats them
// alike (completion, definition, outline) and tells them apart by kind, so
// that a new kind of definition only adds its kind and where it is found.
enum class SymbolKind {
    Sub,       // SUB name: ... ENDSUB
    Function,  // a SUB or function that returns a value
    Label,     // name: at the start of a line
    Variable,  // a number or string variable
    Array,     // a variable with indices
    Constant,  // CONST name = value
    Include,   // a source file the program includes
    Type,      // a record type
    Field,     // a field of a record type (container: the type)
};

struct Symbol {
    SymbolKind kind = SymbolKind::Variable;
    std::string name;
    int line = -1;    // 0-based line of the definition; -1: used, never defined
    int column = 1;   // 1-based character column of the name
    int endLine = -1; // for SUBs: the line of the ENDSUB
    std::string container;  // a label's SUB ("" for the main program), a field's type
    std::string detail;     // shown beside the name (the SUB's first line, "string variable", ...)
};

struct Analysis {
    std::vector<kvbasic::Diagnostic> errors;  // in source order
    std::vector<Symbol> symbols;              // in order of definition
};

Analysis Analyze(std::string_view text);

// The symbol named `name` of one of `kinds` (all kinds when empty), the
// first defined; nullptr when there is none.
const Symbol* FindSymbol(const Analysis& analysis, const std::string& name, std::vector<SymbolKind> kinds = {});

const char* SymbolKindName(SymbolKind kind);

}  // namespace kvlsp
