#include "support/node_planner/node_hash_table.h"

#include <new>

#include "support/node_planner/node_factory.h"

NodeHashTable::NodeHashTable()
    : buckets(&singleBucket)
{
}

NodeHashTable::~NodeHashTable()
{
    if (buckets != &singleBucket) delete[] buckets;
}

bool NodeHashTable::create(std::uint32_t wantedBits)
{
    if (wantedBits > 24) wantedBits = 24;
    wantedBits &= ~1u;
    if (buckets != &singleBucket) delete[] buckets;
    buckets = &singleBucket;
    bits = 0;
    singleBucket = nullptr;
    if (wantedBits == 0) return true;

    Node** fresh = new (std::nothrow) Node*[std::size_t{1} << wantedBits]();
    if (fresh == nullptr) return false;
    buckets = fresh;
    bits = wantedBits;
    return true;
}

std::uint32_t NodeHashTable::hash(std::int32_t x, std::int32_t y) const
{
    const std::uint32_t shift = bits / 2;
    const std::uint32_t mask = (1u << shift) - 1;
    return (static_cast<std::uint32_t>(x) & mask) | ((static_cast<std::uint32_t>(y) & mask) << shift);
}

void NodeHashTable::add(Node* node)
{
    Node*& head = buckets[hash(node->x, node->y)];
    node->hashNext = head;
    head = node;
}

std::uint32_t NodeHashTable::size() const
{
    std::uint32_t count = 0;
    for (std::uint32_t b = 0; b < bucketCount(); ++b)
        for (const Node* node = buckets[b]; node != nullptr; node = node->hashNext) ++count;
    return count;
}

void NodeHashTable::empty()
{
    for (std::uint32_t b = 0; b < bucketCount(); ++b) buckets[b] = nullptr;
}

void NodeHashTable::releaseAll(NodeFactory& factory)
{
    for (std::uint32_t b = 0; b < bucketCount(); ++b) {
        Node* node = buckets[b];
        while (node != nullptr) {
            Node* following = node->hashNext;
            factory.release(node);
            node = following;
        }
        buckets[b] = nullptr;
    }
}
