// The base of the node planners, the reference that FINDPATH's flat search
// (path/grid_search.h) is tested and measured against: it turns the caller's
// grid of cell costs into normalised costs and owns the search structures
// (node pool, open list, closed set). A derived planner supplies the search
// itself.
#pragma once

#include <cstdint>
#include <memory>

#include "path/path_request.h"
#include "support/node_planner/node.h"
#include "support/node_planner/node_factory.h"
#include "support/node_planner/node_hash_table.h"
#include "support/node_planner/open_list.h"

class Planner {
public:
    // A search request, the one FINDPATH makes.
    using Description = PathRequest;

    // The cost of an impassable cell in the normalised map.
    static constexpr float kWall = -1.0f;

    explicit Planner(OpenListKind openListKind = OpenListKind::SortedDeque);
    Planner(const Planner&) = delete;
    Planner& operator=(const Planner&) = delete;
    virtual ~Planner();

    // Starts a new search on the loaded map: every node goes back to the pool.
    virtual void initialize();
    // Searches; false when the search was aborted.
    virtual bool run() = 0;
    // Gives every node back to the pool and forgets the path.
    virtual void cleanup();

    // Loads the request: normalised costs, node pool, open list and closed
    // table. False, with nothing changed, for a start or goal outside the
    // grid or equal to each other; false with no map loaded when the memory
    // for the structures is not there.
    bool createMap(const Description& request);
    void unloadMap();

    bool isLoaded() const { return costMap != nullptr; }
    bool isDone() const { return done; }
    std::int32_t getNumSlices() const { return numSlices; }
    const Description& getDescription() const { return desc; }
    // The normalised cost of cell (x, y) at [x + width * y]; kWall for walls.
    const float* getMap() const { return costMap.get(); }
    // The goal node of the found path, or null.
    const Node* getGoal() const { return path; }
    // g of the goal node, or -1 without a path.
    float getPathCost() const;
    std::int32_t getPathSize() const;
    std::uint32_t getOpenSize() const;
    std::uint32_t getClosedSize() const;

    // Each writes value into a width x height grid, at y * width + x, for
    // every cell on the path, in the open list or in the closed set. False
    // when grid is null.
    bool fillPath(int* grid, int value) const;
    bool fillOpen(int* grid, int value) const;
    bool fillClosed(int* grid, int value);

protected:
    // Puts every node of the open list and the closed set back into the pool.
    void releaseAllNodes();

    bool done = true;  // the last search finished; cleared by initialize
    NodeFactory factory;
    Description desc{};
    std::unique_ptr<float[]> costMap;  // normalised cost per cell
    std::int32_t numSlices = 0;        // run calls since initialize
    std::unique_ptr<OpenList> open;
    NodeHashTable closed;
    Node* path = nullptr;  // goal node of the found path
};
