#include "whole_numbers.h"

#include "tree_walk.h"

#include <cmath>
#include <cstdlib>
#include <set>
#include <strings.h>

namespace kvbasic {

namespace {

constexpr int kMaxChanges = 1;   // a variable whose range grows in more rounds is given up
constexpr int kMaxRounds = 16;   // and a program that is not settled by then keeps doubles

bool Is(const Expr& expr, const char* text) { return strcasecmp(expr.text.c_str(), text) == 0; }

// The argument kinds of a command: one letter each ("N n s?" gives "Nns").
std::string ArgumentKinds(const kvcommands::Command& command)
{
    std::string kinds;
    bool wordStart = true;
    for (const char* c = command.arguments; *c != '\0'; ++c) {
        if (*c != ' ' && wordStart) kinds += *c;
        wordStart = *c == ' ';
    }
    return kinds;
}

// A command whose result depends on its arguments alone and that changes
// nothing: the bound or step of a loop may call it.
bool IsPureCommand(const kvcommands::Command& command)
{
    for (const char* name : {"LEN", "BOUNDS", "INT", "FIX", "ABS", "SGN"})
        if (strcasecmp(command.name, name) == 0) return true;
    return false;
}

// A label some GOTO names on a line of these nodes: a jump from outside
// into the loop they form would skip its start.
bool HasJumpTarget(const std::vector<Node>& nodes, const Program& program, const Function& function)
{
    for (const Node& node : nodes) {
        for (const int line : {node.line, node.end != nullptr ? node.endLine : node.line}) {
            const std::string& label = program.lines[line].label;
            if (!label.empty() && function.jumpTargets.count(label) != 0) return true;
        }
        if (HasJumpTarget(node.body, program, function) || HasJumpTarget(node.branches, program, function)) return true;
    }
    return false;
}

}  // namespace

WholeNumbers::WholeNumbers(const Program& program, const CheckedProgram& checked) : program_(program), checked_(checked)
{
    Analyse();
}

VariableKey WholeNumbers::KeyOf(int function, const std::string& name) const
{
    return {checked_.functions[function].scope.count(name) != 0 ? function : -1, name};
}

const WholeLoop* WholeNumbers::LoopOf(const Statement* forStatement) const
{
    const auto found = loops_.find(forStatement);
    return found == loops_.end() ? nullptr : &found->second;
}

const WholeLoop* WholeNumbers::CounterLoop(const VariableKey& key, const std::vector<const WholeLoop*>& around)
{
    for (auto loop = around.rbegin(); loop != around.rend(); ++loop)
        if ((*loop)->counter == key) return *loop;
    return nullptr;
}

NumberRange WholeNumbers::RangeOf(const Expr& expr, int function, const std::vector<const WholeLoop*>& around) const
{
    if (expr.isString) return NumberRange::Unknown();
    if (expr.isTruth) return NumberRange::Between(0, 1, true);
    auto child = [&](std::size_t k) { return RangeOf(*expr.children[k], function, around); };
    switch (expr.type) {
    case Expr::Type::Number:
        return NumberRange::Exactly(std::strtod(expr.text.c_str(), nullptr));
    case Expr::Type::Variable: {
        const VariableKey key = KeyOf(function, expr.text);
        if (const WholeLoop* loop = CounterLoop(key, around)) return loop->inBody;
        // A variable nothing assigns keeps its 0; but only a settled analysis knows.
        if (!settled_) return NumberRange::Unknown();
        const auto fact = facts_.find(key);
        return fact == facts_.end() ? NumberRange::Exactly(0) : fact->second.range;
    }
    case Expr::Type::Unary:
        return Is(expr, "-") ? Negated(child(0)) : child(0);
    case Expr::Type::Binary:
        if (Is(expr, "+")) return Sum(child(0), child(1));
        if (Is(expr, "-")) return Difference(child(0), child(1));
        if (Is(expr, "*")) return Product(child(0), child(1));
        if (Is(expr, "/")) return Quotient(child(0), child(1));
        if (Is(expr, "MOD")) return Remainder(child(0), child(1));
        if (Is(expr, "\\")) return WholeQuotient(child(0), child(1));
        return NumberRange::Unknown();
    case Expr::Type::Call: {
        if (expr.command == nullptr) return NumberRange::Unknown();  // a FUNCTION of the program
        const char* name = expr.command->name;
        const bool numberArgument = !expr.children.empty() && !expr.children[0]->isString;
        if (strcasecmp(name, "LEN") == 0) return NumberRange::Between(0, 1023, true);
        if (strcasecmp(name, "BOUNDS") == 0) return NumberRange::Between(-2147483648.0, 2147483647.0, true);
        if (strcasecmp(name, "SGN") == 0) return NumberRange::Between(-1, 1, true);
        if (!numberArgument) return NumberRange::Unknown();
        if (strcasecmp(name, "INT") == 0) return Floor(child(0));
        if (strcasecmp(name, "FIX") == 0) return Truncated(child(0));
        if (strcasecmp(name, "ABS") == 0) return Absolute(child(0));
        if (strcasecmp(name, "MOD") == 0 && expr.children.size() == 2) return Remainder(child(0), child(1));
        return NumberRange::Unknown();
    }
    default:
        return NumberRange::Unknown();
    }
}

bool WholeNumbers::Assign(const VariableKey& key, const NumberRange& range)
{
    Fact& fact = facts_[key];
    NumberRange joined = Join(fact.range, range);
    if (joined == fact.range) return false;
    // Several assignments of one round count once: a variable set to a
    // few different constants is still known.
    if (fact.lastRound != round_) {
        fact.lastRound = round_;
        if (++fact.changes > kMaxChanges) joined = NumberRange::Unknown();
    } else if (fact.changes > kMaxChanges) {
        joined = NumberRange::Unknown();
    }
    fact.range = joined;
    return true;
}

WholeNumbers::Effects WholeNumbers::BodyEffects(int function, const std::vector<Node>& body) const
{
    Effects effects;
    auto collectCall = [&](const Expr& expr) {
        if (expr.type != Expr::Type::Call) return;
        if (expr.functionIndex >= 0) {
            effects.calls.insert(expr.functionIndex);
            return;
        }
        if (expr.command == nullptr) return;
        const std::string kinds = ArgumentKinds(*expr.command);
        for (std::size_t k = 0; k < expr.children.size() && k < kinds.size(); ++k) {
            const Expr& argument = *expr.children[k];
            if ((kinds[k] == 'N' || kinds[k] == 'S' || kinds[k] == 'V') && argument.type == Expr::Type::Variable) {
                effects.assigned.insert(KeyOf(function, argument.text));
                effects.overwritten.insert(KeyOf(function, argument.text));
            }
            // A command handed an array may DIM it; BOUNDS only reads its sizes.
            if ((kinds[k] == 'a' || kinds[k] == 'A' || kinds[k] == 'x') && !IsPureCommand(*expr.command)) effects.dims = true;
        }
    };
    auto collectExpr = [&](const Expr& root) { ForEachSubExpr(root, collectCall); };
    ForEachStatement(body, [&](const Statement& statement) {
        using T = Statement::Type;
        const bool plainTarget = statement.target && statement.target->type == Expr::Type::Variable;
        if (plainTarget && (statement.type == T::Assign || statement.type == T::Const || statement.type == T::For))
            effects.assigned.insert(KeyOf(function, statement.target->text));
        if (statement.type == T::Read)
            for (const auto& item : statement.items)
                if (item->type == Expr::Type::Variable) {
                    effects.assigned.insert(KeyOf(function, item->text));
                    effects.overwritten.insert(KeyOf(function, item->text));
                }
        if (statement.type == T::Dim) effects.dims = true;
        if (statement.type == T::Gosub)
            for (std::size_t k = 0; k < checked_.functions.size(); ++k)
                if (strcasecmp(checked_.functions[k].name.c_str(), statement.name.c_str()) == 0)
                    effects.calls.insert(static_cast<int>(k));
        ForEachExpr(statement, collectExpr);
    });
    // What the called functions change, once they are known.
    if (!callEffects_.empty()) {
        const std::set<int> direct = effects.calls;
        for (const int callee : direct) effects.AddCall(callEffects_[callee]);
    }
    return effects;
}

bool WholeNumbers::IsInvariant(const Expr& expr, int function, const WholeLoop& loop) const
{
    switch (expr.type) {
    case Expr::Type::Number:
    case Expr::Type::String:
    case Expr::Type::Unary:
    case Expr::Type::Binary:
        break;
    case Expr::Type::Variable: {
        const VariableKey key = KeyOf(function, expr.text);
        if (key == loop.counter || loop.assignedInBody == nullptr || loop.assignedInBody->count(key) != 0) return false;
        break;
    }
    case Expr::Type::Call:
        if (expr.command == nullptr || !IsPureCommand(*expr.command)) return false;
        // BOUNDS of an array the body might DIM again.
        if (strcasecmp(expr.command->name, "BOUNDS") == 0 && loop.bodyMayDim) return false;
        break;
    default:
        return false;
    }
    for (const auto& child : expr.children)
        if (!IsInvariant(*child, function, loop)) return false;
    return true;
}

bool WholeNumbers::PlanLoop(int function, const Node& node, const std::vector<const WholeLoop*>& around,
                            WholeLoop& plan) const
{
    const Statement& statement = *node.statement;
    if (node.end == nullptr || statement.target->type != Expr::Type::Variable || statement.target->isString) return false;
    const Function& owner = checked_.functions[function];
    if (HasJumpTarget(node.body, program_, owner)) return false;
    // What the body changes does not depend on the ranges: worked out once.
    auto cached = loopEffects_.find(&statement);
    if (cached == loopEffects_.end()) cached = loopEffects_.emplace(&statement, BodyEffects(function, node.body)).first;
    const Effects& effects = cached->second;

    plan.counter = KeyOf(function, statement.target->text);
    plan.assignedInBody = &effects.assigned;
    plan.bodyMayDim = effects.dims;
    if (effects.assigned.count(plan.counter) != 0) return false;
    // The bound and the step are read once, so nothing in the body (nor the
    // loop itself) may change them.
    auto invariant = [&](const Expr& expr) { return IsInvariant(expr, function, plan); };
    if (!invariant(*statement.to) || (statement.step && !invariant(*statement.step))) return false;

    plan.from = RangeOf(*statement.from, function, around);
    plan.to = RangeOf(*statement.to, function, around);
    plan.step = statement.step ? RangeOf(*statement.step, function, around) : NumberRange::Exactly(1);
    if (!plan.from.IsWhole() || plan.from.negativeZero || !plan.to.known || !plan.step.IsWhole()) return false;
    const bool up = plan.step.lo > 0;
    if (!up && !(plan.step.hi < 0)) return false;
    // The counter stays between the start and the bound while the body
    // runs, and ends one step past the bound (or at the start).
    NumberRange& after = plan.after;
    if (up) {
        const double last = std::floor(plan.to.hi);
        plan.inBody = NumberRange::Between(plan.from.lo, std::max(plan.from.lo, last), true);
        after = NumberRange::Between(plan.from.lo, std::max(plan.from.hi, last + plan.step.hi), true);
    } else {
        const double last = std::ceil(plan.to.lo);
        plan.inBody = NumberRange::Between(std::min(plan.from.hi, last), plan.from.hi, true);
        after = NumberRange::Between(std::min(plan.from.lo, last + plan.step.lo), plan.from.hi, true);
    }
    if (!plan.inBody.known || !after.known) return false;

    // FOR i = ... TO BOUNDS(a, k) - c: a[...i + d...] with d < c is in range
    // in dimension k as long as nothing DIMs a again.
    const Expr& to = *statement.to;
    plan.boundsArray.clear();
    if (up && !effects.dims && to.type == Expr::Type::Binary && Is(to, "-") && to.children[0]->type == Expr::Type::Call &&
        to.children[0]->command != nullptr && strcasecmp(to.children[0]->command->name, "BOUNDS") == 0 &&
        to.children[1]->type == Expr::Type::Number) {
        const Expr& bounds = *to.children[0];
        const NumberRange margin = NumberRange::Exactly(std::strtod(to.children[1]->text.c_str(), nullptr));
        const NumberRange dimension = bounds.children.size() == 2 && bounds.children[1]->type == Expr::Type::Number
                                          ? NumberRange::Exactly(std::strtod(bounds.children[1]->text.c_str(), nullptr))
                                          : NumberRange::Unknown();
        if (bounds.children[0]->type == Expr::Type::Variable && margin.IsWhole() && margin.lo >= 1 && dimension.IsWhole() &&
            dimension.lo >= 0 && dimension.lo < 8) {
            plan.boundsArray = bounds.children[0]->text;
            plan.boundsDimension = static_cast<int>(dimension.lo);
            plan.boundsMargin = margin.lo;
        }
    }
    return true;
}

bool WholeNumbers::Walk(int function, const std::vector<Node>& body, std::vector<const WholeLoop*>& around)
{
    bool changed = false;
    auto assignments = [&](const Statement& statement) {
        using T = Statement::Type;
        const bool plainTarget = statement.target && statement.target->type == Expr::Type::Variable;
        if (plainTarget && !statement.target->isString && (statement.type == T::Assign || statement.type == T::Const))
            changed |= Assign(KeyOf(function, statement.target->text), RangeOf(*statement.value, function, around));
    };
    for (const Node& node : body) {
        if (node.statement != nullptr) ForEachStatement(*node.statement, assignments);
        for (const Node& branch : node.branches)
            if (branch.statement != nullptr) ForEachStatement(*branch.statement, assignments);
        if (node.end != nullptr) ForEachStatement(*node.end, assignments);

        const bool isFor = node.isBlock && node.statement != nullptr && node.statement->type == Statement::Type::For;
        if (isFor) {
            WholeLoop plan;
            const Statement& statement = *node.statement;
            const bool plain = statement.target->type == Expr::Type::Variable && !statement.target->isString;
            if (PlanLoop(function, node, around, plan)) {
                WholeLoop& kept = trial_[node.statement] = plan;
                changed |= Assign(plan.counter, Join(plan.inBody, plan.after));
                around.push_back(&kept);
                changed |= Walk(function, node.body, around);
                around.pop_back();
            } else {
                if (plain) changed |= Assign(KeyOf(function, statement.target->text), NumberRange::Unknown());
                changed |= Walk(function, node.body, around);
            }
        } else {
            changed |= Walk(function, node.body, around);
        }
        for (const Node& branch : node.branches) changed |= Walk(function, branch.body, around);
    }
    return changed;
}

void WholeNumbers::Analyse()
{
    const int functions = static_cast<int>(checked_.functions.size());
    if (static_cast<int>(program_.units.size()) != functions) {
        settled_ = false;
        return;
    }
    // Parameters take whatever the callers pass.
    for (int f = 0; f < functions; ++f)
        for (const std::string& parameter : checked_.functions[f].parameters)
            facts_[{f, parameter}] = {NumberRange::Unknown(), kMaxChanges + 1, -1};

    // What each function changes, with what it calls, to a fixed point.
    std::vector<Effects> effects;
    for (int f = 0; f < functions; ++f) effects.push_back(BodyEffects(f, program_.units[f].root.body));
    for (bool grown = true; grown;) {
        grown = false;
        for (int f = 0; f < functions; ++f) {
            const std::set<int> callees = effects[f].calls;
            for (const int callee : callees) grown |= effects[f].AddCall(effects[callee]);
        }
    }
    callEffects_ = effects;
    // READ and commands give a variable any value.
    for (const Effects& each : effects)
        for (const VariableKey& key : each.overwritten) facts_[key] = {NumberRange::Unknown(), kMaxChanges + 1, -1};

    for (round_ = 0; round_ < kMaxRounds; ++round_) {
        trial_.clear();
        bool changed = false;
        for (int f = 0; f < functions; ++f) {
            std::vector<const WholeLoop*> around;
            changed |= Walk(f, program_.units[f].root.body, around);
        }
        if (!changed) {
            loops_ = std::move(trial_);
            return;
        }
    }
    // Not settled: every loop keeps doubles, every variable is unknown.
    settled_ = false;
}

}  // namespace kvbasic
