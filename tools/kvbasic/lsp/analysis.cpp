#include "analysis.h"

#include <algorithm>
#include <climits>
#include <set>

#include "checker.h"
#include "parser.h"

namespace kvlsp {

namespace {

using kvbasic::Expr;
using kvbasic::Statement;

// Collects the symbols of a parsed and checked program.
class SymbolCollector {
public:
    SymbolCollector(const kvbasic::Program& program, const kvbasic::CheckedProgram& checked)
        : program_(program), checked_(checked)
    {
    }

    std::vector<Symbol> Collect()
    {
        for (const kvbasic::Function& function : checked_.functions) {
            if (function.name.empty() || function.firstLine < 0 ||
                function.firstLine >= static_cast<int>(program_.lines.size()))
                continue;
            const kvbasic::Line& line = program_.lines[function.firstLine];
            Symbol sub;
            sub.kind = function.isFunction ? SymbolKind::Function : SymbolKind::Sub;
            sub.name = function.name;
            sub.line = function.firstLine;
            sub.column = NameColumn(line.text, function.name);
            sub.endLine = function.lastLine;
            sub.detail = Trimmed(line.text);
            Add(std::move(sub));
        }
        for (const kvbasic::Line& line : program_.lines) {
            if (!line.label.empty()) {
                Symbol label;
                label.kind = SymbolKind::Label;
                label.name = line.label;
                label.line = line.index;
                label.column = line.labelColumn;
                label.container = FunctionOf(line.index);
                label.detail = label.container.empty() ? "label" : "label in SUB " + label.container;
                Add(std::move(label));
            }
            for (const auto& statement : line.statements) Definitions(*statement, line.index);
        }
        // Variables only read somewhere are known without a place.
        for (const auto& [name, variable] : checked_.variables) {
            if (seen_.count(Key(SymbolKind::Variable, name)) || seen_.count(Key(SymbolKind::Array, name)) ||
                seen_.count(Key(SymbolKind::Constant, name)))
                continue;
            Symbol symbol;
            symbol.kind = variable.isArray ? SymbolKind::Array : SymbolKind::Variable;
            symbol.name = name;
            symbol.detail = Describe(name, symbol.kind);
            Add(std::move(symbol));
        }
        // In the order of the source; names without a place last.
        std::stable_sort(symbols_.begin(), symbols_.end(), [](const Symbol& a, const Symbol& b) {
            return (a.line < 0 ? INT_MAX : a.line) < (b.line < 0 ? INT_MAX : b.line);
        });
        return std::move(symbols_);
    }

private:
    static std::string Key(SymbolKind kind, const std::string& name) { return std::to_string(static_cast<int>(kind)) + name; }

    void Add(Symbol symbol)
    {
        if (seen_.insert(Key(symbol.kind, symbol.name)).second) symbols_.push_back(std::move(symbol));
    }

    static std::string Trimmed(const std::string& text)
    {
        const std::size_t start = text.find_first_not_of(" \t");
        if (start == std::string::npos) return "";
        const std::size_t end = text.find_last_not_of(" \t");
        return text.substr(start, end - start + 1);
    }

    // The character column of `name` in the line (after the SUB keyword).
    static int NameColumn(const std::string& text, const std::string& name)
    {
        const std::size_t keyword = text.find_first_not_of(" \t");
        std::size_t at = text.find(name, keyword == std::string::npos ? 0 : keyword + 3);
        if (at == std::string::npos) at = 0;
        int column = 1;
        for (std::size_t k = 0; k < at; ++k)
            if ((static_cast<unsigned char>(text[k]) & 0xC0) != 0x80) ++column;
        return column;
    }

    std::string FunctionOf(int line) const
    {
        for (const kvbasic::Function& function : checked_.functions)
            if (!function.name.empty() && line >= function.firstLine && line <= function.lastLine) return function.name;
        return "";
    }

    std::string Describe(const std::string& name, SymbolKind kind) const
    {
        const bool isString = !name.empty() && name.back() == '$';
        if (kind == SymbolKind::Constant) return isString ? "string constant" : "number constant";
        if (kind == SymbolKind::Array) return isString ? "array of strings" : "array of numbers";
        return isString ? "string variable" : "number variable";
    }

    void Define(const Expr* target, int line, SymbolKind kind)
    {
        if (target == nullptr || (target->type != Expr::Type::Variable && target->type != Expr::Type::Element)) return;
        const auto known = checked_.variables.find(target->text);
        if (known != checked_.variables.end() && kind == SymbolKind::Variable) {
            if (known->second.isArray) kind = SymbolKind::Array;
            if (known->second.isConst) kind = SymbolKind::Constant;
        }
        Symbol symbol;
        symbol.kind = kind;
        symbol.name = target->text;
        symbol.line = line;
        symbol.column = target->column;
        symbol.detail = Describe(target->text, kind);
        Add(std::move(symbol));
    }

    void Definitions(const Statement& statement, int line)
    {
        using T = Statement::Type;
        switch (statement.type) {
        case T::Assign:
        case T::For: Define(statement.target.get(), line, SymbolKind::Variable); break;
        case T::Dim: Define(statement.target.get(), line, SymbolKind::Array); break;
        case T::Const: Define(statement.target.get(), line, SymbolKind::Constant); break;
        case T::Read:
            for (const auto& item : statement.items) Define(item.get(), line, SymbolKind::Variable);
            break;
        default: break;
        }
        if (statement.then) Definitions(*statement.then, line);
        if (statement.otherwise) Definitions(*statement.otherwise, line);
        for (const auto& each : statement.body) Definitions(*each, line);
    }

    const kvbasic::Program& program_;
    const kvbasic::CheckedProgram& checked_;
    std::vector<Symbol> symbols_;
    std::set<std::string> seen_;
};

}  // namespace

Analysis Analyze(std::string_view text)
{
    Analysis analysis;
    kvbasic::Diagnostics diagnostics;
    kvbasic::Program program = kvbasic::Parse(text, diagnostics);
    const kvbasic::CheckedProgram checked = kvbasic::Check(program, diagnostics);
    analysis.errors = diagnostics.Sorted();
    analysis.symbols = SymbolCollector(program, checked).Collect();
    return analysis;
}

const Symbol* FindSymbol(const Analysis& analysis, const std::string& name, std::vector<SymbolKind> kinds)
{
    for (const Symbol& symbol : analysis.symbols)
        if (symbol.name == name && (kinds.empty() || std::find(kinds.begin(), kinds.end(), symbol.kind) != kinds.end()))
            return &symbol;
    return nullptr;
}

const char* SymbolKindName(SymbolKind kind)
{
    switch (kind) {
    case SymbolKind::Sub: return "SUB";
    case SymbolKind::Function: return "FUNCTION";
    case SymbolKind::Label: return "label";
    case SymbolKind::Variable: return "variable";
    case SymbolKind::Array: return "array";
    case SymbolKind::Constant: return "constant";
    case SymbolKind::Include: return "included file";
    case SymbolKind::Type: return "TYPE";
    case SymbolKind::Field: return "field";
    }
    return "";
}

}  // namespace kvlsp
