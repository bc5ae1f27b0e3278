// A pool of preallocated search nodes, handed out and taken back by index,
// so a search allocates nothing once it has started.
#pragma once

#include <cstdint>

#include "support/node_planner/node.h"

class NodeFactory {
public:
    NodeFactory() = default;
    NodeFactory(const NodeFactory&) = delete;
    NodeFactory& operator=(const NodeFactory&) = delete;
    virtual ~NodeFactory();

    // Replaces the pool by count fresh nodes. False for count 0 or when the
    // memory is not there (the pool is then empty).
    bool allocate(std::uint32_t count);
    // The next free node, or null when all are handed out.
    Node* fetch();
    // Takes a node back; null and surplus releases are ignored.
    void release(Node* node);

    std::int32_t capacity() const { return count; }
    std::int32_t inUse() const { return next; }

private:
    void destroy();

    std::int32_t count = 0;   // number of pooled nodes
    Node** nodes = nullptr;   // the free list: nodes[next..count-1] are free
    std::int32_t next = 0;    // index of the next free node
    Node* storage = nullptr;  // one block holding every node of the pool
};
