#include "support/node_planner/sorted_open_list.h"

bool SortedOpenList::allocate(std::uint32_t capacity, std::int32_t, std::int32_t)
{
    haveFound = false;
    return nodes.allocate(capacity);
}

bool SortedOpenList::insert(Node* node)
{
    haveFound = false;
    // The first position whose f is not above node's: node goes in front of
    // every node of equal f, so those, inserted earlier, leave first.
    std::uint32_t lo = 0;
    std::uint32_t hi = nodes.size();
    while (lo < hi) {
        const std::uint32_t mid = (lo + hi) / 2;
        if (nodes[mid]->f > node->f)
            lo = mid + 1;
        else
            hi = mid;
    }
    return nodes.insert(lo, node);
}

Node* SortedOpenList::popBest()
{
    haveFound = false;
    if (nodes.isEmpty()) return nullptr;
    Node* best = nodes.back();
    nodes.popBack();
    return best;
}

Node* SortedOpenList::find(std::int32_t x, std::int32_t y)
{
    haveFound = false;
    for (std::uint32_t i = nodes.size(); i-- > 0;) {
        if (nodes[i]->x == x && nodes[i]->y == y) {
            foundIndex = i;
            haveFound = true;
            return nodes[i];
        }
    }
    return nullptr;
}

void SortedOpenList::removeFound()
{
    if (!haveFound) return;
    nodes.remove(foundIndex);
    haveFound = false;
}
