// textDocument/signatureHelp: the argument list of the command, FUNCTION
// or SUB being called at the cursor, with the argument the cursor is in.
// A command or FUNCTION is called with parentheses (x = MID$(a$, |)), a
// command or SUB also as a statement without them (SETFONT 1, |).
#include <functional>
#include <vector>

#include "language_features.h"
#include "source_text.h"

namespace kvlsp {

namespace {

struct Call {
    std::string name;  // of the command, FUNCTION or SUB
    int argument = 0;  // commas before the cursor at the call's level
};

// The innermost call open at byte `at` of the line, if any, of a name
// `callable` knows.
bool FindCall(const std::string& line, std::size_t at, const std::function<bool(const std::string&)>& callable,
              Call& found)
{
    struct Open {
        std::string name;  // the name before '(' ("" for a plain parenthesis or a bracket)
        int commas = 0;
    };
    std::vector<Open> open;
    // The statement's own level: its first word and the commas after it.
    Open statement;
    bool statementStart = true;
    bool inString = false;
    for (std::size_t k = 0; k < at && k < line.size(); ++k) {
        const char c = line[k];
        if (inString) {
            inString = c != '"';
            continue;
        }
        if (c == '"') {
            inString = true;
            statementStart = false;
        } else if (c == '\'') {
            return false;
        } else if (c == '(' || c == '[') {
            Open level;
            if (c == '(') {
                std::size_t start = k;
                while (start > 0 && IsNameCharacter(line[start - 1])) --start;
                level.name = line.substr(start, k - start);
            }
            open.push_back(level);
            statementStart = false;
        } else if (c == ')' || c == ']') {
            if (!open.empty()) open.pop_back();
        } else if (c == ',') {
            (open.empty() ? statement : open.back()).commas++;
        } else if (c == ':' && open.empty()) {
            statement = Open{};
            statementStart = true;
        } else if (IsNameCharacter(c) && (k == 0 || !IsNameCharacter(line[k - 1]))) {
            const Span name = NameAt(line, k);
            const std::string word = Upper(line.substr(name.start, name.end - name.start));
            if (open.empty() && (word == "THEN" || word == "ELSE")) {
                statement = Open{};
                statementStart = true;
            } else if (statementStart && open.empty()) {
                statement.name = line.substr(name.start, name.end - name.start);
                statementStart = false;
                // Only a name followed by a blank starts a statement's argument list.
                if (name.end >= at) statement.name.clear();
            }
            if (name.end > k) k = name.end - 1;
        }
    }
    for (auto level = open.rbegin(); level != open.rend(); ++level)
        if (!level->name.empty() && callable(level->name)) {
            found = {level->name, level->commas};
            return true;
        }
    if (open.empty() && !statement.name.empty() && callable(statement.name)) {
        found = {statement.name, statement.commas};
        return true;
    }
    return false;
}

// The program's own SUB or FUNCTION of that name (they win over a
// command, as they do in the program); nullptr when there is none.
const Symbol* OwnCallable(const Analysis& analysis, const std::string& name)
{
    return FindSymbol(analysis, name, {SymbolKind::Function, SymbolKind::Sub});
}

// The signature of a SUB or FUNCTION of the program, as its first line
// declares it.
Json OwnSignature(const Symbol& function)
{
    std::string label = function.name + "(";
    Json parameters = Json::Array();
    for (std::size_t k = 0; k < function.parameters.size(); ++k) {
        if (k > 0) label += ", ";
        label += function.parameters[k];
        parameters.Push(Json::Object().Set("label", function.parameters[k]));
    }
    label += ")";
    if (function.kind == SymbolKind::Function)
        label += !function.name.empty() && function.name.back() == '$' ? " -> string" : " -> number";
    std::string where = "line " + std::to_string(function.line + 1);
    if (!function.file.empty()) where += " of " + function.file;
    return Json::Object()
        .Set("label", label)
        .Set("documentation", Json::Object().Set("kind", "markdown").Set("value", "`" + function.detail + "` (" + where + ")"))
        .Set("parameters", std::move(parameters));
}

}  // namespace

Json SignatureHelpAt(const FeatureInput& input, const Json& params)
{
    const Cursor cursor = CursorOf(input.document, params);
    Call call;
    const auto callable = [&](const std::string& name) {
        return OwnCallable(input.analysis, name) != nullptr || kvcommands::FindCommand(name.c_str()) != nullptr;
    };
    if (!FindCall(cursor.text, cursor.byte, callable, call)) return nullptr;
    Json information;
    if (const Symbol* own = OwnCallable(input.analysis, call.name)) {
        information = OwnSignature(*own);
    } else {
        const kvcommands::Command* command = kvcommands::FindCommand(call.name.c_str());
        const Signature signature = input.reference.SignatureOf(*command);
        Json parameters = Json::Array();
        for (const std::string& parameter : signature.parameters) parameters.Push(Json::Object().Set("label", parameter));
        information = Json::Object()
                          .Set("label", signature.label)
                          .Set("documentation",
                               Json::Object().Set("kind", "markdown").Set("value", input.reference.HoverText(*command)))
                          .Set("parameters", std::move(parameters));
    }
    return Json::Object()
        .Set("signatures", Json::Array().Push(std::move(information)))
        .Set("activeSignature", 0)
        .Set("activeParameter", call.argument);
}

}  // namespace kvlsp
