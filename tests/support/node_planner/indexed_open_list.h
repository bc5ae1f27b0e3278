// The open list as a binary min-heap keyed by (f, insertion number), with a
// per-cell table of heap positions. It hands out nodes in exactly the order
// of the sorted list (smallest f first, the earliest inserted among equal f)
// but inserts, removes and finds in logarithmic or constant time, so large
// grids search in n log n instead of quadratic time.
#pragma once

#include <cstdint>
#include <memory>

#include "support/node_planner/open_list.h"

class IndexedOpenList final : public OpenList {
public:
    bool allocate(std::uint32_t capacity, std::int32_t width, std::int32_t height) override;
    bool insert(Node* node) override;
    Node* popBest() override;
    Node* find(std::int32_t x, std::int32_t y) override;
    void removeFound() override;
    std::uint32_t size() const override { return count; }
    Node* at(std::uint32_t i) const override { return heap[i].node; }
    void clear() override;

private:
    struct Entry {
        float f;
        std::uint64_t order;  // insertion number: breaks ties of f, first in first out
        Node* node;
    };

    static bool before(const Entry& a, const Entry& b)
    {
        return a.f < b.f || (a.f == b.f && a.order < b.order);
    }
    std::int64_t cellOf(std::int32_t x, std::int32_t y) const;
    void place(std::uint32_t index, const Entry& entry);
    void siftUp(std::uint32_t index);
    void siftDown(std::uint32_t index);
    void removeAt(std::uint32_t index);

    std::unique_ptr<Entry[]> heap;
    std::uint32_t capacity = 0;
    std::uint32_t count = 0;
    std::uint64_t nextOrder = 0;
    // Heap position of each cell's node, or kAbsent. Indexed x + width * y.
    std::unique_ptr<std::int32_t[]> position;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t foundIndex = -1;

    static constexpr std::int32_t kAbsent = -1;
};
