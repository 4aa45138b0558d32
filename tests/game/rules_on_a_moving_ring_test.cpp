// The rules that follow the landscape, against a ring that has advanced for a while (so
// its span is above 75 and its oldest slot is not the first) and with meters above 0:
// the approach, the meters' fill and decay, and the strongest source they follow.
#include "game/rules.h"

#include <gtest/gtest.h>

#include <cmath>

#include "landscape/scalar_field.h"
#include "tests/support/game/game_harness.h"

namespace {

class RulesOnAMovingRing : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SharedGameHarness().Ok()) GTEST_SKIP() << "no display or data files";
        // About 1.3 s of landscape: the ring has gone round more than once.
        for (int i = 0; i < 120; ++i) {
            x += 0.011f;
            land.AdvanceAndDraw(x);
        }
        ASSERT_TRUE(land.ready);
    }
    void PlaceCollectible(float px, float py, float pz) {
        g.collectibleMatrix.Identity();
        g.collectibleMatrix.m[12] = px;
        g.collectibleMatrix.m[13] = py;
        g.collectibleMatrix.m[14] = pz;
        g.collectibleActive = 1;
    }
    // Source k as the oldest slot saw it, at landscape time t.
    Vec3 Oldest(int k, float t) const {
        const float stamp = land.stamps[(land.head + 1) % kRingSlots];
        Vec3 p = SourcePosition(k, stamp * 0.6f);
        p.z = 300.0f - (t * 0.6f - stamp * 0.6f) * 25.0f;
        return p;
    }
    float x = 0.0f;
    GameState g;
    ContourLandscape land;
};

TEST_F(RulesOnAMovingRing, TheCollectibleApproachesAtTheRingsSpeedTimesTheFrame) {
    const float span = land.stamps[land.head] - land.stamps[(land.head + 1) % kRingSlots] + 75.0f;
    ASSERT_GT(span, 75.5f) << "the ring has aged";
    ASSERT_EQ(span, land.RingSpan());
    const float frameTimes[] = {0.01f, 1.0f / 60.0f, 0.05f, 0.2f};
    for (float ft : frameTimes) {
        PlaceCollectible(30.0f, -20.0f, 2000.0f);
        g.frameTime = ft;
        ApplyApproachRule(g, land);
        EXPECT_NEAR(g.collectibleMatrix.m[14], 2000.0f - span * ft * 8.333333f, 1e-3f)
            << "frame of " << ft << " s";
        EXPECT_EQ(g.collectibleMatrix.m[12], 30.0f);
        EXPECT_EQ(g.collectibleMatrix.m[13], -20.0f);
    }
}

TEST_F(RulesOnAMovingRing, TheStrongestMeterFillsAndTheOthersDecayByAnEighteenthPerSecond) {
    const float t = x;
    ASSERT_NE(0.0f, land.stamps[(land.head + 1) % kRingSlots]) << "the oldest slot has aged";
    GrowArray<Vec3> sources;
    for (int k = 0; k < 4; ++k) ASSERT_TRUE(sources.Push(Oldest(k, t)));
    const float offsets[][2] = {{5.0f, 3.0f},     {-400.0f, 250.0f}, {900.0f, -700.0f},
                                {-1500.0f, -1200.0f}, {2500.0f, 2000.0f}, {120.0f, 880.0f},
                                {-60.0f, -3000.0f}, {3300.0f, -150.0f}};
    bool seen[4] = {false, false, false, false};
    for (const auto& o : offsets) {
        // The strongest source worked out here on its own: the field at each oldest
        // source moved by (-ox, -oy), ties to the lower index.
        int expected = 0;
        float best = 0.0f;
        for (int k = 0; k < 4; ++k) {
            Vec3 q = Oldest(k, t);
            q.x -= o[0];
            q.y -= o[1];
            const float v = FieldValue(sources, q);
            if (k == 0 || v > best) {
                expected = k;
                best = v;
            }
        }
        seen[expected] = true;
        ASSERT_EQ(expected, land.StrongestSource(o[0], o[1], t)) << o[0] << ", " << o[1];

        GameState s;
        g = s;
        g.worldOffset = Vec3{o[0], o[1], 0.0f};
        g.landscapeTime = t;
        g.frameTime = 0.25f;
        const float before[4] = {1.0f, 0.5f, 1.4f, 0.01f};
        for (int i = 0; i < 4; ++i) g.zoneMeters[i] = before[i];
        ApplyMeterRule(g, land);
        for (int i = 0; i < 4; ++i) {
            float want = i == expected ? before[i] + 0.25f * 0.2f : before[i] - 0.25f / 18.0f;
            if (want < 0.0f) want = 0.0f;
            EXPECT_NEAR(want, g.zoneMeters[i], 1e-6f) << "meter " << i << ", zone " << expected;
        }
        EXPECT_EQ(1.8f, g.energy) << "no meter is full";
    }
    int zones = 0;
    for (bool b : seen) zones += b ? 1 : 0;
    EXPECT_GE(zones, 2) << "the offsets reach more than one zone";
}

}  // namespace
