#include "parser.h"

#include <algorithm>
#include <cctype>

#include "lexer.h"

namespace kvbasic {

namespace {

const char* const kKeywords[] = {
    "IF",  "THEN",   "ELSE",  "ELSEIF", "ENDIF", "FOR",   "TO",       "STEP",   "NEXT", "WHILE",
    "WEND", "REPEAT", "UNTIL", "BREAK",  "CONTINUE", "RETURN", "GOSUB", "GOTO", "SUB",  "ENDSUB",
    "DIM", "REM",    "AND",   "OR",     "NOT",
};

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// Functions that joined the language after programs could name variables,
// arrays and labels so (`split = -1`): such a name is the function only
// where it is called with parentheses or stands as a command, never where
// it is assigned, indexed or read alone.
const char* const kLateFunctions[] = {
    "INT", "FIX", "SGN", "ROUND", "MIN", "MAX", "RGB", "BAND", "BOR", "BXOR", "BNOT", "SHL", "SHR",
    "LEFT$", "RIGHT$", "INSTR", "UCASE$", "LCASE$", "TRIM$", "STR$", "REPLACE$", "SPLIT",
};

bool IsLateFunction(std::string_view name)
{
    const std::string upper = Upper(name);
    return std::find(std::begin(kLateFunctions), std::end(kLateFunctions), upper) != std::end(kLateFunctions);
}

// Thrown out of a line by a syntax error: the rest of the line is skipped.
struct SyntaxError {};

class LineParser {
public:
    LineParser(std::vector<Token> tokens, int lineNumber, Diagnostics& diagnostics)
        : tokens_(std::move(tokens)), line_(lineNumber), diagnostics_(diagnostics)
    {
    }

    void ParseLine(Line& line)
    {
        try {
            if (AtEnd()) return;
            // A label: a name followed by ':' at the start of the line.
            if (Peek().type == TokenType::Identifier && Peek(1).text == ":" && !IsKeyword(Upper(Peek().text)) &&
                (kvcommands::FindCommand(Peek().text.c_str()) == nullptr || IsLateFunction(Peek().text))) {
                if (Peek().text.back() == '$') Fail(Peek(), "a label name cannot end in '$'");
                line.label = Peek().text;
                line.labelColumn = Peek().column;
                pos_ += 2;
                if (AtEnd()) return;
            }
            // Statements separated by ':'; a ':' may also end the line.
            for (;;) {
                if (auto statement = ParseStatement(false)) line.statements.push_back(std::move(statement));
                if (!IsSymbol(Peek(), ":")) break;
                ++pos_;
                if (AtEnd()) break;
            }
            if (!AtEnd()) Fail(Peek(), "unexpected '" + Describe(Peek()) + "' after the statement");
            if (line.statements.size() > 1) {
                for (const auto& statement : line.statements)
                    if (const char* word = OwnLineWord(statement->type))
                        Fail(tokens_[0], std::string(word) + " stands on a line of its own");
            }
        } catch (const SyntaxError&) {
            line.statements.clear();
        }
    }

private:
    // The statements that open or close a SUB or FUNCTION, which stand
    // alone on their lines; nullptr for the others.
    static const char* OwnLineWord(Statement::Type type)
    {
        switch (type) {
        case Statement::Type::Sub: return "SUB";
        case Statement::Type::EndSub: return "ENDSUB";
        case Statement::Type::Function: return "FUNCTION";
        case Statement::Type::EndFunction: return "END FUNCTION";
        case Statement::Type::Type: return "TYPE";
        default: return nullptr;
        }
    }

    const Token& Peek(int ahead = 0) const
    {
        const std::size_t at = std::min(pos_ + ahead, tokens_.size() - 1);
        return tokens_[at];
    }
    bool AtEnd() const { return Peek().type == TokenType::End; }
    bool IsWord(const Token& token, const char* word) const
    {
        return token.type == TokenType::Identifier && Upper(token.text) == word;
    }
    bool IsSymbol(const Token& token, const char* symbol) const
    {
        return token.type == TokenType::Symbol && token.text == symbol;
    }
    static std::string Describe(const Token& token)
    {
        if (token.type == TokenType::String) return "\"" + token.text + "\"";
        if (token.type == TokenType::End) return "end of line";
        return token.text;
    }

