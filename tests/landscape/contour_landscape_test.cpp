// The ring's bookkeeping and the game's queries. AdvanceAndDraw is called here without
// a GL context (the calls then do nothing); what it draws is checked in the rendering
// tests.
#include "landscape/contour_landscape.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/alloc_failure.h"
#include "core/game_random.h"
#include "landscape/scalar_field.h"

namespace {

class ContourLandscapeTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = GameRandState(); }
    void TearDown() override {
        SetGameRandState(saved_);
        SetAllocFailure(-1);
    }
    uint32_t saved_ = 0;
    ContourLandscape land;
};

TEST_F(ContourLandscapeTest, StartsWithSeventyFiveEmptySlices) {
    EXPECT_EQ(1, land.ready);
    EXPECT_EQ(0, land.head);
    EXPECT_EQ(nullptr, land.current);
    EXPECT_EQ(0, land.sources.count);
    for (int i = 0; i < kRingSlots; ++i) {
        ASSERT_NE(nullptr, land.slots[i]);
        EXPECT_EQ(0, land.slots[i]->count);
        EXPECT_EQ(0.0f, land.stamps[i]);
        for (int j = 0; j < i; ++j) EXPECT_NE(land.slots[i], land.slots[j]);
    }
}

TEST_F(ContourLandscapeTest, NoAdvanceUntilTheStampTimePassesTheStep) {
    land.AdvanceAndDraw(0.0f);
    land.AdvanceAndDraw(0.005f);
    EXPECT_EQ(0, land.head);
    EXPECT_EQ(0.0f, land.RingSpan());
    ASSERT_EQ(4, land.sources.count);  // placed for the draw even without an advance

    land.AdvanceAndDraw(0.01f);
    EXPECT_EQ(1, land.head);
    EXPECT_EQ(0.01f * 1.6666666f, land.stamps[1]);
    EXPECT_GT(land.slots[1]->count, 0);
}

TEST_F(ContourLandscapeTest, AtMostOneAdvancePerCallHoweverMuchTimePassed) {
    struct Step {
        float x;
        int head;
        float stampX;  // the time the newest slot was made at
    };
    // b = x * 1.6666666: 0.06 gives b = 0.1; +0.03 raises b by 0.05; 100 is far ahead;
    // the same time again, or b up by less than 0.015, does not advance.
    const Step steps[] = {{0.06f, 1, 0.06f},     {0.09f, 2, 0.09f},     {100.0f, 3, 100.0f},
                          {100.0f, 3, 100.0f},   {100.005f, 3, 100.0f}, {100.01f, 4, 100.01f}};
    for (const Step& s : steps) {
        land.AdvanceAndDraw(s.x);
        EXPECT_EQ(s.head, land.head) << "x " << s.x;
        EXPECT_EQ(s.stampX * 1.6666666f, land.stamps[land.head]) << "x " << s.x;
    }
    // Each advance drew one slice's 40 random values and no more.
    uint32_t expected = saved_;
    for (int i = 0; i < 4 * 40; ++i) expected = expected * 214013u + 2531011u;
    EXPECT_EQ(expected, GameRandState());
}

TEST_F(ContourLandscapeTest, HeadWrapsAroundTheRing) {
    float x = 0.0f;
    for (int i = 0; i < 80; ++i) {
        x += 0.01f;
        land.AdvanceAndDraw(x);
    }
    EXPECT_EQ(80 % kRingSlots, land.head);
    for (int i = 0; i < kRingSlots; ++i) EXPECT_GT(land.stamps[i], 0.0f) << i;
    // The oldest slot follows the newest.
    const int oldest = (land.head + 1) % kRingSlots;
    for (int i = 0; i < kRingSlots; ++i)
        if (i != land.head) {
            EXPECT_GE(land.stamps[i], land.stamps[oldest]);
        }
}

TEST_F(ContourLandscapeTest, RingSpanWhileTheRingFills) {
    land.AdvanceAndDraw(0.01f);  // slot 1 made; the drawing loop ends on empty slot 0
    EXPECT_EQ(0.0f, land.RingSpan());
    land.AdvanceAndDraw(0.02f);  // slot 2 made; it ends on slot 1, which has segments
    EXPECT_EQ(land.slots[1], land.current);
    // The oldest stamp is still 0, so the time part is the newest stamp.
    EXPECT_FLOAT_EQ(75.0f + 0.02f * 1.6666666f, land.RingSpan());
}

