// textDocument/definition: where the name at the cursor is defined: the
// SUB of a GOSUB, the label of a GOTO or RESTORE (in the same SUB first),
// the first assignment, DIM, CONST, FOR or READ of a variable.
#include "language_features.h"
#include "source_text.h"

namespace kvlsp {

Json DefinitionAt(const FeatureInput& input, const Json& params)
{
    const Cursor cursor = CursorOf(input.document, params);
    const Span name = NameAt(cursor.text, cursor.byte);
    if (name.Empty() || InStringOrComment(cursor.text, name.start)) return nullptr;
    const std::string word = cursor.text.substr(name.start, name.end - name.start);
    const std::string before = WordBefore(cursor.text, name.start);
    const Symbol* symbol = nullptr;
    if (before == "GOSUB") {
        symbol = FindSymbol(input.analysis, word, {SymbolKind::Sub, SymbolKind::Function});
    } else if (before == "GOTO" || before == "RESTORE") {
        // GOTO stays in its SUB: prefer the label of the cursor's own part.
        std::string part;
        for (const Symbol& each : input.analysis.symbols)
            if (each.kind == SymbolKind::Sub && cursor.line >= each.line && cursor.line <= each.endLine) part = each.name;
        for (const Symbol& each : input.analysis.symbols)
            if (each.kind == SymbolKind::Label && each.name == word && (symbol == nullptr || each.container == part))
                symbol = &each;
    } else {
        for (const Symbol& each : input.analysis.symbols)
            if (each.name == word && each.line >= 0) {
                symbol = &each;
                break;
            }
    }
    if (symbol == nullptr || symbol->line < 0) return nullptr;
    return Json::Object().Set("uri", input.document.uri).Set("range", NameRange(input.document, *symbol));
}

}  // namespace kvlsp
