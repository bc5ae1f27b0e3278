// The open list as a ring buffer sorted by f, largest at the front, so the
// next node to expand is always at the back. Insertion binary-searches its
// place; finding a cell scans from the back. Simple and exact, but each
// search step costs time in proportion to the number of open nodes.
#pragma once

#include "support/node_planner/fixed_deque.h"
#include "support/node_planner/open_list.h"

class SortedOpenList final : public OpenList {
public:
    bool allocate(std::uint32_t capacity, std::int32_t width, std::int32_t height) override;
    bool insert(Node* node) override;
    Node* popBest() override;
    Node* find(std::int32_t x, std::int32_t y) override;
    void removeFound() override;
    std::uint32_t size() const override { return nodes.size(); }
    Node* at(std::uint32_t i) const override { return nodes[i]; }
    void clear() override { nodes.clear(); }

private:
    FixedDeque<Node*> nodes;
    std::uint32_t foundIndex = 0;
    bool haveFound = false;
};