TEST_F(ContourLandscapeTest, RingSpanIsSeventyFivePlusNewestMinusOldest) {
    struct SpanCase {
        int head;
        float newest, oldest, span;
    };
    const SpanCase cases[] = {
        {10, 1.2f, 0.1f, 76.1f}, {74, 3.0f, 1.89f, 76.11f}, {0, 0.5f, 0.5f, 75.0f}};
    ASSERT_EQ(1, land.slots[5]->Push(SliceSegment{}));
    for (const SpanCase& c : cases) {
        land.head = c.head;
        land.stamps[c.head] = c.newest;
        land.stamps[(c.head + 1) % kRingSlots] = c.oldest;
        land.current = land.slots[5];
        EXPECT_NEAR(c.span, land.RingSpan(), 1e-4f) << "head " << c.head;
        land.current = land.slots[6];  // empty slice
        EXPECT_EQ(0.0f, land.RingSpan());
    }
    land.current = nullptr;
    EXPECT_EQ(0.0f, land.RingSpan());
}

TEST_F(ContourLandscapeTest, OldestSourceStandsWhereItWasAndComesNearerWithTime) {
    land.head = 40;
    land.stamps[41] = 2.5f;  // the oldest slot; made at landscape time 1.5
    struct DepthCase {
        float dt, z;
    };
    const DepthCase cases[] = {{0.0f, 300.0f}, {0.1f, 298.5f}, {1.0f, 285.0f},
                               {-0.1f, 301.5f}, {131.33333f, 300.0f - 131.33333f * 15.0f}};
    for (int k = 0; k < 4; ++k) {
        const Vec3 then = SourcePosition(k, 2.5f * 0.6f);
        for (const DepthCase& c : cases) {
            Vec3 p = land.OldestSource(k, 2.5f + c.dt);
            EXPECT_EQ(then.x, p.x);
            EXPECT_EQ(then.y, p.y);
            EXPECT_NEAR(c.z, p.z, 2e-3f * (1.0f + std::fabs(c.z))) << "dt " << c.dt;
        }
    }
    EXPECT_EQ(300.0f, land.OldestSource(0, 2.5f).z);
    EXPECT_EQ(0, land.sources.count);  // the list is not touched
}

