// Weighted A* over the planner's grid, with 4 or 8 neighbours. The priority
// of a node is f = g + (h - g) * weight, where h is the Manhattan distance to
// the goal: weight 0 is a uniform-cost search, weight 1 a greedy one.
#pragma once

#include <cstdint>

#include "path/search_stop.h"
#include "support/node_planner/planner.h"

class AStarPlanner : public Planner {
public:
    // Asked every kExpansionsPerStopCheck expansions; true stops the search.
    using AbortCheck = bool (*)();

    explicit AStarPlanner(OpenListKind openListKind = OpenListKind::SortedDeque);

    // Starts the search: the start node is the only open node.
    void initialize() override;
    // Searches until the goal is expanded or nothing is left open: true, and
    // getGoal() is the goal node or null when there is no path. False when
    // the abort check (by default SearchStopRequested: Escape held down)
    // stopped the search.
    bool run() override;

    // Replaces the abort check; null means the search is never aborted.
    void setAbortCheck(AbortCheck check) { abortCheck = check; }

private:
    // Gives node a new predecessor and cost, and the priority that follows.
    void update(Node* node, Node* parent, float g, std::int32_t h) const;

    AbortCheck abortCheck = &SearchStopRequested;
};
