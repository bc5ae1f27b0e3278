// The open list of the flat search: a 4-ary min-heap of cells keyed by a
// 64-bit number (the float priority's bits above, the insertion number
// below), with a short sorted run of the smallest entries in front of it.
// It writes each entry's slot into the search's per-cell place array.
//
// Why the front run: the weighted search mostly steps towards the goal, and
// the cells it reaches that way have the smallest priorities of all. Where
// it reopens cells most, seven in ten new keys are the smallest open one,
// and 98 in 100 rank among the 32 smallest. In a heap each of them would
// climb to the top and be sifted out again soon after, a dozen unpredictable
// compares either way. In the front run they are taken from, or put next
// to, its small end; a run of 64 overflows into the heap seldom, and no
// insertion moves more than 32 entries.
//
// The rule that keeps the order exact: every key in the front run is smaller
// than every key in the heap. A new key below the heap's top joins the run;
// when the run is full, its largest key moves to the heap (where it becomes
// the top). pop takes the run's smallest while there is one, else the
// heap's top. Keys are unique (insertion numbers), so "smaller" is strict.
//
// Slots: the heap uses 0 .. count-1 of the key and cell arrays, the front
// run the kFrontSlots slots after capacity, as a ring: slot frontBase +
// (position & mask), its smallest key at position head.
//
// The common steps (a new smallest key, a pop from the run) are inline; the
// rest are calls, which keeps the search loop small enough for the compiler
// to hold the heap's fields and the search's values in registers.
#pragma once

#include <cstdint>

#include "path/search_cell.h"

class OpenHeap {
public:
    // Slots of the front run; the key and cell arrays have this many after
    // the heap's.
    static constexpr std::uint32_t kFrontSlots = 64;

    // keys and cells have room for capacity + kFrontSlots entries; grid has
    // one entry per cell, whose place the heap keeps up to date.
    OpenHeap(std::uint64_t* keys, std::int32_t* cells, SearchCell* grid, std::uint32_t capacity)
        : key(keys), cell(cells), position(grid), frontBase(capacity)
    {
    }

    std::uint32_t size() const { return count + frontCount; }

    // Calls visit(slot) for every slot that holds an entry, in no order.
    template <typename Visit>
    void forEachSlot(Visit visit) const
    {
        for (std::uint32_t i = 0; i < count; ++i) visit(i);
        for (std::uint32_t i = 0; i < frontCount; ++i) visit(frontSlot(head + i));
    }

    void push(std::int32_t c, std::uint64_t k)
    {
        // The common case inline: a new smallest key, room in the run.
        if (frontCount > 0 ? k < key[frontSlot(head)] && frontCount < kFrontSlots : count == 0 || k < key[0]) {
            put(frontSlot(--head), c, k);
            ++frontCount;
            return;
        }
        pushElsewhere(c, k);
    }

    std::int32_t pop()
    {
        if (frontCount > 0) {
            --frontCount;
            return cell[frontSlot(head++)];
        }
        return heapPop();
    }

    // Gives the entry in slot (as the place array says) a new key: it leaves
    // and comes back as a new entry. Rare next to push and pop.
    [[gnu::noinline]] void rekey(std::uint32_t slot, std::uint64_t k)
    {
        const std::int32_t c = cell[slot];
        if (slot >= frontBase)
            frontRemove(slot);
        else
            heapRemove(slot);
        push(c, k);
    }

private:
    static constexpr std::uint32_t kArity = 4;

    [[gnu::noinline]] void pushElsewhere(std::int32_t c, std::uint64_t k)
    {
        if (count == 0 || k < key[0])
            frontInsert(c, k);
        else
            heapPush(c, k);
    }

    [[gnu::noinline]] std::int32_t heapPop()
    {
        const std::int32_t best = cell[0];
        --count;
        if (count > 0) siftDown(0, cell[count], key[count]);
        return best;
    }
    static constexpr std::uint32_t kFrontMask = kFrontSlots - 1;
    static_assert((kFrontSlots & kFrontMask) == 0, "the front run is a ring indexed by a mask");

    std::uint32_t frontSlot(std::uint32_t ringPosition) const { return frontBase + (ringPosition & kFrontMask); }

    void put(std::uint32_t slot, std::int32_t c, std::uint64_t k)
    {
        key[slot] = k;
        cell[slot] = c;
        position[c].place = static_cast<std::int32_t>(slot);
    }

    void move(std::uint32_t from, std::uint32_t to) { put(to, cell[from], key[from]); }

    // k is smaller than every heap key: it belongs in the front run.
    void frontInsert(std::int32_t c, std::uint64_t k)
    {
        // The common case: a new smallest key goes in front of the run.
        if (frontCount == 0 || k < key[frontSlot(head)]) {
            if (frontCount == kFrontSlots) evictLargest();
            put(frontSlot(--head), c, k);
            ++frontCount;
            return;
        }
        // Its rank in the run.
        std::uint32_t rank = 1;
        while (rank < frontCount && key[frontSlot(head + rank)] < k) ++rank;
        if (frontCount == kFrontSlots) {
            if (rank == kFrontSlots) {
                heapPush(c, k);  // the largest of them all
                return;
            }
            evictLargest();
        }
        // Whichever side of it is shorter makes room.
        if (rank * 2 <= frontCount) {
            --head;
            for (std::uint32_t i = 0; i < rank; ++i) move(frontSlot(head + i + 1), frontSlot(head + i));
        } else {
            for (std::uint32_t i = frontCount; i > rank; --i) move(frontSlot(head + i - 1), frontSlot(head + i));
        }
        put(frontSlot(head + rank), c, k);
        ++frontCount;
    }

    void evictLargest()
    {
        const std::uint32_t last = frontSlot(head + frontCount - 1);
        --frontCount;
        heapPush(cell[last], key[last]);
    }

    void frontRemove(std::uint32_t slot)
    {
        // Its rank in the run; the keys before it move one place towards
        // the large end, closing the gap.
        const std::uint32_t rank = (slot - frontBase - head) & kFrontMask;
        for (std::uint32_t i = rank; i > 0; --i) move(frontSlot(head + i - 1), frontSlot(head + i));
        ++head;
        --frontCount;
    }

    void heapRemove(std::uint32_t index)
    {
        --count;
        if (index == count) return;
        const std::int32_t c = cell[count];
        const std::uint64_t k = key[count];
        if (index > 0 && k < key[(index - 1) / kArity])
            siftUp(index, c, k);
        else
            siftDown(index, c, k);
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
            move(up, index);
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
            move(best, index);
            index = best;
        }
        put(index, c, k);
    }

    std::uint64_t* key;
    std::int32_t* cell;
    SearchCell* position;
    std::uint32_t frontBase;  // the first slot of the front run
    std::uint32_t count = 0;  // entries in the heap
    std::uint32_t head = 0;   // ring position of the front run's smallest key
    std::uint32_t frontCount = 0;
};
