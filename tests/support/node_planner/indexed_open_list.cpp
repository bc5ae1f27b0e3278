#include "support/node_planner/indexed_open_list.h"

#include <cstdint>
#include <new>

bool IndexedOpenList::allocate(std::uint32_t newCapacity, std::int32_t newWidth, std::int32_t newHeight)
{
    heap.reset();
    position.reset();
    capacity = count = 0;
    width = height = 0;
    nextOrder = 0;
    foundIndex = -1;
    if (newWidth <= 0 || newHeight <= 0) return newCapacity == 0;

    // Heap positions are int32, so the capacity must fit one.
    if (newCapacity > 0x7FFFFFFFu) return false;
    const std::uint64_t cells = static_cast<std::uint64_t>(newWidth) * static_cast<std::uint64_t>(newHeight);
    if (cells > SIZE_MAX / sizeof(std::int32_t)) return false;
    heap.reset(new (std::nothrow) Entry[newCapacity]);
    position.reset(new (std::nothrow) std::int32_t[cells]);
    if ((newCapacity > 0 && heap == nullptr) || position == nullptr) {
        heap.reset();
        position.reset();
        return false;
    }
    for (std::uint64_t i = 0; i < cells; ++i) position[i] = kAbsent;
    capacity = newCapacity;
    width = newWidth;
    height = newHeight;
    return true;
}

std::int64_t IndexedOpenList::cellOf(std::int32_t x, std::int32_t y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) return -1;
    return static_cast<std::int64_t>(x) + static_cast<std::int64_t>(width) * y;
}

void IndexedOpenList::place(std::uint32_t index, const Entry& entry)
{
    heap[index] = entry;
    position[cellOf(entry.node->x, entry.node->y)] = static_cast<std::int32_t>(index);
}

void IndexedOpenList::siftUp(std::uint32_t index)
{
    const Entry moving = heap[index];
    while (index > 0) {
        const std::uint32_t parent = (index - 1) / 2;
        if (!before(moving, heap[parent])) break;
        place(index, heap[parent]);
        index = parent;
    }
    place(index, moving);
}

void IndexedOpenList::siftDown(std::uint32_t index)
{
    const Entry moving = heap[index];
    for (;;) {
        std::uint32_t child = 2 * index + 1;
        if (child >= count) break;
        if (child + 1 < count && before(heap[child + 1], heap[child])) ++child;
        if (!before(heap[child], moving)) break;
        place(index, heap[child]);
        index = child;
    }
    place(index, moving);
}

bool IndexedOpenList::insert(Node* node)
{
    foundIndex = -1;
    const std::int64_t cell = cellOf(node->x, node->y);
    // One node per cell, inside the grid: anything else would corrupt the index.
    if (count >= capacity || cell < 0 || position[cell] != kAbsent) return false;
    heap[count] = Entry{node->f, nextOrder++, node};
    ++count;
    siftUp(count - 1);
    return true;
}

void IndexedOpenList::removeAt(std::uint32_t index)
{
    Node* leaving = heap[index].node;
    --count;
    if (index != count) {
        heap[index] = heap[count];
        // The moved entry may belong above or below its new place.
        if (index > 0 && before(heap[index], heap[(index - 1) / 2]))
            siftUp(index);
        else
            siftDown(index);
    }
    position[cellOf(leaving->x, leaving->y)] = kAbsent;
}

Node* IndexedOpenList::popBest()
{
    foundIndex = -1;
    if (count == 0) return nullptr;
    Node* best = heap[0].node;
    removeAt(0);
    return best;
}

Node* IndexedOpenList::find(std::int32_t x, std::int32_t y)
{
    const std::int64_t cell = cellOf(x, y);
    foundIndex = cell < 0 ? kAbsent : position[cell];
    return foundIndex == kAbsent ? nullptr : heap[foundIndex].node;
}

void IndexedOpenList::removeFound()
{
    if (foundIndex == kAbsent) return;
    removeAt(static_cast<std::uint32_t>(foundIndex));
    foundIndex = -1;
}

void IndexedOpenList::clear()
{
    for (std::uint32_t i = 0; i < count; ++i)
        position[cellOf(heap[i].node->x, heap[i].node->y)] = kAbsent;
    count = 0;
    foundIndex = -1;
}
