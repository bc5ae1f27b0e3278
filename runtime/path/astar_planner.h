// Weighted A* over the planner's grid, with 4 or 8 neighbours. The priority
// of a node is f = g + (h - g) * weight, where h is the Manhattan distance to
// the goal: weight 0 is a uniform-cost search, weight 1 a greedy one.
#pragma once

#include <cstdint>

#include "path/planner.h"

class AStarPlanner : public Planner {
public:
    // Asked every kExpansionsPerAbortCheck expansions; true stops the search.
    using AbortCheck = bool (*)();
    static constexpr std::int32_t kExpansionsPerAbortCheck = 10002;

    explicit AStarPlanner(OpenListKind openListKind = OpenListKind::SortedDeque);

    // Starts the search: the start node is the only open node.
    void initialize() override;
    // Searches until the goal is expanded or nothing is left open: true, and
    // getGoal() is the goal node or null when there is no path. False when
    // the abort check (by default: Escape held down) stopped the search.
    bool run() override;

    // Replaces the abort check; null means the search is never aborted.
    void setAbortCheck(AbortCheck check) { abortCheck = check; }

    // The true state of the Escape key, the default abort check.
    static bool EscapeKeyDown();

private:
    // Gives node a new predecessor and cost, and the priority that follows.
    void update(Node* node, Node* parent, float g, std::int32_t h) const;

    AbortCheck abortCheck = &AStarPlanner::EscapeKeyDown;
};
