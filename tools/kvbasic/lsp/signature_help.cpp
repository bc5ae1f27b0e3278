// textDocument/signatureHelp: the argument list of the command being
// called at the cursor, with the argument the cursor is in. A command is
// called with parentheses (x = MID$(a$, |) or as a statement without
// them (SETFONT 1, |).
#include <vector>

#include "language_features.h"
#include "source_text.h"

namespace kvlsp {

namespace {

struct Call {
    std::string command;
    int argument = 0;  // commas before the cursor at the call's level
};

// The innermost call open at byte `at` of the line, if any.
bool FindCall(const std::string& line, std::size_t at, Call& found)
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
        if (!level->name.empty() && kvcommands::FindCommand(level->name.c_str()) != nullptr) {
            found = {level->name, level->commas};
            return true;
        }
    if (open.empty() && !statement.name.empty() && kvcommands::FindCommand(statement.name.c_str()) != nullptr) {
        found = {statement.name, statement.commas};
        return true;
    }
    return false;
}

}  // namespace

Json SignatureHelpAt(const FeatureInput& input, const Json& params)
{
    const Cursor cursor = CursorOf(input.document, params);
    Call call;
    if (!FindCall(cursor.text, cursor.byte, call)) return nullptr;
    const kvcommands::Command* command = kvcommands::FindCommand(call.command.c_str());
    const Signature signature = input.reference.SignatureOf(*command);
    Json parameters = Json::Array();
    for (const std::string& parameter : signature.parameters) parameters.Push(Json::Object().Set("label", parameter));
    Json information = Json::Object()
                           .Set("label", signature.label)
                           .Set("documentation", Json::Object().Set("kind", "markdown").Set("value", input.reference.HoverText(*command)))
                           .Set("parameters", std::move(parameters));
    return Json::Object()
        .Set("signatures", Json::Array().Push(std::move(information)))
        .Set("activeSignature", 0)
        .Set("activeParameter", call.argument);
}

}  // namespace kvlsp
