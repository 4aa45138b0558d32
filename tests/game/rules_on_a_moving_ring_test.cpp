// The rules that follow the landscape, against a ring that has advanced for a while (so
// its span is above 75 and its oldest slot is not the first) and with meters above 0:
// the approach and the meters' fill and decay, which follow the ring's span and the
// strongest source where the world stands.
#include "game/rules.h"

#include <gtest/gtest.h>

#include <cmath>

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
    float x = 0.0f;
    GameState g;
    ContourLandscape land;
};

// The ring's span and strongest source are the landscape's (its own tests pin them with
// built rings); here they are only asked for, and the rules' arithmetic is checked with
// numbers worked out by hand.
TEST_F(RulesOnAMovingRing, TheCollectibleClosesOneRingSpanInTwelveHundredthsOfASecond) {
    const float span = land.RingSpan();
    ASSERT_GT(span, 75.5f) << "the ring has aged";
    // 8.333333 spans a second: one span in 0.12 s, two in 0.24 s, a sixth in 0.02 s.
    const struct {
        float frame;
        float spans;
    } cases[] = {{0.12f, 1.0f}, {0.24f, 2.0f}, {0.02f, 1.0f / 6.0f}};
    for (const auto& c : cases) {
        PlaceCollectible(30.0f, -20.0f, 2000.0f);
        g.frameTime = c.frame;
        ApplyApproachRule(g, land);
        EXPECT_NEAR(g.collectibleMatrix.m[14], 2000.0f - c.spans * span, 1e-3f)
            << "frame of " << c.frame << " s, span " << span;
        EXPECT_EQ(g.collectibleMatrix.m[12], 30.0f);
        EXPECT_EQ(g.collectibleMatrix.m[13], -20.0f);
    }
}

TEST_F(RulesOnAMovingRing, TheStrongestMeterFillsAndTheOthersDecayByAnEighteenthPerSecond) {
    const float t = x;
    ASSERT_NE(0.0f, land.stamps[(land.head + 1) % kRingSlots]) << "the oldest slot has aged";
    const float offsets[][2] = {{5.0f, 3.0f},     {-400.0f, 250.0f}, {900.0f, -700.0f},
                                {-1500.0f, -1200.0f}, {2500.0f, 2000.0f}, {120.0f, 880.0f},
                                {-60.0f, -3000.0f}, {3300.0f, -150.0f}};
    bool seen[4] = {false, false, false, false};
    for (const auto& o : offsets) {
        const int zone = land.StrongestSource(o[0], o[1], t);
        ASSERT_GE(zone, 0);
        ASSERT_LT(zone, 4);
        seen[zone] = true;

        GameState s;
        g = s;
        g.worldOffset = Vec3{o[0], o[1], 0.0f};
        g.landscapeTime = t;
        g.frameTime = 0.25f;
        // A quarter second: the strongest meter gains 0.05, the others lose 1/72
        // (0.0138889), and none goes below 0.
        const float before[4] = {1.0f, 0.5f, 1.4f, 0.01f};
        const float filled[4] = {1.05f, 0.55f, 1.45f, 0.06f};
        const float decayed[4] = {0.9861111f, 0.4861111f, 1.3861111f, 0.0f};
        for (int i = 0; i < 4; ++i) g.zoneMeters[i] = before[i];
        ApplyMeterRule(g, land);
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(i == zone ? filled[i] : decayed[i], g.zoneMeters[i], 1e-6f)
                << "meter " << i << ", zone " << zone << " at " << o[0] << ", " << o[1];
        }
        EXPECT_EQ(1.8f, g.energy) << "no meter is full";
    }
    int zones = 0;
    for (bool b : seen) zones += b ? 1 : 0;
    EXPECT_GE(zones, 2) << "the offsets reach more than one zone";
}

}  // namespace
