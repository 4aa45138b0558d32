// Whole frames of the game: a collectible placed far ahead flies at the ship at the speed
// the ring gives it (span x 8.333333 units per second) and is collected once it comes
// within 150, with the energy of its kind.
#include <gtest/gtest.h>

#include <cmath>

#include "game/world.h"
#include "tests/support/game/game_harness.h"

namespace {

// Frames of 1/30 s: the ring advances every frame, and the flight takes fewer of them.
const double kFrame = 1.0 / 30.0;

class CollectibleFlight : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SharedGameHarness().Ok()) GTEST_SKIP() << "no display or data files";
        SharedGameHarness().NewGame();
        // The ring may have run ahead in earlier tests: start the game's clock past its
        // newest stamp so it advances as in a fresh game, then let it settle.
        game.totalTime = landscape.stamps[landscape.head] / (1.6666666f * 0.33333334f) + 1.0f;
        for (int i = 0; i < 90; ++i) {
            game.energy = 1.0f;
            SharedGameHarness().Frame(kFrame);
        }
    }
};

TEST_F(CollectibleFlight, AFarCollectibleArrivesAtTheRingsSpeedAndIsCollected) {
    struct Case {
        int kind;
        float x, y, z;
        float energy;  // what collecting it gives
    };
    const Case cases[] = {
        {2, 0.0f, 0.0f, 2500.0f, 0.4f},
        {0, 60.0f, -40.0f, 1500.0f, 0.2f},
        {1, -100.0f, 80.0f, 800.0f, 0.3f},
    };
    for (const Case& c : cases) {
        game.collectibleMatrix.Identity();
        game.collectibleMatrix.m[12] = c.x;
        game.collectibleMatrix.m[13] = c.y;
        game.collectibleMatrix.m[14] = c.z;
        game.collectibleActive = 1;
        game.collectibleKind = c.kind;
        const int countBefore = game.collected[c.kind];
        int frames = 0;
        float lastZ = c.z, energyBefore = game.energy;
        while (game.collectibleActive == 1 && frames < 1000) {
            lastZ = game.collectibleMatrix.m[14];
            // The meters and the drains are not under test: no meter fills up and the
            // energy stays where a collection shows in full.
            for (float& m : game.zoneMeters) m = 0.0f;
            game.energy = 1.0f;
            energyBefore = game.energy;
            SharedGameHarness().Frame(kFrame);
            ++frames;
            if (game.collectibleActive != 1) break;
            const float span = landscape.RingSpan();
            ASSERT_GE(span, 75.0f);
            ASSERT_LE(span, 78.0f);
            ASSERT_NEAR(lastZ - game.collectibleMatrix.m[14], span * (float)kFrame * 8.333333f,
                        1e-3f)
                << "frame " << frames << " of kind " << c.kind;
        }
        ASSERT_EQ(0, game.collectibleActive) << "kind " << c.kind << " never arrived";
        EXPECT_EQ(countBefore + 1, game.collected[c.kind]);
        // Collected in the frame in which it came within 150 of the ship.
        const float dxy2 = c.x * c.x + c.y * c.y;
        const float zAtCollection = lastZ;  // the collection comes before that frame's approach
        EXPECT_LT(std::sqrt(dxy2 + zAtCollection * zAtCollection), 150.0f);
        // At 75..78 x 8.333333 units per second, from z to the edge of the sphere.
        const float reach = std::sqrt(150.0f * 150.0f - dxy2);
        const double slowest = (c.z - reach) / (75.0 * 8.333333) / kFrame;
        const double fastest = (c.z - reach) / (78.0 * 8.333333) / kFrame;
        EXPECT_GE(frames, (int)fastest) << "kind " << c.kind;
        EXPECT_LE(frames, (int)slowest + 2) << "kind " << c.kind;
        // The kind's energy, less a frame's drains (at most 0.22 per second).
        EXPECT_NEAR(game.energy - energyBefore, c.energy - 0.004f, 0.004f) << "kind " << c.kind;
    }
}

}  // namespace
