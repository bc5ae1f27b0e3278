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
    const std::int32_t cells = 400;
    std::mt19937 random(2026);
    for (int round = 0; round < 20; ++round) {
        OpenHeapCheck check(cells);
        std::uint64_t number = 0;
        // Key: a priority near the smallest open one (mostly just below or
        // above it, sometimes far above), the insertion number below.
        const auto newKey = [&] {
            const std::int64_t base = static_cast<std::int64_t>(check.smallestKey() >> 20);
            const int spread = std::uniform_int_distribution<int>(0, 9)(random) < 8 ? 24 : 4000;
            std::int64_t priority = base + std::uniform_int_distribution<int>(-8, spread)(random);
            if (priority < 0) priority = 0;
            return static_cast<std::uint64_t>(priority) << 20 | number++;
        };
        for (int step = 0; step < 5000; ++step) {
            const int action = std::uniform_int_distribution<int>(0, 9)(random);
            const std::int32_t c = std::uniform_int_distribution<std::int32_t>(0, cells - 1)(random);
            if (action < 4 && check.size() > 0) {
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
