// textDocument/hover: for a command its signature and its row of
// docs/commands.md; for a name of the program what it is and where it is
// defined.
#include "language_features.h"
#include "source_text.h"

namespace kvlsp {

Json HoverAt(const FeatureInput& input, const Json& params)
{
    const Cursor cursor = CursorOf(input.document, params);
    const Span name = NameAt(cursor.text, cursor.byte);
    if (name.Empty() || InStringOrComment(cursor.text, name.start)) return nullptr;
    const std::string word = cursor.text.substr(name.start, name.end - name.start);
    std::string text;
    const Symbol* symbol = FindSymbol(input.analysis, word);
    const kvcommands::Command* command = kvcommands::FindCommand(word.c_str());
    // A program's own name wins where it is defined as one (a label or
    // variable spelt like a late function such as SPLIT).
    if (symbol != nullptr && (command == nullptr || (symbol->line == cursor.line && symbol->file.empty()))) {
        text = "**" + std::string(SymbolKindName(symbol->kind)) + "** `" + symbol->name + "`";
        if (!symbol->detail.empty()) text += ": " + symbol->detail;
        if (symbol->line >= 0)
            text += " (line " + std::to_string(symbol->line + 1) + (symbol->file.empty() ? "" : " of " + symbol->file) + ")";
    } else if (command != nullptr) {
        text = input.reference.HoverText(*command);
    } else {
        return nullptr;
    }
    return Json::Object()
        .Set("contents", Json::Object().Set("kind", "markdown").Set("value", text))
        .Set("range", MakeRange(cursor.line, Utf16OfByte(cursor.text, name.start), cursor.line,
                                Utf16OfByte(cursor.text, name.end)));
}

}  // namespace kvlsp
