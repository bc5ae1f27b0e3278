#include "analysis.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "checker.h"
#include "documents.h"
#include "parser.h"
#include "source_text.h"

namespace kvlsp {

namespace {

namespace fs = std::filesystem;
using kvbasic::Expr;
using kvbasic::Statement;

// Collects the symbols of a parsed and checked program, each in its own
// file with the line it has there. `document` is the file the editor
// shows (0, the main file, unless a library is checked as part of its
// program): its symbols have no file.
class SymbolCollector {
public:
    SymbolCollector(const kvbasic::Program& program, const kvbasic::CheckedProgram& checked, int document)
        : program_(program), checked_(checked), document_(document)
    {
        // Which SUB or FUNCTION each line belongs to, found once.
        functionOfLine_.assign(program.lines.size(), nullptr);
        for (const kvbasic::Function& function : checked_.functions) {
            if (function.name.empty()) continue;
            const int last = std::min(function.lastLine, static_cast<int>(program.lines.size()) - 1);
            for (int line = std::max(0, function.firstLine); line <= last; ++line)
                if (functionOfLine_[line] == nullptr) functionOfLine_[line] = &function;
        }
    }

    std::vector<Symbol> Collect()
    {
        for (const kvbasic::Function& function : checked_.functions) {
            if (function.name.empty() || function.firstLine < 0 ||
                function.firstLine >= static_cast<int>(program_.lines.size()))
                continue;
            const kvbasic::Line& line = program_.lines[function.firstLine];
            Symbol sub = At(line, NameColumn(line.text, function.name));
            sub.kind = function.isFunction ? SymbolKind::Function : SymbolKind::Sub;
            sub.name = function.name;
            const int last = std::min(function.lastLine, static_cast<int>(program_.lines.size()) - 1);
            sub.endLine = program_.lines[last].fileLine;
            sub.detail = Trimmed(line.text);
            sub.parameters = Parameters(line);
            Add(std::move(sub));
        }
        for (const kvbasic::Line& line : program_.lines) {
            if (!line.label.empty()) {
                Symbol label = At(line, line.labelColumn);
                label.kind = SymbolKind::Label;
                label.name = line.label;
                label.container = FunctionOf(line.index) ? FunctionOf(line.index)->name : "";
                label.detail = label.container.empty() ? "label" : "label in SUB " + label.container;
                Add(std::move(label));
            }
            for (const auto& statement : line.statements) Definitions(*statement, line);
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
        // The document's symbols in the order of its lines, then those of
        // the included files, names without a place last.
        auto order = [](const Symbol& symbol) {
            return std::make_tuple(symbol.line < 0 ? 2 : symbol.file.empty() ? 0 : 1, symbol.line);
        };
        std::stable_sort(symbols_.begin(), symbols_.end(),
                         [&](const Symbol& a, const Symbol& b) { return order(a) < order(b); });
        return std::move(symbols_);
    }

private:
    // Fields of different TYPEs and LOCALs of different functions may share a name.
    static std::string Key(SymbolKind kind, const std::string& name, const std::string& container = "",
                           const std::string& scope = "")
    {
        return std::to_string(static_cast<int>(kind)) + " " + container + " " + scope + " " + name;
    }
    static std::string Key(const Symbol& symbol) { return Key(symbol.kind, symbol.name, symbol.container, symbol.scope); }

    void Add(Symbol symbol)
    {
        if (seen_.insert(Key(symbol)).second) symbols_.push_back(std::move(symbol));
    }

    // A symbol placed at `column` of `line`, in the line's file.
    Symbol At(const kvbasic::Line& line, int column)
    {
        Symbol symbol;
        if (line.file != document_ && line.file < static_cast<int>(program_.files.size()))
            symbol.file = program_.files[line.file].path;
        symbol.line = line.fileLine;
        symbol.column = column;
        // Definitions of a line come in the order of their columns.
        if (columns_.Line().data() != line.text.data() || columns_.Line().size() != line.text.size())
            columns_.Reset(line.text);
        symbol.character = columns_.Utf16OfColumn(column);
        return symbol;
    }

    // The parameters of the SUB or FUNCTION that `line` starts, as written:
    // "n", "grid[]", "e AS Enemy".
    static std::vector<std::string> Parameters(const kvbasic::Line& line)
    {
        std::vector<std::string> parameters;
        for (const auto& statement : line.statements) {
            if (statement->type != Statement::Type::Sub && statement->type != Statement::Type::Function) continue;
            for (std::size_t k = 0; k < statement->items.size(); ++k) {
                std::string parameter = statement->items[k]->text;
                if (statement->items[k]->type == Expr::Type::Element) parameter += "[]";
                if (k < statement->itemTypes.size() && !statement->itemTypes[k].empty())
                    parameter += " AS " + statement->itemTypes[k];
                parameters.push_back(std::move(parameter));
            }
            break;
        }
        return parameters;
    }

    static std::string Trimmed(const std::string& text)
    {
        const std::size_t start = text.find_first_not_of(" \t");
        if (start == std::string::npos) return "";
        const std::size_t end = text.find_last_not_of(" \t");
        return text.substr(start, end - start + 1);
    }

    // The character column of `name` in the line, after its first word
    // (SUB, FUNCTION, TYPE).
    static int NameColumn(const std::string& text, const std::string& name)
    {
        std::size_t keyword = text.find_first_not_of(" \t");
        if (keyword == std::string::npos) keyword = 0;
        while (keyword < text.size() && IsNameCharacter(text[keyword])) ++keyword;
        std::size_t at = Upper(text).find(Upper(name), keyword);
        if (at == std::string::npos) at = 0;
        int column = 1;
        for (std::size_t k = 0; k < at; ++k)
            if ((static_cast<unsigned char>(text[k]) & 0xC0) != 0x80) ++column;
        return column;
    }

    const kvbasic::Function* FunctionOf(int line) const
    {
        return line >= 0 && line < static_cast<int>(functionOfLine_.size()) ? functionOfLine_[line] : nullptr;
    }

    std::string Describe(const std::string& name, SymbolKind kind) const
    {
        const bool isString = !name.empty() && name.back() == '$';
        if (kind == SymbolKind::Constant) return isString ? "string constant" : "number constant";
        if (kind == SymbolKind::Array) return isString ? "array of strings" : "array of numbers";
        return isString ? "string variable" : "number variable";
    }

    void Define(const Expr* target, const kvbasic::Line& line, SymbolKind kind)
    {
        if (target == nullptr || (target->type != Expr::Type::Variable && target->type != Expr::Type::Element)) return;
        // Inside a SUB or FUNCTION its parameters and LOCALs hide the globals.
        const kvbasic::Function* function = FunctionOf(line.index);
        if (function != nullptr && function->scope.count(target->text)) return;
        Symbol symbol = At(line, target->column);
        symbol.name = target->text;
        const auto record = checked_.records.find(target->text);
        if (record != checked_.records.end() && record->second.type < static_cast<int>(checked_.types.size())) {
            symbol.kind = record->second.isArray ? SymbolKind::Array : SymbolKind::Variable;
            symbol.container = checked_.types[record->second.type].name;
            symbol.detail = (record->second.isArray ? "array of records " : "record ") + symbol.container;
            Add(std::move(symbol));
            return;
        }
        const auto known = checked_.variables.find(target->text);
        if (known != checked_.variables.end() && kind == SymbolKind::Variable) {
            if (known->second.isArray) kind = SymbolKind::Array;
            if (known->second.isConst) kind = SymbolKind::Constant;
        }
        symbol.kind = kind;
        symbol.detail = Describe(target->text, kind);
        Add(std::move(symbol));
    }

    // The parameters of a SUB or FUNCTION, the names of a LOCAL: known in
    // that SUB or FUNCTION only.
    void DefineScoped(const Statement& statement, const kvbasic::Line& line, const char* what)
    {
        const kvbasic::Function* function = FunctionOf(line.index);
        if (function == nullptr) return;
        for (std::size_t k = 0; k < statement.items.size(); ++k) {
            const Expr* item = statement.items[k].get();
            if (item->type != Expr::Type::Variable && item->type != Expr::Type::Element) continue;
            const auto variable = function->scope.find(item->text);
            Symbol symbol = At(line, item->column);
            symbol.name = item->text;
            symbol.kind = (variable != function->scope.end() && variable->second.isArray) ||
                                  item->type == Expr::Type::Element
                              ? SymbolKind::Array
                              : SymbolKind::Variable;
            symbol.scope = function->name;
            // A record parameter (e AS Enemy, foes[] AS Enemy): its TYPE.
            const std::string type = k < statement.itemTypes.size() ? statement.itemTypes[k] : "";
            if (!type.empty()) {
                symbol.container = type;
                symbol.detail = std::string(symbol.kind == SymbolKind::Array ? "array of records " : "record ") + type +
                                ", " + what + " of " + function->name;
            } else {
                symbol.detail = Describe(item->text, symbol.kind) + ", " + what + " of " + function->name;
            }
            Add(std::move(symbol));
        }
    }

    void Definitions(const Statement& statement, const kvbasic::Line& line)
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
        case T::Sub:
        case T::Function: DefineScoped(statement, line, "parameter"); break;
        case T::Local: DefineScoped(statement, line, "LOCAL"); break;
        case T::Type: {
            Symbol type = At(line, NameColumn(line.text, statement.name));
            type.kind = SymbolKind::Type;
            type.name = statement.name;
            type.detail = "TYPE " + statement.name;
            Add(std::move(type));
            currentType_ = statement.name;
            break;
        }
        case T::EndType: currentType_.clear(); break;
        case T::Fields:
            for (const auto& item : statement.items) {
                Symbol field = At(line, item->column);
                field.kind = SymbolKind::Field;
                field.name = item->text;
                field.container = currentType_;
                field.detail = std::string(item->type == Expr::Type::Element ? "array field" : "field") + " of " +
                               currentType_;
                Add(std::move(field));
            }
            break;
        case T::Include: {
            Symbol include = At(line, statement.column);
            include.kind = SymbolKind::Include;
            include.name = statement.name;
            const std::string& from = line.file < static_cast<int>(program_.files.size())
                                          ? program_.files[line.file].path : std::string();
            include.target = (fs::path(from).parent_path() / statement.name).lexically_normal().string();
            include.detail = "INCLUDE \"" + statement.name + "\"";
            Add(std::move(include));
            break;
        }
        default: break;
        }
        if (statement.then) Definitions(*statement.then, line);
        if (statement.otherwise) Definitions(*statement.otherwise, line);
        for (const auto& each : statement.body) Definitions(*each, line);
    }