    [[noreturn]] void Fail(const Token& token, const std::string& message)
    {
        diagnostics_.Error(line_, token.column, message);
        throw SyntaxError{};
    }
    void ExpectSymbol(const char* symbol, const std::string& what)
    {
        if (!IsSymbol(Peek(), symbol)) Fail(Peek(), std::string("expected ") + what + ", found " + QuoteFound());
        ++pos_;
    }
    void ExpectWord(const char* word)
    {
        if (!IsWord(Peek(), word)) Fail(Peek(), std::string("expected ") + word + ", found " + QuoteFound());
        ++pos_;
    }
    std::string QuoteFound() const
    {
        if (AtEnd()) return "end of line";
        std::string quoted(1, '\'');
        quoted += Describe(Peek());
        quoted += '\'';
        return quoted;
    }
    std::string ExpectName(const char* what)
    {
        const Token& token = Peek();
        if (token.type != TokenType::Identifier || IsKeyword(Upper(token.text)))
            Fail(token, std::string("expected ") + what + ", found " + QuoteFound());
        ++pos_;
        return token.text;
    }

    std::unique_ptr<Statement> Make(Statement::Type type, const Token& at)
    {
        auto statement = std::make_unique<Statement>();
        statement->type = type;
        statement->column = at.column;
        return statement;
    }

