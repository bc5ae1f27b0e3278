#include "translator.h"

#include "build_size.h"
#include "checker.h"

namespace kvbasic {

TranslateResult Translate(const TranslateRequest& request)
{
    TranslateResult result;
    Diagnostics diagnostics;
    const std::string path = request.sourcePath.empty() ? request.sourceName : request.sourcePath;
    Program program = ParseProgram(request.source, request.sourceName, path, request.readFile, diagnostics);
    CheckedProgram checked = Check(program, diagnostics);
    // What the C++ compiler could not build is refused here: accepted
    // means it compiles.
    if (diagnostics.Empty()) CheckBuildSize(program, checked, diagnostics);
    result.errors = diagnostics.Sorted();
    LocateDiagnostics(program, result.errors);
    for (const SourceFile& file : program.files) result.sourceFiles.push_back(file.path);
    result.ok = result.errors.empty();
    if (!result.ok) return result;
    EmitOptions options;
    options.sourceName = request.sourceName;
    options.programName = request.programName;
    options.fileNumber = request.fileNumber;
    options.headerName = request.headerName;
    options.partStatements = request.partStatements;
    options.partHeaderName = request.partHeaderName;
    options.debug = request.debug;
    options.integerPaths = request.integerPaths && !request.debug;
    result.code = Emit(program, checked, options);
    return result;
}

std::string FormatDiagnostic(const std::string& sourceName, const Diagnostic& diagnostic)
{
    return (diagnostic.file.empty() ? sourceName : diagnostic.file) + ":" + std::to_string(diagnostic.line) + ":" + std::to_string(diagnostic.column) +
           ": error: " + diagnostic.message;
}

}  // namespace kvbasic
