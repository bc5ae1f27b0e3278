// BASIC source in, generated C++ out: parse, check, emit. Nothing is
// emitted for a program with errors; the errors come in source order.
#pragma once

#include <string>
#include <vector>

#include "cpp_emitter.h"
#include "diagnostics.h"
#include "include_files.h"

namespace kvbasic {

struct TranslateRequest {
    std::string source;       // the BASIC text, UTF-8
    std::string sourceName;   // the file name errors and the generated code name
    // Where the source was read from: INCLUDE reads files relative to its
    // folder. Empty: the source name's folder.
    std::string sourcePath;
    SourceReader readFile = ReadSourceFile;  // empty: INCLUDE is refused
    std::string programName;  // the default window caption
    std::string headerName;   // see EmitOptions
    int partStatements = 0;   // see EmitOptions
    std::string partHeaderName;
    int fileNumber = 0;
    bool debug = false;       // see EmitOptions
    bool integerPaths = true; // see EmitOptions
};

struct TranslateResult {
    bool ok = false;
    std::vector<Diagnostic> errors;
    GeneratedCode code;
    std::vector<std::string> sourceFiles;  // the paths of every file read: the main file, then the included ones
};

TranslateResult Translate(const TranslateRequest& request);

// "prog.bas:12:5: error: message"; an error of an included file names that
// file instead of `sourceName`.
std::string FormatDiagnostic(const std::string& sourceName, const Diagnostic& diagnostic);

}  // namespace kvbasic
