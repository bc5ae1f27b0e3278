#include <gtest/gtest.h>

#include <vector>

#include "support/node_planner/fixed_deque.h"

namespace {

std::vector<int> Contents(const FixedDeque<int>& deque)
{
    std::vector<int> values;
    for (std::uint32_t i = 0; i < deque.size(); ++i) values.push_back(deque[i]);
    return values;
}

TEST(FixedDeque, PushAndPopAtTheBackAndFailWhenFullOrEmpty)
{
    FixedDeque<int> deque;
    ASSERT_TRUE(deque.allocate(3));
    EXPECT_TRUE(deque.isEmpty());
    EXPECT_FALSE(deque.popBack());
    EXPECT_TRUE(deque.pushBack(1));
    EXPECT_TRUE(deque.pushBack(2));
    EXPECT_TRUE(deque.pushBack(3));
    // Full: head == tail, and the size counts every slot.
    EXPECT_EQ(deque.size(), 3u);
    EXPECT_FALSE(deque.pushBack(4));
    EXPECT_FALSE(deque.insert(0, 4));
    EXPECT_EQ(deque.back(), 3);
    EXPECT_TRUE(deque.popBack());
    EXPECT_EQ(deque.back(), 2);
    EXPECT_TRUE(deque.popBack());
    EXPECT_TRUE(deque.popBack());
    EXPECT_TRUE(deque.isEmpty());
    EXPECT_EQ(deque.size(), 0u);
}

TEST(FixedDeque, InsertAtFrontMiddleAndBackAcrossTheWrap)
{
    FixedDeque<int> deque;
    ASSERT_TRUE(deque.allocate(6));
    deque.pushBack(20);
    deque.pushBack(40);
    // Inserting at the front moves head back over the start of the array.
    ASSERT_TRUE(deque.insert(0, 10));
    EXPECT_EQ(Contents(deque), (std::vector<int>{10, 20, 40}));
    ASSERT_TRUE(deque.insert(2, 30));  // through the scratch array
    EXPECT_EQ(Contents(deque), (std::vector<int>{10, 20, 30, 40}));
    ASSERT_TRUE(deque.insert(4, 50));  // at the end: a push
    ASSERT_TRUE(deque.insert(0, 5));
    EXPECT_EQ(Contents(deque), (std::vector<int>{5, 10, 20, 30, 40, 50}));
    EXPECT_EQ(deque.size(), 6u);
    EXPECT_FALSE(deque.insert(3, 99));
    EXPECT_FALSE(deque.insert(9, 99));
}

TEST(FixedDeque, InsertInTheMiddleFillsTheLastSlot)
{
    FixedDeque<int> deque;
    ASSERT_TRUE(deque.allocate(4));
    deque.pushBack(1);
    deque.pushBack(2);
    deque.pushBack(4);
    ASSERT_TRUE(deque.insert(2, 3));
    EXPECT_EQ(deque.size(), 4u);
    EXPECT_EQ(Contents(deque), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(deque.back(), 4);
    EXPECT_FALSE(deque.pushBack(5));
}

TEST(FixedDeque, RemoveClosesTheGapAcrossTheWrap)
{
    FixedDeque<int> deque;
    ASSERT_TRUE(deque.allocate(5));
    for (int v : {3, 4, 5}) deque.pushBack(v);
    deque.insert(0, 2);
    deque.insert(0, 1);  // head has wrapped to the end of the array
    ASSERT_EQ(Contents(deque), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(deque.remove(1));
    EXPECT_EQ(Contents(deque), (std::vector<int>{1, 3, 4, 5}));
    EXPECT_TRUE(deque.remove(3));
    EXPECT_EQ(Contents(deque), (std::vector<int>{1, 3, 4}));
    EXPECT_FALSE(deque.remove(3));
    EXPECT_TRUE(deque.remove(0));
    EXPECT_TRUE(deque.remove(0));
    EXPECT_TRUE(deque.remove(0));
    EXPECT_TRUE(deque.isEmpty());
}

TEST(FixedDeque, ZeroCapacityRefusesEverything)
{
    FixedDeque<int> deque;
    ASSERT_TRUE(deque.allocate(0));
    EXPECT_FALSE(deque.pushBack(1));
    EXPECT_FALSE(deque.insert(0, 1));
    EXPECT_FALSE(deque.popBack());
    EXPECT_EQ(deque.size(), 0u);
}

TEST(FixedDeque, AllocateEmptiesTheDeque)
{
    FixedDeque<int> deque;
    ASSERT_TRUE(deque.allocate(2));
    deque.pushBack(1);
    ASSERT_TRUE(deque.allocate(3));
    EXPECT_TRUE(deque.isEmpty());
    deque.clear();
    EXPECT_TRUE(deque.pushBack(7));
    EXPECT_EQ(Contents(deque), (std::vector<int>{7}));
}

}  // namespace
