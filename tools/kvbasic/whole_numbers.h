// Where a checked program's numbers are proven whole: the analysis behind
// the loops that count in 64-bit integers.
//
// Every variable gets the range of all values the program ever assigns it
// (0 before the first), found by going over every assignment until nothing
// grows: a variable that keeps growing (n = n + 1) is given up. A FOR loop
// counts in whole numbers when its start and step are proven whole, its
// step has a known sign, its bound has a known range, and neither its body
// nor anything the body calls assigns the counter or a variable of the
// bound or the step: inside that body the counter lies between the start
// and the bound, which is what makes the indices built from it provable.
// The emitter asks for the range of any expression in the loops around it.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "checker.h"
#include "number_range.h"
#include "syntax_tree.h"

namespace kvbasic {

// A variable: (the function whose parameter or LOCAL it is, or -1 for a
// global; its BASIC name, viewed in the parsed program, which outlives
// the analysis).
using VariableKey = std::pair<int, std::string_view>;
struct VariableKeyHash {
    std::size_t operator()(const VariableKey& key) const
    {
        return std::hash<std::string_view>()(key.second) * 31 + static_cast<std::size_t>(key.first + 1);
    }
};
using VariableSet = std::unordered_set<VariableKey, VariableKeyHash>;

// A FOR loop that counts in whole numbers.
struct WholeLoop {
    VariableKey counter;
    NumberRange from, to, step;  // from and step whole; step's sign known
    NumberRange inBody;          // the counter's values while the body runs
    NumberRange after;           // and after the loop
    // The bound is BOUNDS(array, dimension) - margin, and nothing in the
    // body can DIM an array: an index counter + d with d < margin (and not
    // below 0) is in range without a check.
    std::string boundsArray;
    int boundsDimension = -1;
    double boundsMargin = 0;
    // What the body may change: the variables it (or what it calls)
    // assigns, and whether it may DIM an array.
    const VariableSet* assignedInBody = nullptr;
    bool bodyMayDim = true;
};

class WholeNumbers {
public:
    WholeNumbers(const Program& program, const CheckedProgram& checked);

    // The plan of a FOR statement, nullptr when it keeps doubles.
    const WholeLoop* LoopOf(const Statement* forStatement) const;

    // The range of an expression of function `function`, inside the whole
    // loops `around` (innermost last).
    NumberRange RangeOf(const Expr& expr, int function, const std::vector<const WholeLoop*>& around) const;

    // The variable a name means in a function.
    VariableKey KeyOf(int function, const std::string& name) const;

    // The expression has the same value all through the loop: it reads no
    // variable the body or the loop changes, and calls only commands that
    // change nothing (BOUNDS only where nothing in the body can DIM).
    bool IsInvariant(const Expr& expr, int function, const WholeLoop& loop) const;

    // The loop of `around` whose counter this is, or nullptr.
    static const WholeLoop* CounterLoop(const VariableKey& key, const std::vector<const WholeLoop*>& around);

private:
    // What a run of statements may change: the variables it assigns (directly
    // or through the SUBs and FUNCTIONs it calls), and whether it may DIM an
    // array.
    struct Effects {
        VariableSet assigned;
        VariableSet overwritten;  // of those: by READ or by a command, to any value
        std::set<int> calls;                // functions of the program it calls
        bool dims = false;                  // DIM, or an array handed to a command

        // What a call of a function with these effects changes for its caller:
        // its globals, never its own LOCALs.
        bool AddCall(const Effects& callee)
        {
            const std::size_t before = assigned.size() + calls.size();
            const bool dimsBefore = dims;
            for (const VariableKey& key : callee.assigned)
                if (key.first < 0) assigned.insert(key);
            calls.insert(callee.calls.begin(), callee.calls.end());
            dims = dims || callee.dims;
            return assigned.size() + calls.size() != before || dims != dimsBefore;
        }
    };
    void Analyse();
    bool Walk(int function, const std::vector<Node>& body, std::vector<const WholeLoop*>& around);
    bool Assign(const VariableKey& key, const NumberRange& range);
    Effects BodyEffects(int function, const std::vector<Node>& body) const;
    bool PlanLoop(int function, const Node& node, const std::vector<const WholeLoop*>& around, WholeLoop& plan) const;

    const Program& program_;
    const CheckedProgram& checked_;
    struct Fact {
        NumberRange range = NumberRange::Exactly(0);
        int changes = 0;     // rounds in which it grew
        int lastRound = -1;  // the last of them
    };
    std::unordered_map<VariableKey, Fact, VariableKeyHash> facts_;
    std::vector<Effects> callEffects_;  // per function, with what it calls
    std::map<const Statement*, WholeLoop> loops_;
    std::map<const Statement*, WholeLoop> trial_;  // the loops of the walk under way
    mutable std::map<const Statement*, Effects> loopEffects_;  // per FOR: what its body changes
    // The ranges are final: while they are still growing, and when they
    // never settle, a variable's range is not known.
    bool settled_ = true;
    int round_ = 0;  // of the walks over the program
};

}  // namespace kvbasic
