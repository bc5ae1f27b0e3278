// textDocument/definition: where the name at the cursor is defined: the
// SUB of a GOSUB, the label of a GOTO or RESTORE (in the same SUB first),
// the first assignment, DIM, CONST, FOR or READ of a variable (a parameter
// or LOCAL of the cursor's own SUB or FUNCTION first), a TYPE, a field. On
// an INCLUDE line: the included file. Names defined in an included file
// lead into that file.
#include "language_features.h"
#include "source_text.h"

namespace kvlsp {

Json DefinitionAt(const FeatureInput& input, const Json& params)
{
    const Cursor cursor = CursorOf(input.document, params);
    for (const Symbol& include : input.analysis.symbols)
        if (include.kind == SymbolKind::Include && include.file.empty() && include.line == cursor.line)
            return Json::Object().Set("uri", UriOfPath(include.target)).Set("range", MakeRange(0, 0, 0, 0));
    const Span name = NameAt(cursor.text, cursor.byte);
    if (name.Empty() || InStringOrComment(cursor.text, name.start)) return nullptr;
    const std::string word = cursor.text.substr(name.start, name.end - name.start);
    const std::string before = WordBefore(cursor.text, name.start);
    const Symbol* symbol = nullptr;
    if (before == "GOSUB") {
        symbol = FindSymbol(input.analysis, word, {SymbolKind::Sub, SymbolKind::Function});
    } else if (before == "GOTO" || before == "RESTORE") {
        // GOTO stays in its SUB: prefer the label of the cursor's own part.
        const Symbol* function = FunctionAt(input.analysis, cursor.line);
        const std::string part = function != nullptr ? function->name : "";
        for (const Symbol& each : input.analysis.symbols)
            if (each.kind == SymbolKind::Label && each.name == word && each.file.empty() &&
                (symbol == nullptr || each.container == part))
                symbol = &each;
    } else {
        const Symbol* function = FunctionAt(input.analysis, cursor.line);
        for (const Symbol& each : input.analysis.symbols) {
            if (each.name != word || each.line < 0) continue;
            if (!each.scope.empty() && (function == nullptr || each.scope != function->name)) continue;
            if (symbol == nullptr || !each.scope.empty()) symbol = &each;
        }
    }
    if (symbol == nullptr || symbol->line < 0) return nullptr;
    if (!symbol->file.empty()) {
        const int end = symbol->character + Utf16OfByte(symbol->name, std::string::npos);
        return Json::Object()
            .Set("uri", UriOfPath(symbol->file))
            .Set("range", MakeRange(symbol->line, symbol->character, symbol->line, end));
    }
    const LineIndex index(input.document.text);
    return Json::Object().Set("uri", input.document.uri).Set("range", NameRange(input.document, index, *symbol));
}

}  // namespace kvlsp