    // One statement. `afterThen` is set for the statement of a one-line IF,
    // which cannot open or close a block.
    std::unique_ptr<Statement> ParseStatement(bool afterThen)
    {
        Nested nested(*this);
        const Token& first = Peek();
        if (first.type != TokenType::Identifier) Fail(first, "expected a statement, found " + QuoteFound());
        const std::string word = Upper(first.text);
        using T = Statement::Type;
        auto blockOnly = [&](const char* what) {
            if (afterThen) Fail(first, std::string(what) + " cannot stand after THEN; use a block IF");
        };

        if (word == "REM") {
            if (afterThen) Fail(first, "REM cannot stand after THEN; start the comment with '");
            pos_ = tokens_.size() - 1;
            return nullptr;
        }
        if (word == "IF") {
            ++pos_;
            auto cond = ParseExpression();
            const bool then = IsWord(Peek(), "THEN");
            if (then) ++pos_;
            if (AtEnd()) {
                blockOnly("a block IF");
                auto statement = Make(T::IfBlock, first);
                statement->cond = std::move(cond);
                return statement;
            }
            if (!then) Fail(Peek(), "expected THEN or end of line after the condition, found " + QuoteFound());
            auto statement = Make(T::If, first);
            statement->cond = std::move(cond);
            statement->then = ParseBranch(first);
            if (IsWord(Peek(), "ELSE")) {
                ++pos_;
                statement->otherwise = ParseBranch(first);
            }
            return statement;
        }
        if (word == "ELSEIF") {
            blockOnly("ELSEIF");
            ++pos_;
            auto statement = Make(T::ElseIf, first);
            statement->cond = ParseExpression();
            if (IsWord(Peek(), "THEN")) ++pos_;
            return statement;
        }
        if (word == "ELSE") {
            blockOnly("ELSE");
            ++pos_;
            return Make(T::Else, first);
        }
        if (word == "ENDIF" || (word == "END" && IsWord(Peek(1), "IF"))) {
            blockOnly("ENDIF");
            pos_ += word == "END" ? 2 : 1;
            return Make(T::EndIf, first);
        }
        if (word == "ENDSELECT" || (word == "END" && IsWord(Peek(1), "SELECT"))) {
            blockOnly("END SELECT");
            pos_ += word == "END" ? 2 : 1;
            return Make(T::EndSelect, first);
        }
        if (word == "SELECT" && IsWord(Peek(1), "CASE")) {
            blockOnly("SELECT CASE");
            pos_ += 2;
            auto statement = Make(T::Select, first);
            statement->value = ParseExpression();
            return statement;
        }
        if (word == "CASE" && !IsSymbol(Peek(1), "=") && !IsSymbol(Peek(1), "[")) {
            blockOnly("CASE");
            ++pos_;
            auto statement = Make(T::Case, first);
            if (IsWord(Peek(), "ELSE")) {
                ++pos_;
                return statement;
            }
            do {
                if (!statement->cases.empty()) ++pos_;
                statement->cases.push_back(ParseCaseItem());
            } while (IsSymbol(Peek(), ","));
            return statement;
        }
        if (auto statement = ParseFunctionStatement(word, first, afterThen)) return statement;
        if (word == "ENDSUB" || (word == "END" && IsWord(Peek(1), "SUB"))) {
            blockOnly("ENDSUB");
            pos_ += word == "END" ? 2 : 1;
            return Make(T::EndSub, first);
        }
        if (word == "FOR") {
            blockOnly("FOR");
            ++pos_;
            auto statement = Make(T::For, first);
            statement->target = ParseTarget();
            ExpectSymbol("=", "'=' after the FOR variable");
            statement->from = ParseExpression();
            ExpectWord("TO");
            statement->to = ParseExpression();
            if (IsWord(Peek(), "STEP")) {
                ++pos_;
                statement->step = ParseExpression();
            }
            return statement;
        }
        if (word == "NEXT") {
            blockOnly("NEXT");
            ++pos_;
            auto statement = Make(T::Next, first);
            if (!AtEnd() && !IsSymbol(Peek(), ":")) statement->name = ExpectName("the FOR variable or end of line");
            return statement;
        }
        if (word == "WHILE") {
            blockOnly("WHILE");
            ++pos_;
            auto statement = Make(T::While, first);
            statement->cond = ParseExpression();
            return statement;
        }
        if (word == "WEND") {
            blockOnly("WEND");
            ++pos_;
            return Make(T::Wend, first);
        }
        if (word == "REPEAT") {
            blockOnly("REPEAT");
            ++pos_;
            return Make(T::Repeat, first);
        }
        if (word == "UNTIL") {
            blockOnly("UNTIL");
            ++pos_;
            auto statement = Make(T::Until, first);
            statement->cond = ParseExpression();
            return statement;
        }
        if (word == "BREAK" || word == "CONTINUE") {
            ++pos_;
            return Make(word == "BREAK" ? T::Break : T::Continue, first);
        }
        // EXIT is a word only before FOR, WHILE, REPEAT, SUB or FUNCTION, so
        // that older programs keep a variable of that name.
        if (word == "EXIT" && Peek(1).type == TokenType::Identifier) {
            const std::string what = Upper(Peek(1).text);
            if (what == "FOR" || what == "WHILE" || what == "REPEAT" || what == "SUB" || what == "FUNCTION") {
                pos_ += 2;
                auto statement = Make(what == "SUB" || what == "FUNCTION" ? T::Return : T::Exit, first);
                statement->name = what;
                return statement;
            }
        }
        // DATA, READ and RESTORE are statements unless assigned or indexed,
        // so that older programs keep variables of these names.
        const bool assigned = IsSymbol(Peek(1), "=") || IsSymbol(Peek(1), "[") || IsSymbol(Peek(1), ".");
        if (word == "DATA" && !assigned) {
            blockOnly("DATA");
            ++pos_;
            auto statement = Make(T::Data, first);
            do {
                if (!statement->items.empty()) ++pos_;
                statement->items.push_back(ParseDataItem());
            } while (IsSymbol(Peek(), ","));
            return statement;
        }
        if (word == "READ" && !assigned) {
            ++pos_;
            auto statement = Make(T::Read, first);
            do {
                if (!statement->items.empty()) ++pos_;
                statement->items.push_back(ParseTarget());
            } while (IsSymbol(Peek(), ","));
            return statement;
        }
        if (word == "RESTORE" && !assigned) {
            ++pos_;
            auto statement = Make(T::Restore, first);
            if (!AtEnd() && !IsSymbol(Peek(), ":") && !IsWord(Peek(), "ELSE")) {
                statement->column = Peek().column;
                statement->name = ExpectName("a label or end of line");
            }
            return statement;
        }
        if (word == "CONST" && Peek(1).type == TokenType::Identifier && IsSymbol(Peek(2), "=")) {
            blockOnly("CONST");
            ++pos_;
            auto statement = Make(T::Const, first);
            statement->target = ParseTarget();
            ++pos_;  // '='
            statement->value = ParseExpression();
            return statement;
        }
        if (word == "GOSUB" || word == "GOTO") {
            ++pos_;
            auto statement = Make(word == "GOSUB" ? T::Gosub : T::Goto, first);
            const Token& nameToken = Peek();
            statement->name = ExpectName(word == "GOSUB" ? "the name of a SUB" : "a label");
            statement->column = nameToken.column;
            return statement;
        }
        if (word == "SUB") {
            blockOnly("SUB");
            ++pos_;
            auto statement = Make(T::Sub, first);
            statement->name = ExpectName("the name of the SUB");
            if (IsSymbol(Peek(), "("))
                ParseParameterList(*statement);
            else if (IsSymbol(Peek(), ":"))
                ++pos_;
            return statement;
        }
        if (word == "DIM") {
            ++pos_;
            auto statement = Make(T::Dim, first);
            statement->target = ParseTarget();
            if (IsWord(Peek(), "AS")) {  // a record, or an array of records
                ++pos_;
                statement->name = ExpectName("the name of a TYPE");
                return statement;
            }
            if (statement->target->type != Expr::Type::Element)
                Fail(Peek(), "DIM needs the sizes in brackets: DIM " + statement->target->text + "[size]");
            return statement;
        }
        if (word.rfind("KV_", 0) == 0) {
            ++pos_;
            auto statement = Make(T::Config, first);
            statement->name = word;
            ExpectSymbol("=", "'=' after " + word);
            statement->value = ParseExpression();
            return statement;
        }
        // Only before a name alone: `type` stays free as a variable.
        if (word == "TYPE" && Peek(1).type == TokenType::Identifier && Peek(2).type == TokenType::End) {
            if (afterThen) Fail(first, "TYPE cannot stand after THEN");
            ++pos_;
            auto statement = Make(T::Type, first);
            statement->name = ExpectName("the name of the TYPE");
            return statement;
        }
        if ((word == "END" && IsWord(Peek(1), "TYPE") && Peek(2).type == TokenType::End) ||
            (word == "ENDTYPE" && Peek(1).type == TokenType::End))
            Fail(first, "END TYPE without TYPE");
        // Only before a file name: `include` stays free as a variable.
        if (word == "INCLUDE" && Peek(1).type == TokenType::String) return ParseInclude(afterThen);
        if (IsKeyword(word)) Fail(first, word + " cannot start a statement");
        const bool assignsLateName = IsLateFunction(first.text) && (IsSymbol(Peek(1), "=") || IsSymbol(Peek(1), "["));
        if (kvcommands::FindCommand(first.text.c_str()) != nullptr && !assignsLateName) {
            auto statement = Make(T::Call, first);
            statement->call = ParseCommandStatement();
            return statement;
        }
        // A name not followed by '=', '[' or '.' calls a SUB or FUNCTION of the
        // program (the checker tells an unknown command).
        if (!assigned) {
            auto statement = Make(T::UserCall, first);
            statement->call = ParseCommandStatement();
            return statement;
        }
        // Otherwise an assignment.
        auto statement = Make(T::Assign, first);
        statement->target = ParseTarget();
        if (!IsSymbol(Peek(), "=")) {
            if (statement->target->type == Expr::Type::Variable) Fail(first, "unknown command " + first.text);
            Fail(Peek(), "expected '=' after " + statement->target->text + ", found " + QuoteFound());
        }
        ++pos_;
        statement->value = ParseExpression();
        return statement;
    }

