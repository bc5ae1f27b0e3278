#include "block_tree.h"

#include "include_files.h"

namespace kvbasic {

namespace {

using T = Statement::Type;

const char* BlockWord(T type)
{
    switch (type) {
    case T::IfBlock: return "IF";
    case T::For: return "FOR";
    case T::While: return "WHILE";
    case T::Select: return "SELECT CASE";
    default: return "REPEAT";
    }
}
const char* ClosingWord(T type)
{
    switch (type) {
    case T::IfBlock: return "ENDIF";
    case T::For: return "NEXT";
    case T::While: return "WEND";
    case T::Select: return "END SELECT";
    default: return "UNTIL";
    }
}

// C++ compilers, and readers, give up on deeper nesting.
constexpr std::size_t kMaxBlocks = 100;

class BlockTreeBuilder {
public:
    BlockTreeBuilder(Program& program, Diagnostics& diagnostics) : program_(program), diagnostics_(diagnostics) {}

    void Run()
    {
        program_.units.clear();
        program_.units.emplace_back();
        unit_ = 0;
        for (Line& line : program_.lines) AddLine(line);
        if (unit_ == 0) {
            EndMain();
        } else if (unit_ > 0) {
            ReportWithoutEnd();
            CloseOpenBlocks();
            program_.units[unit_].lastLine = static_cast<int>(program_.lines.size()) - 1;
        }
    }

private:
    // A block being read: its node and what its next statements must match.
    struct Open {
        Node* node;
        bool sawElse = false;  // also CASE ELSE
        bool sawCase = false;
    };

    void Error(int line, int column, std::string message) { diagnostics_.Error(line, column, std::move(message)); }

    T TypeOf(const Open& open) const { return open.node->statement->type; }

    void ReportUnclosed(const Open& open)
    {
        const T type = TypeOf(open);
        Error(open.node->line + 1, open.node->statement->column,
              std::string(BlockWord(type)) + " without " + ClosingWord(type));
    }

    void CloseOpenBlocks()
    {
        for (const Open& open : open_) ReportUnclosed(open);
        open_.clear();
        type_ = nullptr;
    }

    // Where the next statement goes: the body of the innermost block (of
    // its last branch), else of the unit.
    std::vector<Node>& Body()
    {
        if (open_.empty()) return program_.units[unit_].root.body;
        Node& node = *open_.back().node;
        return node.branches.empty() ? node.body : node.branches.back().body;
    }

    Node& Add(int line, Statement* statement)
    {
        Node node;
        node.line = line;
        node.statement = statement;
        std::vector<Node>& body = type_ != nullptr ? type_->body : Body();
        body.push_back(std::move(node));
        return body.back();
    }

    // Closes the innermost block of `type` with `end`; blocks opened inside
    // it are reported as unclosed. False when no such block is open.
    bool Close(T type, Statement& end, int line)
    {
        for (int k = static_cast<int>(open_.size()) - 1; k >= 0; --k) {
            if (TypeOf(open_[k]) != type) continue;
            for (std::size_t inner = k + 1; inner < open_.size(); ++inner) ReportUnclosed(open_[inner]);
            open_[k].node->end = &end;
            open_[k].node->endLine = line;
            open_.resize(k);
            return true;
        }
        return false;
    }

    void EndMain()
    {
        Unit& main = program_.units[0];
        main.lastLine = lastMainLine_;
        CloseOpenBlocks();
        // Blank and comment lines after the last statement belong to no part.
        while (!main.root.body.empty() && main.root.body.back().line > lastMainLine_) main.root.body.pop_back();
    }

    void ReportWithoutEnd()
    {
        const Statement& statement = *program_.units[unit_].root.statement;
        Error(program_.units[unit_].firstLine + 1, statement.column,
              statement.type == T::Function ? "FUNCTION " + statement.name + " without END FUNCTION"
                                            : "SUB " + statement.name + " without ENDSUB");
    }

    void AddLine(Line& line)
    {
        if (unit_ == 0) CloseBlocksOfIncludedFile(line);
        Statement* first = line.statements.empty() ? nullptr : line.statements.front().get();
        const bool hasContent = first != nullptr || !line.label.empty();
        if (first != nullptr && (first->type == T::Sub || first->type == T::Function)) {
            StartUnit(line, *first);
            return;
        }
        if (unit_ < 0) {
            if (hasContent) ReportBetweenUnits(line, first);
            return;
        }
        if (unit_ == 0 && hasContent) lastMainLine_ = line.index;
        // The lines of a TYPE: its fields up to its END TYPE (the parser
        // reads them so within one file).
        if (type_ != nullptr && (first == nullptr || first->type == T::Fields || first->type == T::EndType) &&
            program_.lines[type_->line].file == line.file) {
            if (first != nullptr) CheckFirstCase(*first, line.index);
            if (first != nullptr && first->type == T::EndType) {
                type_->end = first;
                type_->endLine = line.index;
                type_ = nullptr;
            } else {
                Add(line.index, first);
            }
            return;
        }
        type_ = nullptr;
        if (first == nullptr) {
            Add(line.index, nullptr);
            return;
        }
        for (const auto& statement : line.statements) AddStatement(*statement, line.index);
    }

