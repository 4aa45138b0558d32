// Whole frames of the game on a real GL context with scripted frame times.
#include <gtest/gtest.h>

#include "core/game_random.h"
#include "game/frame_driver.h"
#include "game/world.h"
#include "platform/sdl/seam.h"
#include "tests/support/game/game_harness.h"

namespace {

GameHarness& Harness() {
    static GameHarness* h = new GameHarness();
    return *h;
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Harness().Ok()) GTEST_SKIP() << "no display or data files";
        Harness().NewGame();
    }
};

TEST(Timing, FirstFrameZeroLongFramesWholeAndTheLandscapeClock) {
    GameState g;
    AdvanceTime(g, 123456789LL, 1000000000LL);
    EXPECT_EQ(g.frameTime, 0.0f);
    EXPECT_EQ(g.totalTime, 0.0f);
    EXPECT_EQ(g.lastCounter, 123456789LL);
    // Five seconds on a 1 GHz counter: more than 32 bits of ticks.
    AdvanceTime(g, 123456789LL + 5000000000LL, 1000000000LL);
    EXPECT_FLOAT_EQ(g.frameTime, 5.0f);
    AdvanceTime(g, 123456789LL + 5250000000LL, 1000000000LL);
    EXPECT_FLOAT_EQ(g.frameTime, 0.25f);
    EXPECT_FLOAT_EQ(g.totalTime, 5.25f);
    EXPECT_EQ(g.landscapeTime, g.totalTime * 0.33333334f);
}

TEST(Timing, FrameRateUpdatesOncePerSecondOfClockTime) {
    orvseam::Reset();
    GameState g;
    orvseam::SetMilliseconds(10000);
    CountFrameRate(g);
    EXPECT_EQ(g.fpsStartClock, 10000);
    for (int ms = 10010; ms < 11000; ms += 10) {
        orvseam::SetMilliseconds(ms);
        CountFrameRate(g);
        ASSERT_EQ(g.fps, 0.0f) << "0.00 before a second has passed, at " << ms;
    }
    orvseam::SetMilliseconds(11000);  // exactly 1000 ms already passes
    CountFrameRate(g);
    EXPECT_FLOAT_EQ(g.fps, 101.0f);
    EXPECT_EQ(g.fpsFrames, 0);
    EXPECT_EQ(g.fpsStartClock, 11000);
    for (int ms = 11020; ms <= 12000; ms += 20) {
        orvseam::SetMilliseconds(ms);
        CountFrameRate(g);
    }
    EXPECT_FLOAT_EQ(g.fps, 50.0f) << "the average of that second";
    orvseam::Reset();
}

TEST_F(FrameTest, TheLandscapeLightsTheScreenAndTheHudSitsWhereItBelongs) {
    GameHarness& gl = Harness();
    for (int i = 0; i < 120; ++i) Harness().Frame(0.03);
    ASSERT_GT(game.totalTime, 3.0f);
    // The landscape around the centre of the screen.
    EXPECT_GT(gl.RegionBrightness(160, 120, 480, 360), 30000);
    // The energy bar at x = -0.9 (pixel 32) from 0.9 - energy up to 0.9 (pixel 456).
    const int barBottom = (int)((0.9f - game.energy + 1.0f) * 240.0f);
    EXPECT_GT(gl.RegionBrightness(29, barBottom + 5, 36, 450), 100 * (450 - barBottom));
    EXPECT_LT(gl.RegionBrightness(29, 0, 36, barBottom - 8),
              gl.RegionBrightness(29, barBottom + 5, 36, 450));
    // "SLIDE !" near the top centre, and the frame-rate text at the top right.
    EXPECT_GT(gl.RegionBrightness(200, 420, 400, 475), 20000);
    EXPECT_GT(gl.RegionBrightness(540, 440, 640, 475), 2000);
    // Counters and icons at the lower right.
    EXPECT_GT(gl.RegionBrightness(400, 20, 640, 150), 20000);
}

TEST_F(FrameTest, SpawnAfterWarmUpWithTheSharedGenerator) {
    uint32_t stateBefore = 0;
    while (game.collectibleActive == 0 && game.totalTime < 5.0f) {
        stateBefore = GameRandState();
        Harness().Frame(0.1);
    }
    ASSERT_EQ(game.collectibleActive, 1);
    EXPECT_GT(game.totalTime, 2.3f);
    EXPECT_LE(game.totalTime, 2.41f);
    // The spawn draws before the landscape does in the same frame: its kind is the frame's
    // first draw (asked of the generator itself, put back where it was) modulo 3.
    const uint32_t stateAfter = GameRandState();
    SetGameRandState(stateBefore);
    const int first = GameRand();
    SetGameRandState(stateAfter);
    EXPECT_EQ(game.collectibleKind, first % 3);
}

TEST_F(FrameTest, ExactlyOneGameOverBoxThenNoFurtherFrame) {
    game.energy = 0.05f;
    game.collected[0] = 2;
    game.collected[2] = 1;
    orvseam::QueueMessageBoxAnswer(IDOK);
    const int ran = Harness().FramesWhileAlive(1000, 0.1);
    EXPECT_LT(ran, 1000);
    EXPECT_LE(game.energy, 0.0f);
    ASSERT_EQ(orvseam::MessageBoxes().size(), 1u);
    EXPECT_EQ(orvseam::MessageBoxes()[0].caption, "Game Over");
    EXPECT_NE(orvseam::MessageBoxes()[0].text.find("2 atom"), std::string::npos);
    EXPECT_NE(orvseam::MessageBoxes()[0].text.find("1 frakt"), std::string::npos);
    const float total = game.totalTime;
    EXPECT_EQ(Harness().FramesWhileAlive(100, 0.1), 0);
    EXPECT_EQ(game.totalTime, total);
    EXPECT_EQ(orvseam::MessageBoxes().size(), 1u);
    ShowCursor(FALSE);
}

TEST_F(FrameTest, TheFrameLeavesBothMatricesIdentity) {
    Harness().Frame(0.02);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f);
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

}  // namespace
