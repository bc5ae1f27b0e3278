// The weighted A* of FINDPATH, kept in flat per-cell arrays. It expands
// cells in exactly the order of the node planner (AStarPlanner with its
// sorted open list, kept beside the tests as their reference), and so finds
// the same path, but looks a cell up by its index instead of through
// the closed table and the open-list scan, and allocates no nodes:
//   - per cell (SearchCell): normalised cost, g, parent cell, and the cell's
//     place (unseen, closed, or its position in the open heap);
//   - the open list (OpenHeap): a heap keyed by (f, insertion number), the
//     ordering of the sorted list, where a node whose priority changes counts
//     as newly inserted, with a short sorted run of its smallest keys in
//     front.
// Everything lives in one block, allocated when the map size changes and
// reused by the next search of the same size; the per-cell state is set up
// in the same pass that normalises the costs, so each cell is touched once.
#pragma once

#include <cstdint>
#include <memory>

#include "path/open_heap.h"
#include "path/path_request.h"
#include "path/search_cell.h"

class GridSearch {
public:
    using AbortCheck = bool (*)();

    // Insertion numbers are 32-bit; when they run out the open heap is
    // renumbered in order. Tests pass a small limit to exercise that.
    explicit GridSearch(std::uint32_t insertionNumberLimit = 0xFFFFFFFFu);
    GridSearch(const GridSearch&) = delete;
    GridSearch& operator=(const GridSearch&) = delete;

    // Loads a request with the node planner's rules (ends inside the
    // grid and different, costs normalised to (0, 1], walls -1). The node
    // and open capacities and the hash size do not apply: every cell has its
    // slot. False, with no map loaded, for a bad request or without memory.
    bool load(const PathRequest& request);

    // Whether a chain of passable neighbours leads from start to goal: a
    // flood fill. run calls it itself once a search has expanded a quarter
    // as many cells as the map has, and stops with no path when the goal
    // cannot be reached; the answer is the same as the full search's, found
    // sooner.
    bool goalReachable();

    // Searches from the start of the loaded map. True when finished (with or
    // without a path); false when the abort check stopped it.
    bool run();

    // Asked every kExpansionsPerStopCheck expansions; null means never. The
    // default is SearchStopRequested (Escape held down).
    void setAbortCheck(AbortCheck check) { abortCheck = check; }

    // Whether run may stop early with no path once a flood fill shows the
    // goal cannot be reached (the default). Off, the search runs to its end
    // and leaves the open and closed cells exactly as the planner would.
    void setStopWhenUnreachable(bool stop) { stopWhenUnreachable = stop; }

    bool isLoaded() const { return cellCount != 0; }
    // Cells on the found path, 0 without one.
    std::int32_t getPathSize() const;
    // Cost of the found path, -1 without one.
    float getPathCost() const;
    // Calls visit(x, y) for each path cell from the goal back to the start.
    template <typename Visit>
    void forEachPathCellFromGoal(Visit visit) const
    {
        std::int32_t count = 0;
        for (std::int32_t cell = goalCell; cell >= 0 && count < cellCount; cell = grid[cell].parent, ++count)
            visit(cell % desc.width, cell / desc.width);
    }
    // Expansions of the last run, re-expansions of reopened cells included.
    std::uint64_t getExpansions() const { return expansions; }
    // Bytes held per cell of the loaded map, and once per map beside them.
    static constexpr std::size_t kBytesPerCell = sizeof(SearchCell) + 8 + 4 + 4 + 1;
    static constexpr std::size_t kBytesPerMap = OpenHeap::kFrontSlots * (8 + 4);

    // Marks of the per-cell state, for the fill functions below: 1 open,
    // 2 closed, 0 never reached. Index x + width * y.
    void fillStates(int* states) const;

private:
    // Place of a cell that is not in the open heap.
    static constexpr std::int32_t kUnseen = -1;
    static constexpr std::int32_t kClosed = -2;

    bool reserve(std::size_t cells);
    // The heap key of priority f: its bits above, the next insertion number
    // below, so equal priorities leave in the order they came.
    std::uint64_t keyOf(float f, const OpenHeap& open);
    void renumber(const OpenHeap& open);
    // The search loop of run, with or without the diagonal neighbours.
    template <bool kDiagonals>
    bool search();

    PathRequest desc{};
    std::int32_t cellCount = 0;
    bool placesClear = false;  // every cell unseen: no run since the load

    // The block and its per-cell arrays.
    std::unique_ptr<unsigned char[]> block;
    std::size_t blockCells = 0;
    SearchCell* grid = nullptr;          // place: heap position, kUnseen or kClosed
    std::uint64_t* heapKey = nullptr;    // f bits above, insertion number below; per heap slot
    std::int32_t* heapCell = nullptr;    // the cell in each heap slot
    std::int32_t* floodQueue = nullptr;  // the flood fill's, touched only when it runs
    unsigned char* floodSeen = nullptr;

    std::uint32_t nextNumber = 0;
    std::uint32_t numberLimit;
    std::int32_t goalCell = -1;
    std::uint64_t expansions = 0;
    AbortCheck abortCheck;
    bool stopWhenUnreachable = true;
};