    // A statement after the end of a SUB or FUNCTION and before the next
    // one: the main program's lines come before the first SUB or FUNCTION.
    // Said with the words the program ended its last SUB or FUNCTION with.
    void ReportBetweenUnits(const Line& line, const Statement* first)
    {
        const int number = line.index + 1;
        if (first != nullptr && first->type == T::Include) {
            Error(number, first->column,
                  "INCLUDE cannot stand after " + lastEnd_ +
                      ": include files in the main program, before the first SUB or FUNCTION");
            return;
        }
        Error(number, first ? first->column : line.labelColumn,
              "only comments may stand between " + lastEnd_ +
                  " and the next SUB or FUNCTION: the main program's lines come before the first SUB or FUNCTION");
    }

    // ENDSUB, END SUB, ENDFUNCTION or END FUNCTION, as the line writes it.
    static std::string EndAsWritten(const Line& line, const Statement& end)
    {
        const bool endsFunction = end.type == T::EndFunction;
        const std::size_t start = end.column > 0 ? static_cast<std::size_t>(end.column - 1) : 0;
        const bool twoWords = start + 3 < line.text.size() && (line.text[start + 3] == ' ' || line.text[start + 3] == '\t');
        return endsFunction ? (twoWords ? "END FUNCTION" : "ENDFUNCTION") : (twoWords ? "END SUB" : "ENDSUB");
    }

    void StartUnit(const Line& line, Statement& statement)
    {
        const int number = line.index + 1;
        if (unit_ == 0) {
            EndMain();
        } else if (unit_ > 0) {
            ReportWithoutEnd();
            CloseOpenBlocks();
            program_.units[unit_].lastLine = line.index - 1;
        }
        type_ = nullptr;
        Unit unit;
        unit.root.line = line.index;
        unit.root.statement = &statement;
        unit.root.isBlock = true;
        unit.firstLine = unit.lastLine = line.index;
        program_.units.push_back(std::move(unit));
        unit_ = static_cast<int>(program_.units.size()) - 1;
        if (!line.label.empty())
            Error(number, line.labelColumn,
                  std::string("a label cannot stand on a ") + (statement.type == T::Sub ? "SUB" : "FUNCTION") + " line");
    }

    // ENDSUB or END FUNCTION: the end of the SUB or FUNCTION it matches.
    void EndUnit(Statement& statement, int line)
    {
        const bool endsFunction = statement.type == T::EndFunction;
        const int number = line + 1;
        if (unit_ == 0) {
            Error(number, statement.column, endsFunction ? "END FUNCTION without FUNCTION" : "ENDSUB without SUB");
            Add(line, &statement);
            return;
        }
        Unit& unit = program_.units[unit_];
        const Statement& start = *unit.root.statement;
        if ((start.type == T::Function) != endsFunction) {
            Error(number, statement.column,
                  endsFunction ? "END FUNCTION in SUB " + start.name + ": a SUB ends with ENDSUB"
                               : "ENDSUB in FUNCTION " + start.name + ": a FUNCTION ends with END FUNCTION");
            Add(line, &statement);
            return;
        }
        CloseOpenBlocks();
        lastEnd_ = EndAsWritten(program_.lines[line], statement);
        unit.root.end = &statement;
        unit.root.endLine = line;
        unit.lastLine = line;
        unit_ = -1;
    }

    // Where the main program goes on after the lines of an included file,
    // the blocks that file left open are reported: a block closes in its file.
    void CloseBlocksOfIncludedFile(const Line& line)
    {
        if (line.index == 0) return;
        const Line& previous = program_.lines[line.index - 1];
        if (previous.file == line.file) return;
        for (const auto& statement : previous.statements)
            if (statement->type == T::Include) return;  // entering the included file
        while (!open_.empty() && program_.lines[open_.back().node->line].file != line.file) {
            ReportUnclosed(open_.back());
            open_.pop_back();
        }
    }

