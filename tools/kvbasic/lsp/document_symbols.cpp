// textDocument/documentSymbol: the outline of a program: its SUBs (and
// functions, record types, included files) with their labels inside, and
// the labels of the main program.
#include <map>
#include <vector>

#include "language_features.h"
#include "source_text.h"

namespace kvlsp {

namespace {

// The protocol's SymbolKind numbers.
int OutlineKind(SymbolKind kind)
{
    switch (kind) {
    case SymbolKind::Sub:
    case SymbolKind::Function: return 12;  // Function
    case SymbolKind::Label: return 20;     // Key
    case SymbolKind::Include: return 1;    // File
    case SymbolKind::Type: return 23;      // Struct
    case SymbolKind::Field: return 8;      // Field
    default: return 13;                    // Variable
    }
}

bool InOutline(SymbolKind kind)
{
    return kind == SymbolKind::Sub || kind == SymbolKind::Function || kind == SymbolKind::Label ||
           kind == SymbolKind::Include || kind == SymbolKind::Type || kind == SymbolKind::Field;
}

// A label belongs to its SUB, a field to its type.
bool IsChild(SymbolKind kind) { return kind == SymbolKind::Label || kind == SymbolKind::Field; }

}  // namespace

Json DocumentSymbols(const FeatureInput& input)
{
    const LineIndex index(input.document.text);
    auto entry = [&](const Symbol& symbol) {
        const Json selection = NameRange(input.document, index, symbol);
        const int last = std::max(symbol.line, symbol.endLine);
        const int lastLength = Utf16OfByte(index.Line(input.document.text, last), std::string::npos);
        return Json::Object()
            .Set("name", symbol.name)
            .Set("detail", symbol.detail)
            .Set("kind", OutlineKind(symbol.kind))
            .Set("range", symbol.endLine > symbol.line ? MakeRange(symbol.line, 0, last, lastLength) : selection)
            .Set("selectionRange", selection);
    };
    // The children of each container, gathered in one pass.
    std::map<std::string, std::vector<const Symbol*>> children;
    for (const Symbol& child : input.analysis.symbols)
        if (IsChild(child.kind) && child.line >= 0 && child.file.empty() && !child.container.empty())
            children[child.container].push_back(&child);
    Json outline = Json::Array();
    for (const Symbol& parent : input.analysis.symbols) {
        if (!InOutline(parent.kind) || parent.line < 0 || !parent.file.empty()) continue;
        if (IsChild(parent.kind) && !parent.container.empty()) continue;
        Json item = entry(parent);
        const auto own = IsChild(parent.kind) ? children.end() : children.find(parent.name);
        if (own != children.end()) {
            Json list = Json::Array();
            for (const Symbol* child : own->second) list.Push(entry(*child));
            item.Set("children", std::move(list));
        }
        outline.Push(std::move(item));
    }
    return outline;
}

}  // namespace kvlsp