    // FUNCTION name(parameters), END FUNCTION, LOCAL names and RETURN
    // [value]; nullptr for other statements. FUNCTION, ENDFUNCTION and LOCAL
    // are words only where they start such a statement, so that older
    // programs keep variables of these names.
    std::unique_ptr<Statement> ParseFunctionStatement(const std::string& word, const Token& first, bool afterThen)
    {
        using T = Statement::Type;
        const bool assigned = IsSymbol(Peek(1), "=") || IsSymbol(Peek(1), "[") || IsSymbol(Peek(1), ".");
        if (afterThen && (word == "FUNCTION" || word == "ENDFUNCTION" || word == "LOCAL") && !assigned)
            Fail(first, word + " cannot stand after THEN; use a block IF");
        if (word == "FUNCTION" && Peek(1).type == TokenType::Identifier) {
            ++pos_;
            auto statement = Make(T::Function, first);
            statement->name = ExpectName("the name of the FUNCTION");
            if (IsSymbol(Peek(), "(")) ParseParameterList(*statement);
            statement->hasParameterList = true;
            return statement;
        }
        if ((word == "ENDFUNCTION" && !assigned) || (word == "END" && IsWord(Peek(1), "FUNCTION"))) {
            if (afterThen) Fail(first, "END FUNCTION cannot stand after THEN; use a block IF");
            pos_ += word == "END" ? 2 : 1;
            return Make(T::EndFunction, first);
        }
        if (word == "LOCAL" && Peek(1).type == TokenType::Identifier) {
            ++pos_;
            auto statement = Make(T::Local, first);
            do {
                if (!statement->items.empty()) ++pos_;
                statement->items.push_back(ParseDeclaredName("a variable"));
            } while (IsSymbol(Peek(), ","));
            return statement;
        }
        if (word == "RETURN") {
            ++pos_;
            auto statement = Make(T::Return, first);
            if (!AtEnd() && !IsSymbol(Peek(), ":") && !IsWord(Peek(), "ELSE")) statement->value = ParseExpression();
            return statement;
        }
        return nullptr;
    }

