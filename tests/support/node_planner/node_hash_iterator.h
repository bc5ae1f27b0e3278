// Walks the chains of a NodeHashTable and unlinks nodes from them. It keeps
// the link that points at the current node, so removal needs no second search.
#pragma once

#include <cstdint>

#include "support/node_planner/node.h"
#include "support/node_planner/node_hash_table.h"

class NodeHashIterator {
public:
    void attach(NodeHashTable& table);
    // The first node of the table, or null when it is empty.
    Node* begin();
    // The node after the current one, or null at the end.
    Node* next();
    // The node of cell (x, y), or null. A found node is the current one.
    Node* find(std::int32_t x, std::int32_t y);
    // Unlinks the current node (the one found last) and returns it; the
    // iterator is then on nothing.
    Node* remove();
    // Unlinks the current node and moves on to the node after it, so a walk
    // can remove as it goes. Returns the removed node.
    Node* removeValid();
    // The current node, or null.
    Node* current() const { return link != nullptr ? *link : nullptr; }

private:
    // Moves link to the first non-empty chain from bucket on.
    void settle();

    NodeHashTable* table = nullptr;
    std::uint32_t bucket = 0;
    Node** link = nullptr;  // the pointer that holds the current node
};
