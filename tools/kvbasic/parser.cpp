#include "parser.h"

#include <algorithm>
#include <cctype>

#include "lexer.h"

namespace kvbasic {

namespace {

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
            if (IsIdentifierKind(Peek().kind) && Is(Peek(1), TokenKind::Colon) && !IsReservedWord(Peek().kind) &&
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
                if (!Is(Peek(), TokenKind::Colon)) break;
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
    bool AtEnd() const { return Peek().kind == TokenKind::EndOfLine; }
    static bool Is(const Token& token, TokenKind kind) { return token.kind == kind; }
    static std::string Describe(const Token& token)
    {
        if (token.kind == TokenKind::String) return "\"" + token.text + "\"";
        if (token.kind == TokenKind::EndOfLine) return "end of line";
        return token.text;
    }

    [[noreturn]] void Fail(const Token& token, const std::string& message)
    {
        diagnostics_.Error(line_, token.column, message);
        throw SyntaxError{};
    }
    void Expect(TokenKind kind, const std::string& what)
    {
        if (!Is(Peek(), kind)) Fail(Peek(), std::string("expected ") + what + ", found " + QuoteFound());
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
        if (!IsIdentifierKind(token.kind) || IsReservedWord(token.kind))
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
        if (!IsIdentifierKind(first.kind)) Fail(first, "expected a statement, found " + QuoteFound());
        if (first.kind == TokenKind::Rem) {
            if (afterThen) Fail(first, "REM cannot stand after THEN; start the comment with '");
            pos_ = tokens_.size() - 1;
            return nullptr;
        }
        if (auto statement = ParseWordStatement(first, afterThen)) return statement;
        return ParseNameStatement(first);
    }

    // The statement its first word starts, by the word's kind; nullptr
    // where a contextual word is only a name (`data = 1`, `case[2] = 0`).
    std::unique_ptr<Statement> ParseWordStatement(const Token& first, bool afterThen)
    {
        using T = Statement::Type;
        using K = TokenKind;
        switch (first.kind) {
        case K::If: return ParseIf(first, afterThen);
        case K::ElseIf: return ParseElseIf(first, afterThen);
        case K::Else: return ParseBlockWord(first, afterThen, T::Else, "ELSE", 1);
        case K::EndIf: return ParseBlockWord(first, afterThen, T::EndIf, "ENDIF", 1);
        case K::EndSelect: return ParseBlockWord(first, afterThen, T::EndSelect, "END SELECT", 1);
        case K::EndSub: return ParseBlockWord(first, afterThen, T::EndSub, "ENDSUB", 1);
        case K::Wend: return ParseBlockWord(first, afterThen, T::Wend, "WEND", 1);
        case K::Repeat: return ParseBlockWord(first, afterThen, T::Repeat, "REPEAT", 1);
        case K::End: return ParseEnd(first, afterThen);
        case K::Select: return Is(Peek(1), K::Case) ? ParseSelect(first, afterThen) : nullptr;
        case K::Case:
            return !Is(Peek(1), K::Equal) && !Is(Peek(1), K::LeftBracket) ? ParseCase(first, afterThen) : nullptr;
        case K::Function:
        case K::EndFunction:
        case K::Local: return ParseFunctionStatement(first, afterThen);
        case K::Return: return ParseReturn(first);
        case K::For: return ParseFor(first, afterThen);
        case K::Next: return ParseNext(first, afterThen);
        case K::While: return ParseWhile(first, afterThen);
        case K::Until: return ParseUntil(first, afterThen);
        case K::Break: ++pos_; return Make(T::Break, first);
        case K::Continue: ++pos_; return Make(T::Continue, first);
        case K::Exit: return ParseExit(first);
        case K::Data: return AssignedName() ? nullptr : ParseData(first, afterThen);
        case K::Read: return AssignedName() ? nullptr : ParseRead(first);
        case K::Restore: return AssignedName() ? nullptr : ParseRestore(first);
        case K::Const:
            return IsIdentifierKind(Peek(1).kind) && Is(Peek(2), K::Equal) ? ParseConst(first, afterThen) : nullptr;
        case K::Gosub:
        case K::Goto: return ParseJump(first);
        case K::Sub: return ParseSub(first, afterThen);
        case K::Dim: return ParseDim(first);
        // Only before a name alone: `type` stays free as a variable.
        case K::Type:
            return IsIdentifierKind(Peek(1).kind) && Is(Peek(2), K::EndOfLine) ? ParseType(first, afterThen) : nullptr;
        case K::EndType:
            if (Is(Peek(1), K::EndOfLine)) Fail(first, "END TYPE without TYPE");
            return nullptr;
        // Only before a file name: `include` stays free as a variable.
        case K::Include: return Is(Peek(1), K::String) ? ParseInclude(afterThen) : nullptr;
        default: return nullptr;
        }
    }

    // The name is assigned, indexed or a record's: DATA, READ, RESTORE,
    // FUNCTION, ENDFUNCTION and LOCAL so written are variables.
    bool AssignedName() const
    {
        return Is(Peek(1), TokenKind::Equal) || Is(Peek(1), TokenKind::LeftBracket) || Is(Peek(1), TokenKind::Dot);
    }

    // A statement of `words` words that only opens, continues or closes
    // a block: ELSE, ENDIF, WEND, REPEAT, END SELECT, ENDSUB, ...
    std::unique_ptr<Statement> ParseBlockWord(const Token& first, bool afterThen, Statement::Type type, const char* word,
                                              int words)
    {
        if (afterThen) Fail(first, std::string(word) + " cannot stand after THEN; use a block IF");
        pos_ += words;
        return Make(type, first);
    }

    // END IF, END SELECT, END FUNCTION, END SUB; END TYPE closes nothing
    // here. END alone is the command.
    std::unique_ptr<Statement> ParseEnd(const Token& first, bool afterThen)
    {
        using T = Statement::Type;
        switch (Peek(1).kind) {
        case TokenKind::If: return ParseBlockWord(first, afterThen, T::EndIf, "ENDIF", 2);
        case TokenKind::Select: return ParseBlockWord(first, afterThen, T::EndSelect, "END SELECT", 2);
        case TokenKind::Function: return ParseBlockWord(first, afterThen, T::EndFunction, "END FUNCTION", 2);
        case TokenKind::Sub: return ParseBlockWord(first, afterThen, T::EndSub, "ENDSUB", 2);
        case TokenKind::Type:
            if (Is(Peek(2), TokenKind::EndOfLine)) Fail(first, "END TYPE without TYPE");
            return nullptr;
        default: return nullptr;
        }
    }

    // IF cond THEN statements [ELSE statements] on one line, or IF cond
    // [THEN] at the end of the line: a block IF.
    std::unique_ptr<Statement> ParseIf(const Token& first, bool afterThen)
    {
        ++pos_;
        auto cond = ParseExpression();
        const bool then = Is(Peek(), TokenKind::Then);
        if (then) ++pos_;
        if (AtEnd()) {
            if (afterThen) Fail(first, "a block IF cannot stand after THEN; use a block IF");
            auto statement = Make(Statement::Type::IfBlock, first);
            statement->cond = std::move(cond);
            return statement;
        }
        if (!then) Fail(Peek(), "expected THEN or end of line after the condition, found " + QuoteFound());
        auto statement = Make(Statement::Type::If, first);
        statement->cond = std::move(cond);
        statement->then = ParseBranch(first);
        if (Is(Peek(), TokenKind::Else)) {
            ++pos_;
            statement->otherwise = ParseBranch(first);
        }
        return statement;
    }

    std::unique_ptr<Statement> ParseElseIf(const Token& first, bool afterThen)
    {
        auto statement = ParseBlockWord(first, afterThen, Statement::Type::ElseIf, "ELSEIF", 1);
        statement->cond = ParseExpression();
        if (Is(Peek(), TokenKind::Then)) ++pos_;
        return statement;
    }

    std::unique_ptr<Statement> ParseSelect(const Token& first, bool afterThen)
    {
        auto statement = ParseBlockWord(first, afterThen, Statement::Type::Select, "SELECT CASE", 2);
        statement->value = ParseExpression();
        return statement;
    }

    // CASE items, or CASE ELSE (no items).
    std::unique_ptr<Statement> ParseCase(const Token& first, bool afterThen)
    {
        auto statement = ParseBlockWord(first, afterThen, Statement::Type::Case, "CASE", 1);
        if (Is(Peek(), TokenKind::Else)) {
            ++pos_;
            return statement;
        }
        do {
            if (!statement->cases.empty()) ++pos_;
            statement->cases.push_back(ParseCaseItem());
        } while (Is(Peek(), TokenKind::Comma));
        return statement;
    }

    std::unique_ptr<Statement> ParseFor(const Token& first, bool afterThen)
    {
        auto statement = ParseBlockWord(first, afterThen, Statement::Type::For, "FOR", 1);
        statement->target = ParseTarget();
        Expect(TokenKind::Equal, "'=' after the FOR variable");
        statement->from = ParseExpression();
        Expect(TokenKind::To, "TO");
        statement->to = ParseExpression();
        if (Is(Peek(), TokenKind::Step)) {
            ++pos_;
            statement->step = ParseExpression();
        }
        return statement;
    }

    std::unique_ptr<Statement> ParseNext(const Token& first, bool afterThen)
    {
        auto statement = ParseBlockWord(first, afterThen, Statement::Type::Next, "NEXT", 1);
        if (!AtEnd() && !Is(Peek(), TokenKind::Colon)) statement->name = ExpectName("the FOR variable or end of line");
        return statement;
    }

    std::unique_ptr<Statement> ParseWhile(const Token& first, bool afterThen)
    {
        auto statement = ParseBlockWord(first, afterThen, Statement::Type::While, "WHILE", 1);
        statement->cond = ParseExpression();
        return statement;
    }

    std::unique_ptr<Statement> ParseUntil(const Token& first, bool afterThen)
    {
        auto statement = ParseBlockWord(first, afterThen, Statement::Type::Until, "UNTIL", 1);
        statement->cond = ParseExpression();
        return statement;
    }

    // EXIT is a word only before FOR, WHILE, REPEAT, SUB or FUNCTION, so
    // that older programs keep a variable of that name.
    std::unique_ptr<Statement> ParseExit(const Token& first)
    {
        const TokenKind what = Peek(1).kind;
        const bool leavesFunction = what == TokenKind::Sub || what == TokenKind::Function;
        if (!leavesFunction && what != TokenKind::For && what != TokenKind::While && what != TokenKind::Repeat) return nullptr;
        pos_ += 2;
        auto statement = Make(leavesFunction ? Statement::Type::Return : Statement::Type::Exit, first);
        statement->name = KindSpelling(what);
        return statement;
    }

    std::unique_ptr<Statement> ParseData(const Token& first, bool afterThen)
    {
        auto statement = ParseBlockWord(first, afterThen, Statement::Type::Data, "DATA", 1);
        do {
            if (!statement->items.empty()) ++pos_;
            statement->items.push_back(ParseDataItem());
        } while (Is(Peek(), TokenKind::Comma));
        return statement;
    }

    std::unique_ptr<Statement> ParseRead(const Token& first)
    {
        ++pos_;
        auto statement = Make(Statement::Type::Read, first);
        do {
            if (!statement->items.empty()) ++pos_;
            statement->items.push_back(ParseTarget());
        } while (Is(Peek(), TokenKind::Comma));
        return statement;
    }

    std::unique_ptr<Statement> ParseRestore(const Token& first)
    {
        ++pos_;
        auto statement = Make(Statement::Type::Restore, first);
        if (!AtEnd() && !Is(Peek(), TokenKind::Colon) && !Is(Peek(), TokenKind::Else)) {
            statement->column = Peek().column;
            statement->name = ExpectName("a label or end of line");
        }
        return statement;
    }

    std::unique_ptr<Statement> ParseConst(const Token& first, bool afterThen)
    {
        auto statement = ParseBlockWord(first, afterThen, Statement::Type::Const, "CONST", 1);
        statement->target = ParseTarget();
        ++pos_;  // '='
        statement->value = ParseExpression();
        return statement;
    }

    // GOSUB name, GOTO label: the statement's column is the name's.
    std::unique_ptr<Statement> ParseJump(const Token& first)
    {
        const bool gosub = first.kind == TokenKind::Gosub;
        ++pos_;
        auto statement = Make(gosub ? Statement::Type::Gosub : Statement::Type::Goto, first);
        const Token& nameToken = Peek();
        statement->name = ExpectName(gosub ? "the name of a SUB" : "a label");
        statement->column = nameToken.column;
        if (gosub && Is(Peek(), TokenKind::LeftParen)) RefuseGosubArguments(statement->name);
        return statement;
    }

    // GOSUB Add(1, 2): a SUB with parameters is called by its name alone.
    [[noreturn]] void RefuseGosubArguments(const std::string& name)
    {
        const Token& open = Peek();
        std::string arguments;
        int depth = 0;
        for (std::size_t k = pos_; k < tokens_.size() && tokens_[k].kind != TokenKind::EndOfLine; ++k) {
            const Token& token = tokens_[k];
            if (token.kind == TokenKind::LeftParen && depth++ == 0) continue;
            if (token.kind == TokenKind::RightParen && --depth == 0) break;
            if (!arguments.empty() && token.text != "," && token.text != ")" && arguments.back() != '(') arguments += ' ';
            arguments += Describe(token);
        }
        Fail(open, "GOSUB takes no arguments: call the SUB by its name, " + name + (arguments.empty() ? "()" : " " + arguments));
    }

    // SUB name(parameters), or the old SUB name: (or SUB name).
    std::unique_ptr<Statement> ParseSub(const Token& first, bool afterThen)
    {
        auto statement = ParseBlockWord(first, afterThen, Statement::Type::Sub, "SUB", 1);
        statement->name = ExpectName("the name of the SUB");
        if (Is(Peek(), TokenKind::LeftParen))
            ParseParameterList(*statement);
        else if (Is(Peek(), TokenKind::Colon))
            ++pos_;
        return statement;
    }

    // DIM name[sizes], or DIM name AS type and DIM name[sizes] AS type.
    std::unique_ptr<Statement> ParseDim(const Token& first)
    {
        ++pos_;
        auto statement = Make(Statement::Type::Dim, first);
        statement->target = ParseTarget();
        if (Is(Peek(), TokenKind::As)) {  // a record, or an array of records
            ++pos_;
            statement->name = ExpectName("the name of a TYPE");
            return statement;
        }
        if (statement->target->type != Expr::Type::Element)
            Fail(Peek(), "DIM needs the sizes in brackets: DIM " + statement->target->text + "[size]");
        return statement;
    }

    std::unique_ptr<Statement> ParseType(const Token& first, bool afterThen)
    {
        if (afterThen) Fail(first, "TYPE cannot stand after THEN");
        ++pos_;
        auto statement = Make(Statement::Type::Type, first);
        statement->name = ExpectName("the name of the TYPE");
        return statement;
    }

    // A statement that starts with a name: configuration (KV_...), a
    // command, a call of the program's SUB or FUNCTION, or an assignment.
    std::unique_ptr<Statement> ParseNameStatement(const Token& first)
    {
        using T = Statement::Type;
        if (first.kind == TokenKind::Name && Upper(std::string_view(first.text).substr(0, 3)) == "KV_") {
            const std::string word = Upper(first.text);
            ++pos_;
            auto statement = Make(T::Config, first);
            statement->name = word;
            Expect(TokenKind::Equal, "'=' after " + word);
            statement->value = ParseExpression();
            return statement;
        }
        if (IsReservedWord(first.kind)) Fail(first, std::string(KindSpelling(first.kind)) + " cannot start a statement");
        const bool assignsLateName =
            IsLateFunction(first.text) && (Is(Peek(1), TokenKind::Equal) || Is(Peek(1), TokenKind::LeftBracket));
        if (kvcommands::FindCommand(first.text.c_str()) != nullptr && !assignsLateName) {
            auto statement = Make(T::Call, first);
            statement->call = ParseCommandStatement();
            return statement;
        }
        // A name not followed by '=', '[' or '.' calls a SUB or FUNCTION of the
        // program (the checker tells an unknown command).
        if (!AssignedName()) {
            auto statement = Make(T::UserCall, first);
            statement->call = ParseCommandStatement();
            return statement;
        }
        // Otherwise an assignment.
        auto statement = Make(T::Assign, first);
        statement->target = ParseTarget();
        if (!Is(Peek(), TokenKind::Equal)) {
            if (statement->target->type == Expr::Type::Variable) Fail(first, "unknown command " + first.text);
            Fail(Peek(), "expected '=' after " + statement->target->text + ", found " + QuoteFound());
        }
        ++pos_;
        statement->value = ParseExpression();
        return statement;
    }

    // FUNCTION name(parameters), END FUNCTION (also ENDFUNCTION) and LOCAL
    // names; nullptr where the word is a variable. FUNCTION, ENDFUNCTION and
    // LOCAL are words only where they start such a statement, so that older
    // programs keep variables of these names.
    std::unique_ptr<Statement> ParseFunctionStatement(const Token& first, bool afterThen)
    {
        using T = Statement::Type;
        const TokenKind kind = first.kind;
        const bool assigned = AssignedName();
        if (afterThen && !assigned) Fail(first, std::string(KindSpelling(kind)) + " cannot stand after THEN; use a block IF");
        if (kind == TokenKind::Function && IsIdentifierKind(Peek(1).kind)) {
            ++pos_;
            auto statement = Make(T::Function, first);
            statement->name = ExpectName("the name of the FUNCTION");
            if (Is(Peek(), TokenKind::LeftParen)) ParseParameterList(*statement);
            statement->hasParameterList = true;
            return statement;
        }
        if (kind == TokenKind::EndFunction && !assigned) {
            ++pos_;
            return Make(T::EndFunction, first);
        }
        if (kind == TokenKind::Local && IsIdentifierKind(Peek(1).kind)) {
            ++pos_;
            auto statement = Make(T::Local, first);
            do {
                if (!statement->items.empty()) ++pos_;
                statement->items.push_back(ParseDeclaredName("a variable"));
            } while (Is(Peek(), TokenKind::Comma));
            return statement;
        }
        return nullptr;
    }

    // RETURN [value]: the value of a FUNCTION.
    std::unique_ptr<Statement> ParseReturn(const Token& first)
    {
        ++pos_;
        auto statement = Make(Statement::Type::Return, first);
        if (!AtEnd() && !Is(Peek(), TokenKind::Colon) && !Is(Peek(), TokenKind::Else)) statement->value = ParseExpression();
        return statement;
    }

    // (name, name$, grid[], names$[]) after SUB name or FUNCTION name.
    void ParseParameterList(Statement& statement)
    {
        statement.hasParameterList = true;
        Expect(TokenKind::LeftParen, "'('");
        if (Is(Peek(), TokenKind::RightParen)) {
            ++pos_;
            return;
        }
        ParseParameter(statement);
        while (Is(Peek(), TokenKind::Comma)) {
            ++pos_;
            ParseParameter(statement);
        }
        Expect(TokenKind::RightParen, "',' or ')' in the parameter list");
    }

    // A parameter, perhaps a record or an array of records: e AS Enemy, foes[] AS Enemy.
    void ParseParameter(Statement& statement)
    {
        statement.items.push_back(ParseDeclaredName("a parameter"));
        std::string type;
        if (Is(Peek(), TokenKind::As)) {
            ++pos_;
            type = ExpectName("the name of a TYPE");
        }
        statement.itemTypes.push_back(std::move(type));
    }

    // A parameter or LOCAL: a plain variable, or an array as name[].
    std::unique_ptr<Expr> ParseDeclaredName(const char* what)
    {
        const Token& token = Peek();
        if (!IsIdentifierKind(token.kind) || IsReservedWord(token.kind))
            Fail(token, std::string("expected ") + what + ", found " + QuoteFound());
        if (kvcommands::FindCommand(token.text.c_str()) != nullptr && !IsLateFunction(token.text))
            Fail(token, token.text + " is a command, not a variable");
        ++pos_;
        auto expr = MakeExpr(Expr::Type::Variable, token);
        expr->text = token.text;
        if (Is(Peek(), TokenKind::LeftBracket)) {
            ++pos_;
            Expect(TokenKind::RightBracket, "']': an array is declared with empty brackets, " + token.text + "[]");
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
        if (!Is(Peek(), TokenKind::Colon)) return first;
        auto sequence = Make(Statement::Type::Sequence, at);
        sequence->body.push_back(std::move(first));
        while (Is(Peek(), TokenKind::Colon)) {
            ++pos_;
            if (AtEnd() || Is(Peek(), TokenKind::Else)) break;
            if (Is(Peek(), TokenKind::Rem)) {
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
        if (Is(Peek(), TokenKind::Is)) {
            ++pos_;
            const BinaryOperator* op = FindBinaryOperator(Peek().kind);
            if (op == nullptr || op->kind != BinaryOperator::Kind::Comparison)
                Fail(Peek(), "expected a comparison after IS, found " + QuoteFound());
            ++pos_;
            item.is = op;
            item.value = ParseExpression();
            return item;
        }
        item.value = ParseExpression();
        if (Is(Peek(), TokenKind::To)) {
            ++pos_;
            item.to = ParseExpression();
        }
        return item;
    }

    // A DATA item: a number (with its sign) or a string.
    std::unique_ptr<Expr> ParseDataItem()
    {
        const Token& at = Peek();
        if (IsSign(at)) return Prefixed(&LineParser::ParseDataNumber);
        if (at.kind != TokenKind::Number && at.kind != TokenKind::String)
            Fail(at, "DATA holds numbers and strings in quotes, found " + QuoteFound());
        return ParsePrimary();
    }
    // The number after the sign of a DATA item.
    std::unique_ptr<Expr> ParseDataNumber()
    {
        if (Peek().kind != TokenKind::Number) Fail(Peek(), "expected a number after the sign, found " + QuoteFound());
        return ParsePrimary();
    }

    // A variable or an array element: name or name[i][j]...
    std::unique_ptr<Expr> ParseTarget()
    {
        const Token& token = Peek();
        if (!IsIdentifierKind(token.kind) || IsReservedWord(token.kind))
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
        while (Is(Peek(), TokenKind::LeftBracket)) {
            expr->type = Expr::Type::Element;
            ++pos_;
            expr->children.push_back(ParseExpression());
            Expect(TokenKind::RightBracket, "']'");
        }
        SetDepth(*expr, token);
        if (Is(Peek(), TokenKind::Dot)) return ParseField(std::move(expr));
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
        while (Is(Peek(), TokenKind::LeftBracket)) {
            ++pos_;
            field->children.push_back(ParseExpression());
            Expect(TokenKind::RightBracket, "']'");
        }
        SetDepth(*field, name);
        if (Is(Peek(), TokenKind::Dot)) Fail(Peek(), "a field holds a number, a string or an array, not a record");
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
            if ((Is(first, TokenKind::End) && Is(Peek(1), TokenKind::Type) && Peek(2).kind == TokenKind::EndOfLine) ||
                (Is(first, TokenKind::EndType) && Peek(1).kind == TokenKind::EndOfLine)) {
                line.statements.push_back(Make(Statement::Type::EndType, first));
                return;
            }
            auto fields = Make(Statement::Type::Fields, first);
            for (;;) {
                const Token& name = Peek();
                auto field = MakeExpr(Expr::Type::Variable, name);
                field->text = ExpectName("the name of a field (or END TYPE)");
                while (Is(Peek(), TokenKind::LeftBracket)) {
                    field->type = Expr::Type::Element;
                    ++pos_;
                    if (Peek().kind != TokenKind::Number && !IsIdentifierKind(Peek().kind))
                        Fail(Peek(), "the size of an array field is a whole number or a CONST, found " + QuoteFound());
                    field->children.push_back(ParsePrimary());
                    Expect(TokenKind::RightBracket, "']'");
                }
                fields->items.push_back(std::move(field));
                if (!Is(Peek(), TokenKind::Comma)) break;
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
        if (AtEnd() || Is(Peek(), TokenKind::Else) || Is(Peek(), TokenKind::Colon)) return call;
        if (Is(Peek(), TokenKind::LeftParen) && ClosingParenthesisEndsStatement()) {
            ParseArgumentList(*call);
            SetDepth(*call, name);
            return call;
        }
        call->children.push_back(ParseExpression());
        while (Is(Peek(), TokenKind::Comma)) {
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
            if (Is(token, TokenKind::LeftParen) || Is(token, TokenKind::LeftBracket)) ++depth;
            if (Is(token, TokenKind::RightParen) || Is(token, TokenKind::RightBracket)) {
                if (--depth == 0) {
                    const Token& after = tokens_[std::min(at + 1, tokens_.size() - 1)];
                    return Is(after, TokenKind::EndOfLine) || Is(after, TokenKind::Colon) || Is(after, TokenKind::Else);
                }
            }
        }
        return false;
    }

    void ParseArgumentList(Expr& call)
    {
        Expect(TokenKind::LeftParen, "'('");
        if (Is(Peek(), TokenKind::RightParen)) {
            ++pos_;
            return;
        }
        call.children.push_back(ParseExpression());
        while (Is(Peek(), TokenKind::Comma)) {
            ++pos_;
            call.children.push_back(ParseExpression());
        }
        Expect(TokenKind::RightParen, "',' or ')' in the argument list");
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
        const BinaryOperator* op = FindBinaryOperator(Peek().kind);
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
        return Is(Peek(), TokenKind::Not) ? Prefixed(&LineParser::ParseNot) : ParseLevel(kNotLevel + 1);
    }

    std::unique_ptr<Expr> ParseUnary() { return IsSign(Peek()) ? Prefixed(&LineParser::ParseUnary) : ParsePower(); }

    static bool IsSign(const Token& token) { return Is(token, TokenKind::Minus) || Is(token, TokenKind::Plus); }

    // The prefix operator at the current token (NOT, or a sign) applied to
    // what `operand` parses after it: the same level again where operators
    // may repeat (NOT NOT a, - -a).
    std::unique_ptr<Expr> Prefixed(std::unique_ptr<Expr> (LineParser::*operand)())
    {
        Nested nested(*this);
        const Token& op = Peek();
        ++pos_;
        auto expr = MakeExpr(Expr::Type::Unary, op);
        expr->text = Is(op, TokenKind::Not) ? "NOT" : op.text;
        expr->children.push_back((this->*operand)());
        SetDepth(*expr, op);
        return expr;
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
    std::unique_ptr<Expr> ParseExponent() { return IsSign(Peek()) ? Prefixed(&LineParser::ParseExponent) : ParsePrimary(); }

    std::unique_ptr<Expr> ParsePrimary()
    {
        const Token& token = Peek();
        if (token.kind == TokenKind::Number) {
            ++pos_;
            auto expr = MakeExpr(Expr::Type::Number, token);
            expr->text = token.text;
            return expr;
        }
        if (token.kind == TokenKind::String) {
            ++pos_;
            auto expr = MakeExpr(Expr::Type::String, token);
            expr->text = token.text;
            return expr;
        }
        if (Is(token, TokenKind::LeftParen)) {
            ++pos_;
            auto inner = ParseExpression();
            Expect(TokenKind::RightParen, "')'");
            return inner;
        }
        if (IsIdentifierKind(token.kind) && !IsReservedWord(token.kind)) {
            ++pos_;
            const bool command = kvcommands::FindCommand(token.text.c_str()) != nullptr && !IsLateFunction(token.text);
            if (command || Is(Peek(), TokenKind::LeftParen)) {
                auto call = MakeExpr(Expr::Type::Call, token);
                call->text = token.text;
                if (Is(Peek(), TokenKind::LeftParen)) ParseArgumentList(*call);
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
    return IsReservedWord(WordKind(upperName));
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
