// The closed set of the planner: nodes chained into buckets by the low bits
// of their cell coordinates, so that neighbouring cells land in different
// buckets.
#pragma once

#include <cstdint>

#include "support/node_planner/node.h"

class NodeFactory;

class NodeHashTable {
public:
    NodeHashTable();
    NodeHashTable(const NodeHashTable&) = delete;
    NodeHashTable& operator=(const NodeHashTable&) = delete;
    ~NodeHashTable();

    // Makes 2^bits empty buckets. bits above 24 become 24 and an odd value
    // is rounded down, so x and y get the same number of bits. False when the
    // memory is not there (the table keeps a single bucket).
    bool create(std::uint32_t bits);
    // Pushes node on the front of its bucket's chain.
    void add(Node* node);
    std::uint32_t hash(std::int32_t x, std::int32_t y) const;
    // Number of chained nodes.
    std::uint32_t size() const;
    // Clears every bucket; the nodes stay where they are.
    void empty();
    // Gives every chained node back to the factory, then clears the buckets.
    void releaseAll(NodeFactory& factory);

    std::uint32_t bucketCount() const { return 1u << bits; }

private:
    friend class NodeHashIterator;

    Node** buckets;  // heads of the chains through Node::hashNext
    std::uint32_t bits = 0;
    Node* singleBucket = nullptr;  // the one bucket of a table without bits
};