    // One statement of a line, in the block it stands in: a block
    // statement opens, continues or closes its block.
    void AddStatement(Statement& statement, int line)
    {
        CheckFirstCase(statement, line);
        switch (statement.type) {
        case T::IfBlock:
        case T::For:
        case T::While:
        case T::Repeat:
        case T::Select:
            OpenBlock(statement, line);
            return;
        case T::ElseIf:
        case T::Else:
            AddBranch(statement, line);
            return;
        case T::Case:
            AddCase(statement, line);
            return;
        case T::EndIf:
            if (!Close(T::IfBlock, statement, line)) Unmatched(statement, line, "ENDIF without IF");
            return;
        case T::Next:
            CloseFor(statement, line);
            return;
        case T::Wend:
            if (!Close(T::While, statement, line)) Unmatched(statement, line, "WEND without WHILE");
            return;
        case T::Until:
            if (!Close(T::Repeat, statement, line)) Unmatched(statement, line, "UNTIL without REPEAT");
            return;
        case T::EndSelect:
            if (!Close(T::Select, statement, line)) Unmatched(statement, line, "END SELECT without SELECT CASE");
            return;
        case T::EndSub:
        case T::EndFunction:
            EndUnit(statement, line);
            return;
        case T::Type: {
            Node& node = Add(line, &statement);
            node.isBlock = true;
            type_ = &node;
            return;
        }
        default:
            Add(line, &statement);
            return;
        }
    }

    void CheckFirstCase(const Statement& statement, int line)
    {
        if (!open_.empty() && TypeOf(open_.back()) == T::Select && !open_.back().sawCase && statement.type != T::Case &&
            statement.type != T::EndSelect)
            Error(line + 1, statement.column, "only comments may stand between SELECT CASE and its first CASE");
    }

    // A block end that closes nothing stays in the tree as a plain statement.
    void Unmatched(Statement& statement, int line, const char* message)
    {
        Error(line + 1, statement.column, message);
        Add(line, &statement);
    }

    void OpenBlock(Statement& statement, int line)
    {
        if (open_.size() >= kMaxBlocks) {
            Error(line + 1, statement.column, "blocks are nested too deeply (more than 100)");
            Add(line, &statement);
            return;
        }
        Node& node = Add(line, &statement);
        node.isBlock = true;
        open_.push_back({&node});
    }

    // An ELSEIF or ELSE of the innermost IF.
    void AddBranch(Statement& statement, int line)
    {
        const char* word = statement.type == T::Else ? "ELSE" : "ELSEIF";
        if (open_.empty() || TypeOf(open_.back()) != T::IfBlock) {
            Error(line + 1, statement.column, std::string(word) + " without IF");
            Add(line, &statement);
            return;
        }
        Open& open = open_.back();
        if (open.sawElse)
            Error(line + 1, statement.column, std::string(word) + " after ELSE");
        else if (statement.type == T::Else)
            open.sawElse = true;
        Node branch;
        branch.line = line;
        branch.statement = &statement;
        open.node->branches.push_back(std::move(branch));
    }

    // A CASE of the innermost SELECT CASE.
    void AddCase(Statement& statement, int line)
    {
        if (open_.empty() || TypeOf(open_.back()) != T::Select) {
            Error(line + 1, statement.column, "CASE without SELECT CASE");
            Add(line, &statement);
            return;
        }
        Open& open = open_.back();
        if (open.sawElse) Error(line + 1, statement.column, "CASE after CASE ELSE");
        open.sawCase = true;
        open.sawElse = open.sawElse || statement.cases.empty();
        Node arm;
        arm.line = line;
        arm.statement = &statement;
        open.node->branches.push_back(std::move(arm));
    }

    // NEXT closes the innermost FOR; NEXT name must name its variable.
    void CloseFor(Statement& statement, int line)
    {
        if (!statement.name.empty()) {
            for (int k = static_cast<int>(open_.size()) - 1; k >= 0; --k) {
                if (TypeOf(open_[k]) != T::For) continue;
                const std::string& variable = open_[k].node->statement->target->text;
                if (variable != statement.name)
                    Error(line + 1, statement.column,
                          "NEXT " + statement.name + " does not match FOR " + variable + " of " +
                              LineReference(program_, open_[k].node->line + 1));
                break;
            }
        }
        if (!Close(T::For, statement, line)) Unmatched(statement, line, "NEXT without FOR");
    }

    Program& program_;
    Diagnostics& diagnostics_;
    int unit_ = 0;             // in Program::units; -1 between an ENDSUB and the next SUB
    int lastMainLine_ = -1;    // the main program's last line with a statement or label
    std::string lastEnd_;      // how the program wrote the end of its last SUB or FUNCTION
    std::vector<Open> open_;   // the blocks being read, innermost last
    Node* type_ = nullptr;     // the TYPE whose lines of fields follow
};

}  // namespace

void BuildBlockTree(Program& program, Diagnostics& diagnostics) { BlockTreeBuilder(program, diagnostics).Run(); }

}  // namespace kvbasic