    // (name, name$, grid[], names$[]) after SUB name or FUNCTION name.
    void ParseParameterList(Statement& statement)
    {
        statement.hasParameterList = true;
        ExpectSymbol("(", "'('");
        if (IsSymbol(Peek(), ")")) {
            ++pos_;
            return;
        }
        statement.items.push_back(ParseDeclaredName("a parameter"));
        while (IsSymbol(Peek(), ",")) {
            ++pos_;
            statement.items.push_back(ParseDeclaredName("a parameter"));
        }
        ExpectSymbol(")", "',' or ')' in the parameter list");
    }

    // A parameter or LOCAL: a plain variable, or an array as name[].
    std::unique_ptr<Expr> ParseDeclaredName(const char* what)
    {
        const Token& token = Peek();
        if (token.type != TokenType::Identifier || IsKeyword(Upper(token.text)))
            Fail(token, std::string("expected ") + what + ", found " + QuoteFound());
        if (kvcommands::FindCommand(token.text.c_str()) != nullptr && !IsLateFunction(token.text))
            Fail(token, token.text + " is a command, not a variable");
        ++pos_;
        auto expr = MakeExpr(Expr::Type::Variable, token);
        expr->text = token.text;
        if (IsSymbol(Peek(), "[")) {
            ++pos_;
            ExpectSymbol("]", "']': an array is declared with empty brackets, " + token.text + "[]");
            expr->type = Expr::Type::Element;
        }
        return expr;
    }

    // INCLUDE "file": the file name as written, back in UTF-8 (the
    // string's token holds Latin-1 bytes).
    std::unique_ptr<Statement> ParseInclude(bool afterThen)
    {
        const Token& first = Peek();
        if (afterThen) Fail(first, "INCLUDE cannot stand after THEN");
        auto statement = Make(Statement::Type::Include, first);
        for (const char c : Peek(1).text) {
            const unsigned char byte = static_cast<unsigned char>(c);
            if (byte < 0x80) {
                statement->name += c;
            } else {
                statement->name += static_cast<char>(0xC0 | (byte >> 6));
                statement->name += static_cast<char>(0x80 | (byte & 0x3F));
            }
        }
        pos_ += 2;
        return statement;
    }

    // The statements after THEN or ELSE of a one-line IF: one, or several
    // separated by ':' (all of them belong to the branch). A REM after a
    // ':' ends the line.
    std::unique_ptr<Statement> ParseBranch(const Token& at)
    {
        auto first = ParseStatement(true);
        if (!IsSymbol(Peek(), ":")) return first;
        auto sequence = Make(Statement::Type::Sequence, at);
        sequence->body.push_back(std::move(first));
        while (IsSymbol(Peek(), ":")) {
            ++pos_;
            if (AtEnd() || IsWord(Peek(), "ELSE")) break;
            if (IsWord(Peek(), "REM")) {
                pos_ = tokens_.size() - 1;
                break;
            }
            sequence->body.push_back(ParseStatement(true));
        }
        return sequence;
    }

    // One case of a CASE: a value, a range "from TO to", or "IS op value".
    Statement::CaseItem ParseCaseItem()
    {
        Statement::CaseItem item;
        if (IsWord(Peek(), "IS")) {
            ++pos_;
            const BinaryOperator* op = Peek().type == TokenType::Symbol ? FindBinaryOperator(Peek().text) : nullptr;
            if (op == nullptr || op->kind != BinaryOperator::Kind::Comparison)
                Fail(Peek(), "expected a comparison after IS, found " + QuoteFound());
            ++pos_;
            item.is = op;
            item.value = ParseExpression();
            return item;
        }
        item.value = ParseExpression();
        if (IsWord(Peek(), "TO")) {
            ++pos_;
            item.to = ParseExpression();
        }
        return item;
    }

    // A DATA item: a number (with its sign) or a string.
    std::unique_ptr<Expr> ParseDataItem()
    {
        const Token& at = Peek();
        if (IsSymbol(at, "-") || IsSymbol(at, "+")) {
            ++pos_;
            if (Peek().type != TokenType::Number) Fail(Peek(), "expected a number after the sign, found " + QuoteFound());
            auto expr = MakeExpr(Expr::Type::Unary, at);
            expr->text = at.text;
            expr->children.push_back(ParsePrimary());
            return expr;
        }
        if (at.type != TokenType::Number && at.type != TokenType::String)
            Fail(at, "DATA holds numbers and strings in quotes, found " + QuoteFound());
        return ParsePrimary();
    }

