#include "support/node_planner/node_hash_iterator.h"

void NodeHashIterator::attach(NodeHashTable& attached)
{
    table = &attached;
    bucket = 0;
    link = nullptr;
}

void NodeHashIterator::settle()
{
    while (bucket < table->bucketCount()) {
        link = &table->buckets[bucket];
        if (*link != nullptr) return;
        ++bucket;
    }
    link = nullptr;
}

Node* NodeHashIterator::begin()
{
    if (table == nullptr) return nullptr;
    bucket = 0;
    settle();
    return current();
}

Node* NodeHashIterator::next()
{
    Node* node = current();
    if (node == nullptr) return nullptr;
    link = &node->hashNext;
    if (*link == nullptr) {
        ++bucket;
        settle();
    }
    return current();
}

Node* NodeHashIterator::find(std::int32_t x, std::int32_t y)
{
    link = nullptr;
    if (table == nullptr) return nullptr;
    bucket = table->hash(x, y);
    Node** candidate = &table->buckets[bucket];
    while (*candidate != nullptr) {
        if ((*candidate)->x == x && (*candidate)->y == y) {
            link = candidate;
            return *candidate;
        }
        candidate = &(*candidate)->hashNext;
    }
    return nullptr;
}

Node* NodeHashIterator::remove()
{
    Node* node = current();
    if (node == nullptr) return nullptr;
    *link = node->hashNext;
    node->hashNext = nullptr;
    link = nullptr;
    return node;
}

Node* NodeHashIterator::removeValid()
{
    Node* node = current();
    if (node == nullptr) return nullptr;
    *link = node->hashNext;
    node->hashNext = nullptr;
    // link now holds the node that followed; if the chain ended there, the
    // walk goes on with the next non-empty bucket.
    if (*link == nullptr) {
        ++bucket;
        settle();
    }
    return node;
}