    const kvbasic::Program& program_;
    const kvbasic::CheckedProgram& checked_;
    const int document_;
    std::vector<const kvbasic::Function*> functionOfLine_;  // by Line::index; nullptr: the main program
    ColumnWalker columns_;
    std::vector<Symbol> symbols_;
    std::set<std::string> seen_;
    std::string currentType_;  // the TYPE whose fields are being read
};

// Where an included file's errors show in the document: the INCLUDE (in
// the document) that brings the file in, directly or through other files.
class IncludeChain {
public:
    IncludeChain(const kvbasic::Program& program, int document) : program_(program), document_(document)
    {
        for (const kvbasic::Line& line : program.lines)
            for (const auto& statement : line.statements) {
                if (statement->type != Statement::Type::Include || line.file >= static_cast<int>(program.files.size()))
                    continue;
                const std::string path =
                    (fs::path(program.files[line.file].path).parent_path() / statement->name).lexically_normal().string();
                for (std::size_t file = 1; file < program.files.size(); ++file)
                    if (program.files[file].path == path && !parents_.count(static_cast<int>(file)))
                        parents_[static_cast<int>(file)] = {line.file, line.fileLine, statement->column};
            }
    }

    // Moves an error of an included file to the document's INCLUDE line.
    bool Relocate(kvbasic::Diagnostic& error) const
    {
        int file = -1;
        for (std::size_t k = 1; k < program_.files.size(); ++k)
            if (program_.files[k].path == error.file) file = static_cast<int>(k);
        if (file < 0) return false;
        const std::string place = "in \"" + program_.files[file].name + "\" line " + std::to_string(error.line) + ": ";
        for (int steps = 0; file != document_ && steps <= static_cast<int>(program_.files.size()); ++steps) {
            const auto parent = parents_.find(file);
            if (parent == parents_.end()) return false;
            if (parent->second.file == document_) {
                error.line = parent->second.fileLine + 1;
                error.column = parent->second.column;
                error.message = place + error.message;
                error.file.clear();
                return true;
            }
            file = parent->second.file;
        }
        return false;
    }

private:
    struct Place {
        int file = 0, fileLine = 0, column = 1;
    };
    const kvbasic::Program& program_;
    const int document_;
    std::map<int, Place> parents_;  // included file -> where it is included
};

// The analysis of file `document` of a parsed program (0: its main file).
Analysis AnalyzeFile(kvbasic::Program& program, kvbasic::Diagnostics& diagnostics, int document)
{
    Analysis analysis;
    const kvbasic::CheckedProgram checked = kvbasic::Check(program, diagnostics);
    std::vector<kvbasic::Diagnostic> errors = diagnostics.Sorted();
    kvbasic::LocateDiagnostics(program, errors);
    const std::string& documentPath = program.files[document].path;
    const IncludeChain chain(program, document);
    for (kvbasic::Diagnostic& error : errors) {
        // LocateDiagnostics names the file of every error but the main file's.
        if (document != 0 && error.file == documentPath) error.file.clear();
        else if (document != 0 && error.file.empty()) continue;  // the program's own: shown in its file
        if (error.file.empty() || chain.Relocate(error)) analysis.errors.push_back(std::move(error));
    }
    std::stable_sort(analysis.errors.begin(), analysis.errors.end(),
                     [](const kvbasic::Diagnostic& a, const kvbasic::Diagnostic& b) { return a.line < b.line; });
    for (std::size_t file = 0; file < program.files.size(); ++file)
        if (static_cast<int>(file) != document) analysis.includedFiles.push_back(program.files[file].path);
    analysis.symbols = SymbolCollector(program, checked, document).Collect();
    if (document != 0) analysis.partOf = program.files[0].path;
    return analysis;
}

}  // namespace