    // A variable or an array element: name or name[i][j]...
    std::unique_ptr<Expr> ParseTarget()
    {
        const Token& token = Peek();
        if (token.type != TokenType::Identifier || IsKeyword(Upper(token.text)))
            Fail(token, "expected a variable, found " + QuoteFound());
        if (kvcommands::FindCommand(token.text.c_str()) != nullptr && !IsLateFunction(token.text))
            Fail(token, token.text + " is a command, not a variable");
        ++pos_;
        return ParseNameRest(token);
    }

    std::unique_ptr<Expr> ParseNameRest(const Token& token)
    {
        auto expr = MakeExpr(Expr::Type::Variable, token);
        expr->text = token.text;
        while (IsSymbol(Peek(), "[")) {
            expr->type = Expr::Type::Element;
            ++pos_;
            expr->children.push_back(ParseExpression());
            ExpectSymbol("]", "']'");
        }
        SetDepth(*expr, token);
        if (IsSymbol(Peek(), ".")) return ParseField(std::move(expr));
        return expr;
    }

    // record.field or record.field[i]...: the record is a variable or an
    // element of an array of records.
    std::unique_ptr<Expr> ParseField(std::unique_ptr<Expr> record)
    {
        ++pos_;
        const Token& name = Peek();
        auto field = MakeExpr(Expr::Type::Field, name);
        field->text = ExpectName("the name of a field after '.'");
        field->children.push_back(std::move(record));
        while (IsSymbol(Peek(), "[")) {
            ++pos_;
            field->children.push_back(ParseExpression());
            ExpectSymbol("]", "']'");
        }
        SetDepth(*field, name);
        if (IsSymbol(Peek(), ".")) Fail(Peek(), "a field holds a number, a string or an array, not a record");
        return field;
    }

public:
    // A line between TYPE and END TYPE: fields separated by ',', each a
    // name or a name with its sizes (whole numbers) in brackets; or the
    // END TYPE (also ENDTYPE) that closes the TYPE.
    void ParseTypeLine(Line& line)
    {
        try {
            if (AtEnd()) return;
            const Token& first = Peek();
            if ((IsWord(first, "END") && IsWord(Peek(1), "TYPE") && Peek(2).type == TokenType::End) ||
                (IsWord(first, "ENDTYPE") && Peek(1).type == TokenType::End)) {
                line.statements.push_back(Make(Statement::Type::EndType, first));
                return;
            }
            auto fields = Make(Statement::Type::Fields, first);
            for (;;) {
                const Token& name = Peek();
                auto field = MakeExpr(Expr::Type::Variable, name);
                field->text = ExpectName("the name of a field (or END TYPE)");
                while (IsSymbol(Peek(), "[")) {
                    field->type = Expr::Type::Element;
                    ++pos_;
                    if (Peek().type != TokenType::Number && Peek().type != TokenType::Identifier)
                        Fail(Peek(), "the size of an array field is a whole number or a CONST, found " + QuoteFound());
                    field->children.push_back(ParsePrimary());
                    ExpectSymbol("]", "']'");
                }
                fields->items.push_back(std::move(field));
                if (!IsSymbol(Peek(), ",")) break;
                ++pos_;
            }
            if (!AtEnd()) Fail(Peek(), "unexpected '" + Describe(Peek()) + "' after the fields");
            line.statements.push_back(std::move(fields));
        } catch (const SyntaxError&) {
            line.statements.clear();
        }
    }

private:

    // A command as a statement: NAME arg, arg ... or NAME(arg, arg ...).
    std::unique_ptr<Expr> ParseCommandStatement()
    {
        const Token& name = Peek();
        ++pos_;
        auto call = MakeExpr(Expr::Type::Call, name);
        call->text = name.text;
        if (AtEnd() || IsWord(Peek(), "ELSE") || IsSymbol(Peek(), ":")) return call;
        if (IsSymbol(Peek(), "(") && ClosingParenthesisEndsStatement()) {
            ParseArgumentList(*call);
            SetDepth(*call, name);
            return call;
        }
        call->children.push_back(ParseExpression());
        while (IsSymbol(Peek(), ",")) {
            ++pos_;
            call->children.push_back(ParseExpression());
        }
        SetDepth(*call, name);
        return call;
    }

