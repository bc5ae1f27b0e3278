// What the language server knows of one document: the translator's errors
// (every error of the file, as `kvbasic translate` reports them) and the
// program's symbols, both from the translator's own parser and checker.
// The files the document INCLUDEs are read as the translator reads them, so
// that their SUBs, TYPEs and variables are known; their errors show at the
// INCLUDE that brings them in.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics.h"
#include "include_files.h"

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
    std::string file;  // "" for the document itself, else the path of the included file
    int line = -1;     // 0-based line of the definition in its file; -1: used, never defined
    int column = 1;    // 1-based character column of the name
    int character = 0; // the same as the protocol's UTF-16 position
    int endLine = -1;  // for SUBs and FUNCTIONs: the line of their end
    // A label's SUB ("" for the main program), a field's TYPE, a record's TYPE.
    std::string container;
    std::string scope;   // a parameter's or LOCAL's SUB or FUNCTION; "" for globals
    std::string target;  // an INCLUDE: the path of the included file
    std::string detail;  // shown beside the name (the SUB's first line, "string variable", ...)
    std::vector<std::string> parameters;  // of a SUB or FUNCTION, as written ("n", "e AS Enemy")
};

struct Analysis {
    std::vector<kvbasic::Diagnostic> errors;  // of the document, in source order
    std::vector<Symbol> symbols;              // in order of definition
    // The other files of the program: those read for INCLUDEs and, for a
    // library checked as part of its program, that program's file.
    std::vector<std::string> includedFiles;
    std::string partOf;  // the program this library was checked in; "" for a program of its own
};

// `path` is where the document lives (its folder is where INCLUDE looks);
// "" for a document that is no file, whose INCLUDEs are refused. `reader`
// reads the included files.
Analysis Analyze(std::string_view text, const std::string& path = "",
                 const kvbasic::SourceReader& reader = kvbasic::ReadSourceFile);

// A library as the program at `programPath` has it: `path` is checked
// among the program's lines (its SUBs, TYPEs and globals), its errors are
// the program's errors in it. Nothing when the program cannot be read or
// does not include it. Both files are read through `reader`.
std::optional<Analysis> AnalyzeAsPartOf(const std::string& programPath, const std::string& path,
                                        const kvbasic::SourceReader& reader);

// The SUB or FUNCTION of the document whose lines hold `line`; nullptr in
// the main program.
const Symbol* FunctionAt(const Analysis& analysis, int line);

// The symbol named `name` of one of `kinds` (all kinds when empty), the
// first defined; nullptr when there is none.
const Symbol* FindSymbol(const Analysis& analysis, const std::string& name, std::vector<SymbolKind> kinds = {});

const char* SymbolKindName(SymbolKind kind);

}  // namespace kvlsp
