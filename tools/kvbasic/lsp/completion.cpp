// textDocument/completion: the names that may stand at the cursor. After
// GOTO and RESTORE the labels, after GOSUB the SUBs, after "record." and
// "records[i]." the fields of the record's TYPE; elsewhere keywords,
// commands (with their argument lists), variables, arrays, constants, SUBs,
// FUNCTIONs, TYPEs and labels, and inside a SUB or FUNCTION its parameters
// and LOCALs.
#include <cctype>

#include "language_features.h"
#include "source_text.h"

namespace kvlsp {

namespace {

// The protocol's CompletionItemKind numbers.
enum ItemKind { kMethod = 2, kFunction = 3, kField = 5, kVariable = 6, kKeyword = 14, kFile = 17,
                kReference = 18, kConstant = 21, kStruct = 22 };

const char* const kKeywords[] = {
    "IF", "THEN", "ELSE", "ELSEIF", "ENDIF", "END IF", "FOR", "TO", "STEP", "NEXT", "WHILE", "WEND", "REPEAT", "UNTIL",
    "BREAK", "CONTINUE", "RETURN", "GOSUB", "GOTO", "SUB", "ENDSUB", "END SUB", "EXIT FOR", "EXIT WHILE",
    "EXIT REPEAT", "EXIT SUB", "DIM", "REM", "AND", "OR", "NOT", "MOD", "CONST", "DATA", "READ", "RESTORE",
    "SELECT CASE", "CASE", "CASE ELSE", "IS", "END SELECT", "FUNCTION", "END FUNCTION", "EXIT FUNCTION", "LOCAL",
    "INCLUDE", "TYPE", "END TYPE", "AS",
};

int ItemKindOf(SymbolKind kind)
{
    switch (kind) {
    case SymbolKind::Sub: return kMethod;
    case SymbolKind::Function: return kFunction;
    case SymbolKind::Label: return kReference;
    case SymbolKind::Constant: return kConstant;
    case SymbolKind::Include: return kFile;
    case SymbolKind::Type: return kStruct;
    case SymbolKind::Field: return kField;
    default: return kVariable;
    }
}

bool StartsWith(const std::string& name, const std::string& upperPrefix)
{
    return Upper(name).rfind(upperPrefix, 0) == 0;
}

// The name of the record before the '.' at byte `dot`: "e" of "e." and
// "foes" of "foes[k + 1].".
std::string RecordBefore(const std::string& line, std::size_t dot)
{
    std::size_t end = dot;
    if (end > 0 && line[end - 1] == ']') {
        int depth = 0;
        while (end > 0) {
            const char c = line[--end];
            if (c == ']') ++depth;
            if (c == '[' && --depth == 0) break;
        }
    }
    std::size_t start = end;
    while (start > 0 && IsNameCharacter(line[start - 1])) --start;
    return line.substr(start, end - start);
}

}  // namespace

Json Complete(const FeatureInput& input, const Json& params)
{
    const Cursor cursor = CursorOf(input.document, params);
    Json items = Json::Array();
    if (InStringOrComment(cursor.text, cursor.byte)) return items;
    std::size_t start = cursor.byte;
    while (start > 0 && IsNameCharacter(cursor.text[start - 1])) --start;
    const std::string prefix = Upper(cursor.text.substr(start, cursor.byte - start));
    const std::string before = WordBefore(cursor.text, cursor.byte);

    // Parameters and LOCALs are offered in their own SUB or FUNCTION only.
    const Symbol* function = FunctionAt(input.analysis, cursor.line);
    auto inScope = [&](const Symbol& symbol) {
        return symbol.scope.empty() || (function != nullptr && symbol.scope == function->name);
    };
    auto addSymbols = [&](std::vector<SymbolKind> kinds, const std::string& container = "") {
        for (const Symbol& symbol : input.analysis.symbols) {
            bool wanted = kinds.empty();
            for (const SymbolKind kind : kinds) wanted = wanted || symbol.kind == kind;
            if (!wanted || !StartsWith(symbol.name, prefix) || !inScope(symbol)) continue;
            if (!container.empty() && symbol.container != container) continue;
            items.Push(Json::Object()
                           .Set("label", symbol.name)
                           .Set("kind", ItemKindOf(symbol.kind))
                           .Set("detail", symbol.detail));
        }
    };
    if (before == "GOTO" || before == "RESTORE") {
        addSymbols({SymbolKind::Label});
        return items;
    }
    if (before == "GOSUB") {
        addSymbols({SymbolKind::Sub});
        return items;
    }
    if (start > 0 && cursor.text[start - 1] == '.') {
        // The fields of the record's TYPE; all fields when it is not known.
        const std::string record = RecordBefore(cursor.text, start - 1);
        std::string type;
        for (const Symbol& symbol : input.analysis.symbols)
            if ((symbol.kind == SymbolKind::Variable || symbol.kind == SymbolKind::Array) && symbol.name == record &&
                !symbol.container.empty() && inScope(symbol))
                type = symbol.container;
        addSymbols({SymbolKind::Field}, type);
        return items;
    }

    for (const char* keyword : kKeywords)
        if (std::string(keyword).rfind(prefix, 0) == 0)
            items.Push(Json::Object().Set("label", keyword).Set("kind", kKeyword));
    for (int k = 0; k < kvcommands::kCommandCount; ++k) {
        const kvcommands::Command& command = kvcommands::kCommands[k];
        if (!StartsWith(command.name, prefix)) continue;
        // The reference text comes with completionItem/resolve, for the
        // item the editor shows: the list itself stays small.
        items.Push(Json::Object()
                       .Set("label", command.name)
                       .Set("kind", kFunction)
                       .Set("detail", input.reference.SignatureOf(command).label)
                       .Set("data", Json::Object().Set("command", command.name)));
    }
    addSymbols({SymbolKind::Variable, SymbolKind::Array, SymbolKind::Constant, SymbolKind::Sub, SymbolKind::Function,
                SymbolKind::Label, SymbolKind::Type});
    return items;
}

Json ResolveCompletion(const CommandReference& reference, const Json& item)
{
    Json resolved = item;
    const kvcommands::Command* command = kvcommands::FindCommand(item["data"]["command"].AsString().c_str());
    if (command != nullptr)
        resolved.Set("documentation", Json::Object().Set("kind", "markdown").Set("value", reference.HoverText(*command)));
    return resolved;
}

}  // namespace kvlsp
