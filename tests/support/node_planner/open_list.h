// The open list of the search: the nodes waiting to be expanded. Whatever
// the structure behind it, the order is the same: the node with the smallest
// f comes first, and among nodes of equal f the one inserted first. A node
// whose priority changes is removed and inserted again, so it counts as new.
#pragma once

#include <cstdint>

#include "support/node_planner/node.h"

class OpenList {
public:
    virtual ~OpenList() = default;

    // Empties the list and makes room for capacity nodes of a width x height
    // grid. False when the memory is not there.
    virtual bool allocate(std::uint32_t capacity, std::int32_t width, std::int32_t height) = 0;
    // Inserts node in order. False when the list is full.
    virtual bool insert(Node* node) = 0;
    // Takes out the node that comes first, or returns null when empty.
    virtual Node* popBest() = 0;
    // The node of cell (x, y), or null. A found node can then be removed.
    virtual Node* find(std::int32_t x, std::int32_t y) = 0;
    // Removes the node that find returned last.
    virtual void removeFound() = 0;
    virtual std::uint32_t size() const = 0;
    // The node at position i, 0 <= i < size(), in no particular order.
    virtual Node* at(std::uint32_t i) const = 0;
    virtual void clear() = 0;

    bool isEmpty() const { return size() == 0; }
};

// Which structure keeps the open list of a planner.
enum class OpenListKind {
    SortedDeque,  // a sorted ring buffer scanned for duplicates: simple, quadratic
    IndexedHeap,  // a binary heap with a per-cell index: n log n, same order
};
