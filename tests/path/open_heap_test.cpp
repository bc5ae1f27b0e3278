// The flat search's open list on its own: whatever mix of pushes, pops and
// new keys, pop returns the smallest key, and each open cell's place names
// the slot that holds it. The keys crowd near the smallest, as the search's
// do, so the front run fills, overflows into the heap and gives entries up
// to rekeying, from its middle and both its ends.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "path/open_heap.h"

namespace {

class OpenHeapCheck {
public:
    explicit OpenHeapCheck(std::uint32_t cells)
        : keys(cells + OpenHeap::kFrontSlots), slotCells(cells + OpenHeap::kFrontSlots), grid(cells),
          heap(keys.data(), slotCells.data(), grid.data(), cells)
    {
        for (SearchCell& c : grid) c.place = -1;
    }

    void push(std::int32_t c, std::uint64_t k)
    {
        if (grid[c].place >= 0) {
            reference.erase(keyOf.at(c));
            heap.rekey(static_cast<std::uint32_t>(grid[c].place), k);
        } else {
            heap.push(c, k);
        }
        reference[k] = c;
        keyOf[c] = k;
    }

    void popAndCompare()
    {
        ASSERT_FALSE(reference.empty());
        const auto smallest = reference.begin();
        const std::int32_t c = heap.pop();
        ASSERT_EQ(c, smallest->second) << "key " << smallest->first;
        reference.erase(smallest);
        keyOf.erase(c);
        grid[c].place = -2;
    }

    void expectPlacesAgree()
    {
        ASSERT_EQ(heap.size(), reference.size());
        for (const auto& [c, k] : keyOf) {
            const std::int32_t slot = grid[c].place;
            ASSERT_GE(slot, 0) << "cell " << c;
            ASSERT_EQ(slotCells[slot], c) << "slot " << slot;
            ASSERT_EQ(keys[slot], k) << "slot " << slot;
        }
        std::uint32_t slots = 0;
        heap.forEachSlot([&](std::uint32_t slot) {
            ++slots;
            EXPECT_EQ(keyOf.at(slotCells[slot]), keys[slot]);
        });
        ASSERT_EQ(slots, reference.size());
    }

    std::uint64_t smallestKey() const { return reference.empty() ? 1000u << 20 : reference.begin()->first; }
    bool isOpen(std::int32_t c) const { return keyOf.count(c) != 0; }
    std::size_t size() const { return reference.size(); }

private:
    std::vector<std::uint64_t> keys;
    std::vector<std::int32_t> slotCells;
    std::vector<SearchCell> grid;
    OpenHeap heap;
    std::map<std::uint64_t, std::int32_t> reference;  // key -> cell
    std::map<std::int32_t, std::uint64_t> keyOf;
};

TEST(OpenHeap, PopsInKeyOrderAndKeepsPlacesThroughPushesRekeysAndOverflow)
{
    const std::int32_t cells = 600;
    std::mt19937 random(2026);
    for (int round = 0; round < 24; ++round) {
        OpenHeapCheck check(cells);
        std::uint64_t number = 0;
        // Key: a priority below the smallest open one (a new smallest key),
        // a little above it, or far above it; the insertion number below.
        // How far "a little" reaches decides where in the front run new keys
        // land, up to past its end.
        const int near = std::vector<int>{8, 64, 512}[round % 3];
        const auto newKey = [&] {
            const std::int64_t base = static_cast<std::int64_t>(check.smallestKey() >> 20);
            const int kind = std::uniform_int_distribution<int>(0, 2)(random);
            const int reach = kind == 0 ? -1 : kind == 1 ? near : 4000;
            std::int64_t priority = base + std::uniform_int_distribution<int>(kind == 0 ? -8 : 0, reach)(random);
            if (priority < 0) priority = 0;
            return static_cast<std::uint64_t>(priority) << 20 | number++;
        };
        // Pushes outnumber pops by more in some rounds: the front run fills
        // and overflows into the heap.
        const int popShare = 2 + round % 3;  // in ten
        for (int step = 0; step < 6000; ++step) {
            const int action = std::uniform_int_distribution<int>(0, 9)(random);
            const std::int32_t c = std::uniform_int_distribution<std::int32_t>(0, cells - 1)(random);
            if (action < popShare && check.size() > 0) {
                check.popAndCompare();
            } else if (action < 8 || check.isOpen(c)) {
                check.push(c, newKey());  // a new entry, a reopened cell, or a rekey
            }
            if (HasFatalFailure()) return;
            if (step % 97 == 0) check.expectPlacesAgree();
            if (HasFatalFailure()) return;
        }
        check.expectPlacesAgree();
        while (check.size() > 0 && !HasFatalFailure()) check.popAndCompare();
    }
}

}  // namespace
