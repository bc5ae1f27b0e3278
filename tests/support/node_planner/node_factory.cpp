#include "support/node_planner/node_factory.h"

#include <new>

NodeFactory::~NodeFactory()
{
    destroy();
}

void NodeFactory::destroy()
{
    delete[] nodes;
    delete[] storage;
    nodes = nullptr;
    storage = nullptr;
    count = 0;
    next = 0;
}

bool NodeFactory::allocate(std::uint32_t wanted)
{
    if (wanted == 0) return false;
    destroy();
    // The pool is counted in int32, as are the grid cells it serves.
    if (wanted > 0x7FFFFFFFu) return false;
    // All nodes live in one block: a million separate allocations would
    // cost more than the search they serve.
    storage = new (std::nothrow) Node[wanted];
    nodes = new (std::nothrow) Node*[wanted];
    if (storage == nullptr || nodes == nullptr) {
        destroy();
        return false;
    }
    count = static_cast<std::int32_t>(wanted);
    for (std::int32_t i = 0; i < count; ++i) nodes[i] = &storage[i];
    next = 0;
    return true;
}

Node* NodeFactory::fetch()
{
    if (next >= count) return nullptr;
    return nodes[next++];
}

void NodeFactory::release(Node* node)
{
    if (node == nullptr || next <= 0) return;
    nodes[--next] = node;
}
