#include "translator.h"

#include "checker.h"
#include "parser.h"

namespace kvbasic {

TranslateResult Translate(const TranslateRequest& request)
{
    TranslateResult result;
    Diagnostics diagnostics;
    Program program = Parse(request.source, diagnostics);
    CheckedProgram checked = Check(program, diagnostics);
    result.errors = diagnostics.Sorted();
    result.ok = result.errors.empty();
    if (!result.ok) return result;
    EmitOptions options;
    options.sourceName = request.sourceName;
    options.programName = request.programName;
    options.fileNumber = request.fileNumber;
    options.headerName = request.headerName;
    result.code = Emit(program, checked, options);
    return result;
}

std::string FormatDiagnostic(const std::string& sourceName, const Diagnostic& diagnostic)
{
    return sourceName + ":" + std::to_string(diagnostic.line) + ":" + std::to_string(diagnostic.column) +
           ": error: " + diagnostic.message;
}

}  // namespace kvbasic
