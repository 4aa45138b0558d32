#include "core/grow_array.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/alloc_failure.h"
#include "core/game_random.h"

namespace {

struct Record {
    int a;
    float b;
};

std::vector<int> Contents(const GrowArray<int>& g) {
    return std::vector<int>(g.items, g.items + g.count);
}

class GrowArrayTest : public ::testing::Test {
protected:
    void TearDown() override { SetAllocFailure(-1); }
};

TEST_F(GrowArrayTest, FreshArrayHoldsNothing) {
    GrowArray<int> g;
    EXPECT_EQ(g.capacity, 0);
    EXPECT_EQ(g.count, 0);
    EXPECT_EQ(g.items, nullptr);
    EXPECT_EQ(g.At(0), nullptr);
    g.Clear();
    EXPECT_EQ(g.items, nullptr);
}

TEST_F(GrowArrayTest, PushGrowsByFiftyAndKeepsOrder) {
    GrowArray<Record> g;
    for (int i = 0; i < 50; ++i) ASSERT_EQ(g.Push(Record{i, i * 0.5f}), 1);
    EXPECT_EQ(g.capacity, 50);
    ASSERT_EQ(g.Push(Record{50, 25.0f}), 1);
    EXPECT_EQ(g.capacity, 100);
    EXPECT_EQ(g.count, 51);
    for (int i = 0; i <= 50; ++i) {
        ASSERT_NE(g.At(i), nullptr);
        EXPECT_EQ(g.At(i)->a, i);
        EXPECT_EQ(g.At(i)->b, i * 0.5f);
    }
}

TEST_F(GrowArrayTest, AtIsBoundsChecked) {
    GrowArray<int> g;
    for (int i = 0; i < 3; ++i) g.Push(i);
    EXPECT_EQ(g.At(-1), nullptr);
    EXPECT_EQ(g.At(3), nullptr);
    ASSERT_NE(g.At(2), nullptr);
    EXPECT_EQ(*g.At(2), 2);
}

TEST_F(GrowArrayTest, RemoveRangeCases) {
    struct Case {
        int start, n, result;
        std::vector<int> left;
    };
    const Case cases[] = {
        {1, 2, 1, {0, 3, 4}},       {0, -1, 1, {}},          {3, 5, 1, {0, 1, 2}},
        {4, 1, 1, {0, 1, 2, 3}},    {5, 1, 0, {0, 1, 2, 3, 4}}, {-1, 1, 0, {0, 1, 2, 3, 4}},
        {0, 0, 1, {0, 1, 2, 3, 4}}, {2, -1, 1, {0, 1}},
    };
    for (const Case& c : cases) {
        GrowArray<int> g;
        for (int i = 0; i < 5; ++i) g.Push(i);
        EXPECT_EQ(g.RemoveRange(c.start, c.n), c.result) << c.start << "," << c.n;
        EXPECT_EQ(Contents(g), c.left) << c.start << "," << c.n;
        EXPECT_EQ(g.capacity, 50) << "storage stays";
    }
}

TEST_F(GrowArrayTest, AddCountReservesInOneAllocation) {
    GrowArray<int> g;
    ASSERT_EQ(g.AddCount(16384), 1);
    EXPECT_EQ(g.capacity, 16384);
    EXPECT_EQ(g.count, 16384);
    ASSERT_EQ(g.RemoveRange(0, -1), 1);
    EXPECT_EQ(g.capacity, 16384);
    EXPECT_EQ(g.count, 0);
    int* storage = g.items;
    for (int i = 0; i < 5460; ++i) g.Push(i);
    EXPECT_EQ(g.items, storage) << "pushes within the reservation never move the storage";
}

TEST_F(GrowArrayTest, FailedAllocationLeavesTheArrayAsItWas) {
    GrowArray<int> g;
    for (int i = 0; i < 50; ++i) g.Push(i);
    int* storage = g.items;
    SetAllocFailure(0);
    EXPECT_EQ(g.Push(99), 0);
    EXPECT_EQ(g.count, 50);
    EXPECT_EQ(g.capacity, 50);
    EXPECT_EQ(g.items, storage);
    EXPECT_EQ(g.AddCount(10), 0);
    EXPECT_EQ(g.count, 50);
    GrowArray<int> empty;
    EXPECT_EQ(empty.Push(1), 0);
    EXPECT_EQ(empty.capacity, 0);
    EXPECT_EQ(empty.items, nullptr);
    SetAllocFailure(-1);
    EXPECT_EQ(g.Push(99), 1);
    EXPECT_EQ(g.count, 51);
}

TEST(GameRandom, FollowsTheProgramWideSequence) {
    SetGameRandState(1);
    EXPECT_EQ(GameRand(), 41);
    EXPECT_EQ(GameRand(), 18467);
    EXPECT_EQ(GameRand(), 6334);
    EXPECT_EQ(GameRand(), 26500);
    for (int i = 0; i < 1000; ++i) {
        int r = GameRand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 0x7FFF);
    }
    SetGameRandState(1);
}

}  // namespace