    // Whether the parenthesis at the current token closes at the end of the
    // statement, so that it holds the whole argument list.
    bool ClosingParenthesisEndsStatement() const
    {
        int depth = 0;
        for (std::size_t at = pos_; at < tokens_.size(); ++at) {
            const Token& token = tokens_[at];
            if (token.type == TokenType::Symbol && (token.text == "(" || token.text == "[")) ++depth;
            if (token.type == TokenType::Symbol && (token.text == ")" || token.text == "]")) {
                if (--depth == 0) {
                    const Token& after = tokens_[std::min(at + 1, tokens_.size() - 1)];
                    return after.type == TokenType::End || IsSymbol(after, ":") ||
                           (after.type == TokenType::Identifier && Upper(after.text) == "ELSE");
                }
            }
        }
        return false;
    }

    void ParseArgumentList(Expr& call)
    {
        ExpectSymbol("(", "'('");
        if (IsSymbol(Peek(), ")")) {
            ++pos_;
            return;
        }
        call.children.push_back(ParseExpression());
        while (IsSymbol(Peek(), ",")) {
            ++pos_;
            call.children.push_back(ParseExpression());
        }
        ExpectSymbol(")", "',' or ')' in the argument list");
    }

    // The depth of the tree below the expression, bounded so that every
    // later pass may walk it recursively.
    void SetDepth(Expr& expr, const Token& at)
    {
        for (const auto& child : expr.children) expr.depth = std::max(expr.depth, child->depth + 1);
        if (expr.depth > kMaxDepth) Fail(at, "the expression is nested too deeply (more than 1000 levels)");
    }

    std::unique_ptr<Expr> MakeExpr(Expr::Type type, const Token& at)
    {
        auto expr = std::make_unique<Expr>();
        expr->type = type;
        expr->line = line_;
        expr->column = at.column;
        return expr;
    }

    std::unique_ptr<Expr> Binary(const Token& at, const BinaryOperator& op, std::unique_ptr<Expr> left,
                                 std::unique_ptr<Expr> right)
    {
        auto expr = MakeExpr(Expr::Type::Binary, at);
        expr->text = op.word;
        expr->op = &op;
        expr->children.push_back(std::move(left));
        expr->children.push_back(std::move(right));
        SetDepth(*expr, at);
        return expr;
    }

    // The binary operator of this level at the current token, or nullptr.
    const BinaryOperator* OperatorAt(int level) const
    {
        const Token& token = Peek();
        if (token.type != TokenType::Symbol && token.type != TokenType::Identifier) return nullptr;
        // The word operators (AND, OR, MOD) are short: longer names need no look-up.
        if (token.type == TokenType::Identifier && token.text.size() > 3) return nullptr;
        const BinaryOperator* op =
            FindBinaryOperator(token.type == TokenType::Identifier ? std::string_view(Upper(token.text)) : token.text);
        return op != nullptr && op->level == level ? op : nullptr;
    }

    // Binding from the loosest level up, as the operator table says: OR;
    // AND; NOT; comparisons; + -; MOD; \; * /; unary - +; ^.
    std::unique_ptr<Expr> ParseExpression()
    {
        Nested nested(*this);
        return ParseLevel(1);
    }

    // Operators of one level work from left to right.
    std::unique_ptr<Expr> ParseLevel(int level)
    {
        if (level == kNotLevel) return ParseNot();
        if (level == kUnaryLevel) return ParseUnary();
        auto left = ParseLevel(level + 1);
        while (const BinaryOperator* op = OperatorAt(level)) {
            const Token& at = Peek();
            ++pos_;
            left = Binary(at, *op, std::move(left), ParseLevel(level + 1));
        }
        return left;
    }

    std::unique_ptr<Expr> ParseNot()
    {
        if (IsWord(Peek(), "NOT")) {
            Nested nested(*this);
            const Token& op = Peek();
            ++pos_;
            auto expr = MakeExpr(Expr::Type::Unary, op);
            expr->text = "NOT";
            expr->children.push_back(ParseNot());
            SetDepth(*expr, op);
            return expr;
        }
        return ParseLevel(kNotLevel + 1);
    }

    std::unique_ptr<Expr> ParseUnary()
    {
        if (IsSymbol(Peek(), "-") || IsSymbol(Peek(), "+")) {
            Nested nested(*this);
            const Token& op = Peek();
            ++pos_;
            auto expr = MakeExpr(Expr::Type::Unary, op);
            expr->text = op.text;
            expr->children.push_back(ParseUnary());
            SetDepth(*expr, op);
            return expr;
        }
        return ParsePower();
    }

