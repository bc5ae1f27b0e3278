#include <gtest/gtest.h>

#include <set>

#include "support/node_planner/node_factory.h"
#include "support/node_planner/node_hash_iterator.h"
#include "support/node_planner/node_hash_table.h"

namespace {

TEST(NodeFactory, HandsOutEveryNodeOnceAndTakesThemBack)
{
    NodeFactory factory;
    EXPECT_FALSE(factory.allocate(0));
    ASSERT_TRUE(factory.allocate(3));
    std::set<Node*> seen;
    for (int i = 0; i < 3; ++i) {
        Node* node = factory.fetch();
        ASSERT_NE(node, nullptr);
        seen.insert(node);
    }
    EXPECT_EQ(seen.size(), 3u);
    EXPECT_EQ(factory.fetch(), nullptr);

    Node* returned = *seen.begin();
    factory.release(returned);
    EXPECT_EQ(factory.fetch(), returned);
    factory.release(nullptr);  // ignored
    EXPECT_EQ(factory.fetch(), nullptr);
}

TEST(NodeFactory, SurplusReleasesAreIgnored)
{
    NodeFactory factory;
    ASSERT_TRUE(factory.allocate(1));
    Node* only = factory.fetch();
    factory.release(only);
    Node stranger{};
    factory.release(&stranger);  // next is already 0
    EXPECT_EQ(factory.fetch(), only);
}

TEST(NodeFactory, AllocateReplacesThePool)
{
    NodeFactory factory;
    ASSERT_TRUE(factory.allocate(1));
    factory.fetch();
    ASSERT_TRUE(factory.allocate(2));
    EXPECT_NE(factory.fetch(), nullptr);
    EXPECT_NE(factory.fetch(), nullptr);
    EXPECT_EQ(factory.fetch(), nullptr);
}

Node MakeNode(int x, int y)
{
    Node node{};
    node.x = x;
    node.y = y;
    return node;
}

TEST(NodeHashTable, HashTakesTheLowBitsOfXAndY)
{
    NodeHashTable table;
    EXPECT_EQ(table.bucketCount(), 1u);
    EXPECT_EQ(table.hash(300, 7), 0u);
    ASSERT_TRUE(table.create(16));
    EXPECT_EQ(table.bucketCount(), 65536u);
    EXPECT_EQ(table.hash(0x1234, 0x56), 0x34u + 256u * 0x56u);
    EXPECT_EQ(table.hash(256, 256), 0u);
    ASSERT_TRUE(table.create(7));  // odd: rounded down to 6
    EXPECT_EQ(table.bucketCount(), 64u);
    EXPECT_EQ(table.hash(9, 10), (9u & 7u) | ((10u & 7u) << 3));
    ASSERT_TRUE(table.create(31));  // above 24: 24
    EXPECT_EQ(table.bucketCount(), 1u << 24);
}

TEST(NodeHashTable, FindRemoveAndIterateOverCollidingChains)
{
    NodeHashTable table;
    ASSERT_TRUE(table.create(2));  // 4 buckets: x and y keep one bit each
    Node a = MakeNode(0, 0), b = MakeNode(2, 0), c = MakeNode(1, 1), d = MakeNode(4, 2);
    for (Node* node : {&a, &b, &c, &d}) table.add(node);
    EXPECT_EQ(table.size(), 4u);

    NodeHashIterator it;
    it.attach(table);
    EXPECT_EQ(it.find(2, 0), &b);
    EXPECT_EQ(it.find(4, 2), &d);
    EXPECT_EQ(it.find(3, 3), nullptr);
    EXPECT_EQ(it.remove(), nullptr);  // nothing found last

    ASSERT_EQ(it.find(2, 0), &b);  // in the middle of the chain d, b, a
    EXPECT_EQ(it.remove(), &b);
    EXPECT_EQ(table.size(), 3u);
    EXPECT_EQ(it.find(2, 0), nullptr);
    EXPECT_EQ(it.find(0, 0), &a);
    EXPECT_EQ(it.find(4, 2), &d);

    std::set<Node*> walked;
    for (Node* node = it.begin(); node != nullptr; node = it.next()) walked.insert(node);
    EXPECT_EQ(walked, (std::set<Node*>{&a, &c, &d}));
}

TEST(NodeHashTable, RemoveValidEmptiesTheTableInOneWalk)
{
    NodeHashTable table;
    ASSERT_TRUE(table.create(2));
    Node a = MakeNode(0, 0), b = MakeNode(2, 0), c = MakeNode(1, 1), d = MakeNode(0, 1);
    for (Node* node : {&a, &b, &c, &d}) table.add(node);
    NodeHashIterator it;
    it.attach(table);
    std::set<Node*> removed;
    it.begin();
    while (Node* node = it.removeValid()) removed.insert(node);
    EXPECT_EQ(removed.size(), 4u);
    EXPECT_EQ(table.size(), 0u);
}

TEST(NodeHashTable, ReleaseAllGivesEveryNodeBackToThePool)
{
    NodeFactory factory;
    ASSERT_TRUE(factory.allocate(5));
    NodeHashTable table;
    ASSERT_TRUE(table.create(4));
    for (int i = 0; i < 5; ++i) {
        Node* node = factory.fetch();
        node->x = i;
        node->y = i % 2;
        table.add(node);
    }
    EXPECT_EQ(factory.fetch(), nullptr);
    table.releaseAll(factory);
    EXPECT_EQ(table.size(), 0u);
    for (int i = 0; i < 5; ++i) EXPECT_NE(factory.fetch(), nullptr);
}

TEST(NodeHashTable, EmptyForgetsTheNodesWithoutReleasingThem)
{
    NodeHashTable table;
    ASSERT_TRUE(table.create(16));
    Node a = MakeNode(3, 4);
    table.add(&a);
    table.empty();
    EXPECT_EQ(table.size(), 0u);
    NodeHashIterator it;
    it.attach(table);
    EXPECT_EQ(it.find(3, 4), nullptr);
    EXPECT_EQ(it.begin(), nullptr);
}

}  // namespace