TEST_F(ContourLandscapeTest, StrongestSourceTiesGoToTheLowerIndex) {
    // Fresh ring: the oldest sources are those of time 0, a square around the origin.
    // With no offset every q is a source itself: four infinities, and the first wins.
    EXPECT_EQ(0, land.StrongestSource(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(0, land.StrongestSource(0.0f, 0.0f, 37.0f));

    // A small shift moves two mirrored sources towards the centre; they tie unless the
    // mirror images round differently, and then the stronger one must win.
    struct ShiftCase {
        float ox, oy;
        int lower, upper;  // the mirrored pair that moves inwards
    };
    const ShiftCase cases[] = {{1.0f, 0.0f, 0, 1}, {-1.0f, 0.0f, 2, 3},
                               {0.0f, 1.0f, 1, 2}, {0.0f, -1.0f, 0, 3}};
    for (const ShiftCase& c : cases) {
        GrowArray<Vec3> square;
        for (int k = 0; k < 4; ++k) square.Push(SourcePosition(k, 0.0f));
        float value[4];
        for (int k = 0; k < 4; ++k) {
            Vec3 q = square.items[k];
            q.x -= c.ox;
            q.y -= c.oy;
            value[k] = FieldValue(square, q);
        }
        const int expected = value[c.upper] > value[c.lower] ? c.upper : c.lower;
        for (int k = 0; k < 4; ++k)
            if (k != c.lower && k != c.upper) {
                ASSERT_LT(value[k], value[expected]);
            }
        EXPECT_EQ(expected, land.StrongestSource(c.ox, c.oy, 0.0f))
            << "offset " << c.ox << ", " << c.oy;
    }
}

TEST_F(ContourLandscapeTest, StrongestSourceIsTheOneWhoseShiftedCopyLandsOnTheField) {
    // Shifting by the diagonal S2 - S0 (plus one unit) brings q2 next to source 0 while
    // the other three copies land far outside the square.
    const Vec3 s0 = SourcePosition(0, 0.0f), s2 = SourcePosition(2, 0.0f);
    EXPECT_EQ(2, land.StrongestSource(s2.x - s0.x + 1.0f, s2.y - s0.y, 0.0f));
    EXPECT_EQ(0, land.StrongestSource(s0.x - s2.x + 1.0f, s0.y - s2.y, 0.0f));
    const Vec3 s1 = SourcePosition(1, 0.0f), s3 = SourcePosition(3, 0.0f);
    EXPECT_EQ(3, land.StrongestSource(s3.x - s1.x, s3.y - s1.y + 1.0f, 0.0f));
}

TEST_F(ContourLandscapeTest, FieldProbe) {
    // With no offset q is source 0 itself: +infinity, which is not below 0.5.
    const float atStart = land.FieldProbe(0.0f, 0.0f, 0.0f);
    EXPECT_TRUE(std::isinf(atStart));
    EXPECT_GT(atStart, 0.5f);

    // Offset by source 0's position: q is the origin, 10000 x 0.00036.
    const Vec3 s0 = SourcePosition(0, 0.0f);
    EXPECT_NEAR(3.6f, land.FieldProbe(s0.x, s0.y, 0.0f), 1e-3f);
    // Far away: outside the field.
    EXPECT_LT(land.FieldProbe(s0.x + 3000.0f, s0.y, 0.0f), 0.5f);

    // The queries leave the oldest slot's sources in the list.
    ASSERT_EQ(4, land.sources.count);
    for (int k = 0; k < 4; ++k) {
        Vec3 p = land.OldestSource(k, 0.0f);
        EXPECT_EQ(p.x, land.sources.items[k].x);
        EXPECT_EQ(p.y, land.sources.items[k].y);
        EXPECT_EQ(p.z, land.sources.items[k].z);
    }
}

TEST_F(ContourLandscapeTest, FieldProbeUsesTheOldestSlotsSources) {
    float x = 0.0f;
    for (int i = 0; i < 90; ++i) {
        x += 0.011f;
        land.AdvanceAndDraw(x);
    }
    const int oldest = (land.head + 1) % kRingSlots;
    const Vec3 s0 = SourcePosition(0, land.stamps[oldest] * 0.6f);
    GrowArray<Vec3> then;
    for (int k = 0; k < 4; ++k) then.Push(SourcePosition(k, land.stamps[oldest] * 0.6f));
    Vec3 q;
    q.Set(s0.x - 40.0f, s0.y - 25.0f, 0.0f);
    EXPECT_NEAR(10000.0f * FieldValue(then, q), land.FieldProbe(40.0f, 25.0f, x), 1e-4f);
}

TEST_F(ContourLandscapeTest, WithoutRoomForTheSourcesTheRingWaitsAndQueriesAreDefined) {
    SetGameRandState(99);
    SetAllocFailure(0);
    land.AdvanceAndDraw(0.5f);
    EXPECT_EQ(0, land.head);
    EXPECT_EQ(0.0f, land.stamps[0]);
    EXPECT_EQ(0.0f, land.stamps[1]);
    EXPECT_EQ(99u, GameRandState());  // no slice was generated
    EXPECT_EQ(0.0f, land.RingSpan());
    EXPECT_EQ(0, land.StrongestSource(0.0f, 0.0f, 0.5f));
    EXPECT_EQ(0.0f, land.FieldProbe(0.0f, 0.0f, 0.5f));
    EXPECT_EQ(0, land.sources.count);

    // Once memory is there again the ring carries on.
    SetAllocFailure(-1);
    land.AdvanceAndDraw(0.5f);
    EXPECT_EQ(1, land.head);
    EXPECT_GT(land.slots[1]->count, 0);
}

TEST_F(ContourLandscapeTest, FramesWithoutAnAdvanceNeedNoMemory) {
    float x = 0.0f;
    for (int i = 0; i < 10; ++i) {
        x += 0.01f;
        land.AdvanceAndDraw(x);
    }
    const int head = land.head;
    const Vec3 s0 = land.OldestSource(0, x);
    const float probe = land.FieldProbe(s0.x, s0.y, x);
    const int zone = land.StrongestSource(30.0f, -20.0f, x);

    SetAllocFailure(0);  // any allocation from here on fails
    for (int i = 0; i < 3; ++i) {
        land.AdvanceAndDraw(x);
        EXPECT_EQ(head, land.head);
        EXPECT_EQ(probe, land.FieldProbe(s0.x, s0.y, x));
        EXPECT_EQ(zone, land.StrongestSource(30.0f, -20.0f, x));
        EXPECT_GT(land.RingSpan(), 75.0f);
        EXPECT_EQ(4, land.sources.count);
    }
}

TEST_F(ContourLandscapeTest, ARingThatIsNotReadyOnlySetsTheFog) {
    land.ready = 0;
    SetGameRandState(5);
    land.AdvanceAndDraw(1.0f);
    EXPECT_EQ(0, land.head);
    EXPECT_EQ(nullptr, land.current);
    EXPECT_EQ(0.0f, land.RingSpan());
    EXPECT_EQ(5u, GameRandState());
    land.ready = 1;
}

}  // namespace