    // a ^ b ^ c is (a ^ b) ^ c; an exponent may have a sign: 2 ^ -1.
    std::unique_ptr<Expr> ParsePower()
    {
        auto left = ParsePrimary();
        while (const BinaryOperator* op = OperatorAt(kPowerLevel)) {
            const Token& at = Peek();
            ++pos_;
            left = Binary(at, *op, std::move(left), ParseExponent());
        }
        return left;
    }
    std::unique_ptr<Expr> ParseExponent()
    {
        if (IsSymbol(Peek(), "-") || IsSymbol(Peek(), "+")) {
            Nested nested(*this);
            const Token& op = Peek();
            ++pos_;
            auto expr = MakeExpr(Expr::Type::Unary, op);
            expr->text = op.text;
            expr->children.push_back(ParseExponent());
            SetDepth(*expr, op);
            return expr;
        }
        return ParsePrimary();
    }

    std::unique_ptr<Expr> ParsePrimary()
    {
        const Token& token = Peek();
        if (token.type == TokenType::Number) {
            ++pos_;
            auto expr = MakeExpr(Expr::Type::Number, token);
            expr->text = token.text;
            return expr;
        }
        if (token.type == TokenType::String) {
            ++pos_;
            auto expr = MakeExpr(Expr::Type::String, token);
            expr->text = token.text;
            return expr;
        }
        if (IsSymbol(token, "(")) {
            ++pos_;
            auto inner = ParseExpression();
            ExpectSymbol(")", "')'");
            return inner;
        }
        if (token.type == TokenType::Identifier && !IsKeyword(Upper(token.text))) {
            ++pos_;
            const bool command = kvcommands::FindCommand(token.text.c_str()) != nullptr && !IsLateFunction(token.text);
            if (command || IsSymbol(Peek(), "(")) {
                auto call = MakeExpr(Expr::Type::Call, token);
                call->text = token.text;
                if (IsSymbol(Peek(), "(")) ParseArgumentList(*call);
                SetDepth(*call, token);
                return call;
            }
            return ParseNameRest(token);
        }
        Fail(token, "expected a value, found " + QuoteFound());
    }

    // Nesting of parentheses, brackets, argument lists, unary operators and
    // statements after THEN, and the depth of operator chains: bounded, so
    // that no input can exhaust the stack of the translator (or of the C++
    // compiler after it).
    static constexpr int kMaxNesting = 100;
    // Operator chains (a + b + c ...) make deep trees without nesting; long
    // sums are ordinary, so their bound is higher.
    static constexpr int kMaxDepth = 1000;
    struct Nested {
        explicit Nested(LineParser& parser) : parser_(parser)
        {
            if (++parser_.nesting_ > kMaxNesting)
                parser_.Fail(parser_.Peek(), "the line is nested too deeply (more than 100 levels)");
        }
        ~Nested() { --parser_.nesting_; }
        LineParser& parser_;
    };
    int nesting_ = 0;

    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    int line_;
    Diagnostics& diagnostics_;
};

}  // namespace

bool IsKeyword(std::string_view upperName)
{
    return std::find(std::begin(kKeywords), std::end(kKeywords), upperName) != std::end(kKeywords);
}

Program Parse(std::string_view source, Diagnostics& diagnostics)
{
    Program program;
    // A byte-order mark at the start is not part of the first line.
    if (source.substr(0, 3) == "\xEF\xBB\xBF") source.remove_prefix(3);
    std::size_t start = 0;
    int index = 0;
    // The TYPE whose fields the lines hold, up to its END TYPE.
    const Statement* openType = nullptr;
    int openTypeLine = 0;
    while (start < source.size()) {
        std::size_t end = source.find('\n', start);
        if (end == std::string_view::npos) end = source.size();
        std::string_view text = source.substr(start, end - start);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        Line line;
        line.index = index;
        line.fileLine = index;
        line.text = std::string(text);
        if (CheckLineEncoding(text, index + 1, diagnostics)) {
            LineParser parser(TokenizeLine(text, index + 1, diagnostics), index + 1, diagnostics);
            if (openType == nullptr) {
                parser.ParseLine(line);
                if (!line.statements.empty() && line.statements.front()->type == Statement::Type::Type) {
                    openType = line.statements.front().get();
                    openTypeLine = index + 1;
                }
            } else {
                parser.ParseTypeLine(line);
                if (!line.statements.empty() && line.statements.front()->type == Statement::Type::EndType) openType = nullptr;
            }
        }
        program.lines.push_back(std::move(line));
        start = end + 1;
        ++index;
    }
    if (openType != nullptr)
        diagnostics.Error(openTypeLine, openType->column, "TYPE " + openType->name + " without END TYPE");
    return program;
}

}  // namespace kvbasic
