// The fail-after-N switch: N allocations pass, then every one fails until the switch is
// reset; the allocators consult it in the order they allocate.
#include "core/alloc_failure.h"

#include <gtest/gtest.h>

#include <string>

#include "core/grow_array.h"

namespace {

class AllocFailure : public ::testing::Test {
protected:
    void TearDown() override { SetAllocFailure(-1); }
};

TEST_F(AllocFailure, LetsTheGivenNumberThroughThenFailsEveryOne) {
    struct Case {
        int allowed;
        const char* answers;  // the next six allocations: y allowed, n failed
    };
    const Case cases[] = {{-1, "yyyyyy"}, {0, "nnnnnn"}, {1, "ynnnnn"}, {4, "yyyynn"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.allowed);
        SetAllocFailure(c.allowed);
        std::string answers;
        for (int i = 0; i < 6; ++i) answers += AllocationAllowed() ? 'y' : 'n';
        EXPECT_EQ(c.answers, answers);
    }
}

TEST_F(AllocFailure, ResettingAllowsAgainAndANewCountStartsAfresh) {
    SetAllocFailure(0);
    EXPECT_FALSE(AllocationAllowed());
    SetAllocFailure(-1);
    EXPECT_TRUE(AllocationAllowed());
    SetAllocFailure(2);
    EXPECT_TRUE(AllocationAllowed());
    SetAllocFailure(1);  // replaces what was left of the earlier count
    EXPECT_TRUE(AllocationAllowed());
    EXPECT_FALSE(AllocationAllowed());
}

// A grow array's allocations use up the same count as everyone else's.
TEST_F(AllocFailure, GrowArraysTakeTheirAllocationsFromTheCount) {
    SetAllocFailure(2);
    GrowArray<int> a, b;
    EXPECT_EQ(1, a.Grow(10));
    EXPECT_TRUE(AllocationAllowed());
    EXPECT_EQ(0, b.Grow(10));
    EXPECT_EQ(0, a.Grow(10));
    EXPECT_EQ(10, a.capacity);
    EXPECT_EQ(0, b.capacity);
}

}  // namespace
