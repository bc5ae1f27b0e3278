// The open list of the flat search: a 4-ary min-heap of cells keyed by a
// 64-bit number (the float priority's bits above, the insertion number
// below), which writes each cell's heap position into the search's per-cell
// place array. Four children side by side make the heap shallower than a
// binary one and keep a node's children in one or two cache lines.
// Everything is inline: the search keeps the heap in a local variable, so
// the compiler can hold its fields in registers.
#pragma once

#include <cstdint>

class OpenHeap {
public:
    OpenHeap(std::uint64_t* keys, std::int32_t* cells, std::int32_t* place)
        : key(keys), cell(cells), position(place)
    {
    }

    std::uint32_t size() const { return count; }

    void push(std::int32_t c, std::uint64_t k)
    {
        const std::uint32_t index = count++;
        siftUp(index, c, k);
    }

    std::int32_t pop()
    {
        const std::int32_t best = cell[0];
        --count;
        if (count > 0) siftDown(0, cell[count], key[count]);
        return best;
    }

    // Gives the entry at index a new key, moving it up or down to its place.
    void rekey(std::uint32_t index, std::uint64_t k)
    {
        const std::int32_t c = cell[index];
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
        position[c] = static_cast<std::int32_t>(index);
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
    std::int32_t* position;
    std::uint32_t count = 0;
};