Analysis Analyze(std::string_view text, const std::string& path, const kvbasic::SourceReader& reader)
{
    kvbasic::Diagnostics diagnostics;
    const std::string name = path.empty() ? "program" : fs::path(path).filename().string();
    kvbasic::Program program = kvbasic::ParseProgram(std::string(text), name, path,
                                                     path.empty() ? kvbasic::SourceReader() : reader, diagnostics);
    return AnalyzeFile(program, diagnostics, 0);
}

std::optional<Analysis> AnalyzeAsPartOf(const std::string& programPath, const std::string& path,
                                        const kvbasic::SourceReader& reader)
{
    std::string text, problem;
    if (programPath.empty() || path.empty() || !reader(programPath, text, problem)) return std::nullopt;
    kvbasic::Diagnostics diagnostics;
    kvbasic::Program program = kvbasic::ParseProgram(text, fs::path(programPath).filename().string(), programPath,
                                                     reader, diagnostics);
    const std::string wanted = fs::path(path).lexically_normal().string();
    for (std::size_t file = 1; file < program.files.size(); ++file)
        if (program.files[file].path == wanted) return AnalyzeFile(program, diagnostics, static_cast<int>(file));
    return std::nullopt;  // the program does not include it (any more)
}

const Symbol* FunctionAt(const Analysis& analysis, int line)
{
    for (const Symbol& symbol : analysis.symbols)
        if ((symbol.kind == SymbolKind::Sub || symbol.kind == SymbolKind::Function) && symbol.file.empty() &&
            line >= symbol.line && line <= symbol.endLine)
            return &symbol;
    return nullptr;
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
