// The open list of the flat search: a 4-ary min-heap of cells keyed by a
// 64-bit number (the float priority's bits above, the insertion number
// below), which writes each cell's heap position into the search's per-cell
// place array. Four children side by side make the heap shallower than a
// binary one and keep a node's children in one or two cache lines.
//
// In front of the heap sits one slot for an entry smaller than everything in
// the heap. The weighted search mostly steps towards the goal, and the cell
// it steps to has the smallest priority of all: that cell waits in the
// front slot and is taken from there, instead of climbing to the top of the
// heap and being sifted out again. The front slot is the last entry of the
// arrays, free whenever it is in use (the heap then holds one cell less
// than the grid has).
//
// Everything is inline: the search keeps the heap in a local variable, so
// the compiler can hold its fields in registers.
#pragma once

#include <cstdint>

#include "path/search_cell.h"

class OpenHeap {
public:
    // keys and cells have room for capacity entries; grid has one entry per
    // cell, whose place the heap keeps up to date.
    OpenHeap(std::uint64_t* keys, std::int32_t* cells, SearchCell* grid, std::uint32_t capacity)
        : key(keys), cell(cells), position(grid), front(capacity - 1)
    {
    }

    std::uint32_t size() const { return count + (hasFront ? 1u : 0u); }
    // Where the front entry's key is kept, or -1 when there is none.
    std::int64_t frontIndex() const { return hasFront ? static_cast<std::int64_t>(front) : -1; }
    std::uint32_t heapCount() const { return count; }

    void push(std::int32_t c, std::uint64_t k)
    {
        if (!hasFront) {
            if (count == 0 || k < key[0])
                setFront(c, k);
            else
                heapPush(c, k);
        } else if (k < key[front]) {
            heapPush(cell[front], key[front]);
            setFront(c, k);
        } else {
            heapPush(c, k);
        }
    }

    std::int32_t pop()
    {
        if (hasFront) {
            hasFront = false;
            return cell[front];
        }
        const std::int32_t best = cell[0];
        --count;
        if (count > 0) siftDown(0, cell[count], key[count]);
        return best;
    }

    // Gives the entry at index (a heap index or the front slot, as the place
    // array says) a new key.
    void rekey(std::uint32_t index, std::uint64_t k)
    {
        if (hasFront && index == front) {
            hasFront = false;
            push(cell[front], k);
            return;
        }
        std::int32_t c = cell[index];
        if (hasFront && k < key[front]) {
            // It overtakes the front entry: they trade places.
            const std::int32_t displaced = cell[front];
            const std::uint64_t displacedKey = key[front];
            setFront(c, k);
            c = displaced;
            k = displacedKey;
        }
        if (index > 0 && k < key[(index - 1) / kArity])
            siftUp(index, c, k);
        else
            siftDown(index, c, k);
    }

private:
    static constexpr std::uint32_t kArity = 4;

    void put(std::uint32_t index, std::int32_t c, std::uint64_t k)
    {
        key[index] = k;
        cell[index] = c;
        position[c].place = static_cast<std::int32_t>(index);
    }

    void setFront(std::int32_t c, std::uint64_t k)
    {
        put(front, c, k);
        hasFront = true;
    }

    void heapPush(std::int32_t c, std::uint64_t k)
    {
        const std::uint32_t index = count++;
        siftUp(index, c, k);
    }

    // Moves the hole at index up until (c, k) fits there.
    void siftUp(std::uint32_t index, std::int32_t c, std::uint64_t k)
    {
        while (index > 0) {
            const std::uint32_t up = (index - 1) / kArity;
            if (key[up] <= k) break;
            put(index, cell[up], key[up]);
            index = up;
        }
        put(index, c, k);
    }

    // Moves the hole at index down until (c, k) fits there.
    void siftDown(std::uint32_t index, std::int32_t c, std::uint64_t k)
    {
        for (;;) {
            const std::uint32_t first = index * kArity + 1;
            if (first >= count) break;
            std::uint32_t best = first;
            const std::uint32_t end = first + kArity < count ? first + kArity : count;
            for (std::uint32_t child = first + 1; child < end; ++child)
                if (key[child] < key[best]) best = child;
            if (key[best] >= k) break;
            put(index, cell[best], key[best]);
            index = best;
        }
        put(index, c, k);
    }

    std::uint64_t* key;
    std::int32_t* cell;
    SearchCell* position;
    std::uint32_t front;  // the front slot's index
    std::uint32_t count = 0;
    bool hasFront = false;
};
