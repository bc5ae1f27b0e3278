#include "build_size.h"

#include <algorithm>
#include <map>
#include <string>

#include "include_files.h"

namespace kvbasic {

namespace {

// A statement with the statements after its THEN and ELSE, and those of a
// sequence ("IF a THEN b = 1: c = 2").
int SimpleCount(const Statement& statement)
{
    int count = 1;
    for (const Statement* branch : {statement.then.get(), statement.otherwise.get()})
        if (branch != nullptr) count += SimpleCount(*branch);
    for (const auto& each : statement.body) count += SimpleCount(*each);
    return count;
}

void CollectGotos(const Statement& statement, std::vector<const std::string*>& into)
{
    if (statement.type == Statement::Type::Goto) into.push_back(&statement.name);
    for (const Statement* branch : {statement.then.get(), statement.otherwise.get()})
        if (branch != nullptr) CollectGotos(*branch, into);
    for (const auto& each : statement.body) CollectGotos(*each, into);
}

void CollectGotos(const Node& node, std::vector<const std::string*>& into)
{
    if (node.statement != nullptr && !node.isBlock) CollectGotos(*node.statement, into);
    for (const Node& each : node.body) CollectGotos(each, into);
    for (const Node& branch : node.branches) CollectGotos(branch, into);
}

std::string Thousands(long value)
{
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

// The last line a node spans.
int LastLine(const Node& node)
{
    int last = std::max(node.line, node.end != nullptr ? node.endLine : node.line);
    for (const Node& each : node.body) last = std::max(last, LastLine(each));
    for (const Node& branch : node.branches) last = std::max(last, LastLine(branch));
    return last;
}

}  // namespace

int StatementCount(const Node& node)
{
    int count = node.statement != nullptr && !node.isBlock ? SimpleCount(*node.statement) : 1;
    for (const Node& each : node.body) count += StatementCount(each);
    for (const Node& branch : node.branches) count += StatementCount(branch);
    if (node.end != nullptr) ++count;
    return count;
}

long StatementCount(const Unit& unit)
{
    if (unit.root.statement != nullptr) return StatementCount(unit.root);
    long count = 0;  // the main program: its root is no statement
    for (const Node& node : unit.root.body) count += StatementCount(node);
    return count;
}

std::vector<MainPiece> SplitMainProgram(const Program& program, const CheckedProgram& checked)
{
    std::vector<MainPiece> pieces;
    if (program.units.empty() || checked.functions.empty()) return pieces;
    const std::vector<Node>& body = program.units[0].root.body;
    const Function& main = checked.functions[0];
    std::vector<int> counts(body.size());
    long total = 0;
    for (std::size_t k = 0; k < body.size(); ++k) total += counts[k] = StatementCount(body[k]);
    // Short, or with LOCALs that belong to one call: one function.
    if (total <= kMainPieceStatements || !main.locals.empty()) {
        pieces.push_back({0, body.size(), static_cast<int>(std::min<long>(total, kMaxProgramStatements + 1))});
        return pieces;
    }

    // The node at which the code of each jump target's line begins: the
    // first node on that line, else the node whose block holds it.
    std::map<std::string, std::size_t> targetNode;
    for (int index = program.units[0].firstLine; index <= program.units[0].lastLine; ++index) {
        const Line& line = program.lines[static_cast<std::size_t>(index)];
        if (line.label.empty() || !main.jumpTargets.count(line.label)) continue;
        auto at = std::lower_bound(body.begin(), body.end(), index, [](const Node& node, int value) { return node.line < value; });
        if (at == body.end() || at->line != index) {
            if (at == body.begin()) continue;
            --at;
        }
        targetNode[line.label] = static_cast<std::size_t>(at - body.begin());
    }
    // A cut before node b is barred when a GOTO and its label stand on
    // either side of it.
    std::vector<int> crossing(body.size() + 1, 0);
    std::vector<const std::string*> gotos;
    for (std::size_t k = 0; k < body.size(); ++k) {
        gotos.clear();
        CollectGotos(body[k], gotos);
        for (const std::string* name : gotos) {
            const auto target = targetNode.find(*name);
            if (target == targetNode.end()) continue;
            const std::size_t low = std::min(k, target->second), high = std::max(k, target->second);
            if (low == high) continue;
            ++crossing[low + 1];
            --crossing[high + 1];
        }
    }
    MainPiece piece;
    int barred = 0;
    for (std::size_t k = 0; k < body.size(); ++k) {
        barred += crossing[k];
        if (piece.statements > 0 && piece.statements + counts[k] > kMainPieceStatements && barred == 0) {
            piece.end = k;
            pieces.push_back(piece);
            piece = {k, k, 0};
        }
        // Held below the int's range: only compared against the limits.
        piece.statements = static_cast<int>(std::min<long>(long{piece.statements} + counts[k], kMaxProgramStatements + 1L));
    }
    piece.end = body.size();
    pieces.push_back(piece);
    return pieces;
}

void CheckBuildSize(const Program& program, const CheckedProgram& checked, Diagnostics& diagnostics)
{
    if (program.units.empty()) return;
    const long lines = static_cast<long>(program.lines.size());
    if (lines > kMaxProgramLines) {
        diagnostics.Error(1, 1, "the program is too large to build: " + Thousands(lines) + " lines, at most " +
                                    Thousands(kMaxProgramLines) + " (all its files together)");
        return;
    }
    long statements = 0;
    for (const Unit& unit : program.units) statements += StatementCount(unit);
    if (statements > kMaxProgramStatements) {
        diagnostics.Error(1, 1, "the program is too large to build: " + Thousands(statements) + " statements, at most " +
                                    Thousands(kMaxProgramStatements) + " (all its files together)");
        return;
    }
    for (std::size_t k = 1; k < program.units.size(); ++k) {
        const Node& root = program.units[k].root;
        const int count = StatementCount(root);
        if (count <= kMaxPieceStatements || root.statement == nullptr) continue;
        const bool isFunction = root.statement->type == Statement::Type::Function;
        const std::string kind = isFunction ? "FUNCTION" : "SUB";
        diagnostics.Error(root.line + 1, root.statement->column,
                          kind + " " + root.statement->name + " is too long to build: " + Thousands(count) +
                              " statements, at most " + Thousands(kMaxPieceStatements) +
                              " in one SUB or FUNCTION; split it into several");
    }
    const std::vector<Node>& body = program.units[0].root.body;
    for (const MainPiece& piece : SplitMainProgram(program, checked)) {
        if (piece.statements <= kMaxPieceStatements || piece.begin >= piece.end) continue;
        const Node& first = body[piece.begin];
        const int last = LastLine(body[piece.end - 1]);
        const std::string why = piece.end - piece.begin == 1 ? "one block" : "a stretch that GOTO jumps across";
        diagnostics.Error(first.line + 1, first.statement != nullptr ? first.statement->column : 1,
                          "the main program is too long to build here: " + why + " of " + Thousands(piece.statements) +
                              " statements (up to " + LineReference(program, last + 1) + "), at most " +
                              Thousands(kMaxPieceStatements) + " in one piece; move parts of it into SUBs");
    }
}

}  // namespace kvbasic
