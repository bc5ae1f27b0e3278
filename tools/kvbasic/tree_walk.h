// Walks over the parsed program's statements and expressions, for the
// analyses that need to see all of a block at once.
#pragma once

#include <vector>

#include "syntax_tree.h"

namespace kvbasic {

// The expressions a statement holds directly (not those of the statements
// after its THEN or ELSE).
inline void ForEachExpr(const Statement& statement, const auto& visit)
{
    for (const Expr* expr : {statement.target.get(), statement.value.get(), statement.cond.get(), statement.from.get(),
                             statement.to.get(), statement.step.get(), statement.call.get()})
        if (expr != nullptr) visit(*expr);
    for (const auto& item : statement.items) visit(*item);
    for (const auto& item : statement.cases) {
        if (item.value) visit(*item.value);
        if (item.to) visit(*item.to);
    }
}

// Every statement of a run of nodes, nested blocks and the parts of
// one-line IFs included.
inline void ForEachStatement(const Statement& statement, const auto& visit)
{
    visit(statement);
    if (statement.then) ForEachStatement(*statement.then, visit);
    if (statement.otherwise) ForEachStatement(*statement.otherwise, visit);
    for (const auto& part : statement.body) ForEachStatement(*part, visit);
}

inline void ForEachStatement(const std::vector<Node>& nodes, const auto& visit)
{
    for (const Node& node : nodes) {
        if (node.statement != nullptr) ForEachStatement(*node.statement, visit);
        ForEachStatement(node.body, visit);
        for (const Node& branch : node.branches) {
            if (branch.statement != nullptr) ForEachStatement(*branch.statement, visit);
            ForEachStatement(branch.body, visit);
        }
        if (node.end != nullptr) ForEachStatement(*node.end, visit);
    }
}

// Every expression of a tree, the root first.
inline void ForEachSubExpr(const Expr& root, const auto& visit)
{
    visit(root);
    for (const auto& child : root.children) ForEachSubExpr(*child, visit);
}

}  // namespace kvbasic
