// The mouse steering: one flight at every frame rate, the classic per-step rule at 60
// steps a second, no movement lost, and the step clock's manners (focus, stalls).
// The hand's movement takes the real road: SDL's event queue, the stand-in's cursor, the
// re-centring.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <cstdint>
#include <string>
#include <vector>

#include "app/shell.h"
#include "app/steering.h"
#include "objects/ship.h"
#include "platform/sdl/seam.h"

namespace {

const int64_t kFrequency = 1000000000LL;  // a 1 GHz counter, as SDL's on Linux
const int64_t kStart = 5000000000LL;

// The steering of a game that has just started, with the cursor hidden and re-centred
// over a 640 x 480 window, as the game has it.
struct SteeringRig {
    SteeringRig() {
        orvseam::Reset();
        ShowCursor(FALSE);
        screenWidth = 640;
        screenHeight = 480;
        mouseCentre = {320, 240};
        SetCursorPos(320, 240);
    }
    ~SteeringRig() {
        ShowCursor(TRUE);
        orvseam::Reset();
    }
    // One frame at `counter`, after the hand moved (dx, dy) since the last one.
    void Frame(int dx, int dy, int64_t counter, bool focused = true) {
        if (dx != 0 || dy != 0) orvseam::PushMouseMotion(dx, dy);
        SteerFrame(steering, g, ship, focused, counter, kFrequency);
    }
    Steering steering;
    GameState g;
    Ship ship;
};

class SteeringTest : public ::testing::Test, public SteeringRig {};

// --- the same flight at any frame rate ------------------------------------------------

// Where the hand is at time t; the pointer reports the nearest whole pixel.
struct HandPath {
    const char* name;
    double (*x)(double t);
    double (*y)(double t);
};

double Still(double) { return 0.0; }
// Steady motion for 1.5 s, then rest.
double Slow(double t) { return 60.0 * std::fmin(t, 1.5); }
double Steady(double t) { return 300.0 * std::fmin(t, 1.5); }
double SteadyUp(double t) { return -600.0 * std::fmin(t, 1.5); }
double Fast(double t) { return 3000.0 * std::fmin(t, 1.5); }
// A zig-zag for 2 s: 900 px/s, turning every 0.2 s (x); 500 px/s every 0.3 s (y).
double Zig(double t, double speed, double leg) {
    t = std::fmin(t, 2.0);
    const double legs = std::floor(t / leg);
    const double into = t - legs * leg;
    const double base = std::fmod(legs, 2.0) == 0.0 ? 0.0 : speed * leg;
    return std::fmod(legs, 2.0) == 0.0 ? base + speed * into : base - speed * into;
}
double ZigX(double t) { return Zig(t, 900.0, 0.2); }
double ZigY(double t) { return Zig(t, 500.0, 0.3); }

struct Flight {
    float worldX, worldY, swayX, swayY;
};

// Flies `path` at `fps` frames a second; the state after the frames at 1 s and at 3 s.
std::vector<Flight> Fly(SteeringRig& t, const HandPath& path, int fps) {
    std::vector<Flight> seen;
    long px = 0, py = 0;
    for (int k = 0; k <= 3 * fps; ++k) {
        const double at = (double)k / fps;
        const long nx = std::lround(path.x(at)), ny = std::lround(path.y(at));
        t.Frame((int)(nx - px), (int)(ny - py), kStart + (int64_t)k * kFrequency / fps);
        px = nx;
        py = ny;
        if (k == fps || k == 3 * fps)
            seen.push_back({t.g.worldOffset.x, t.g.worldOffset.y, t.steering.cameraSway.x,
                            t.steering.cameraSway.y});
    }
    return seen;
}

TEST(SteeringRates, TheFlightIsTheSameFrom30To1000FramesASecond) {
    const HandPath paths[] = {
        {"slow hand, 60 px/s", Slow, Still},      {"steady, 300 px/s", Steady, Still},
        {"steady upwards, 600 px/s", Still, SteadyUp}, {"fast sweep, 3000 px/s", Fast, Still},
        {"zig-zag", ZigX, ZigY},
    };
    const int rates[] = {30, 144, 240, 500, 1000};
    for (const HandPath& path : paths) {
        std::vector<Flight> reference;
        {
            SteeringRig t;
            reference = Fly(t, path, 60);
        }
        ASSERT_EQ(reference.size(), 2u);
        for (int fps : rates) {
            SteeringRig t;
            const std::vector<Flight> got = Fly(t, path, fps);
            ASSERT_EQ(got.size(), 2u);
            for (int i = 0; i < 2; ++i) {
                const Flight& r = reference[i];
                const Flight& f = got[i];
                auto near = [](float want, float have) {
                    return std::fabs(have - want) <= std::fmax(0.01f * std::fabs(want), 0.5f);
                };
                const std::string where = std::string(path.name) + " at " +
                                          std::to_string(fps) + " fps after " +
                                          (i == 0 ? "1 s" : "3 s");
                EXPECT_TRUE(near(r.worldX, f.worldX)) << where << ": world x " << f.worldX
                                                      << ", at 60 fps " << r.worldX;
                EXPECT_TRUE(near(r.worldY, f.worldY)) << where << ": world y " << f.worldY
                                                      << ", at 60 fps " << r.worldY;
                EXPECT_TRUE(near(r.swayX, f.swayX)) << where << ": sway x " << f.swayX
                                                    << ", at 60 fps " << r.swayX;
                EXPECT_TRUE(near(r.swayY, f.swayY)) << where << ": sway y " << f.swayY
                                                    << ", at 60 fps " << r.swayY;
            }
        }
        // The hand moved: the flight is no flight of zero everywhere.
        if (path.x != Still) {
            EXPECT_GT(std::fabs(reference[0].worldX), 5.0f) << path.name;
        }
        if (path.y != Still) {
            EXPECT_GT(std::fabs(reference[0].worldY), 5.0f) << path.name;
        }
    }
}

TEST(SteeringRates, AtRestTheWorldEndsWhereTheWholeMovementSaysAtEveryRate) {
    // 3000 px/s for 1.5 s is 4500 px: 900 fifths. Once the hand rests the world settles
    // there at every rate: nothing was lost on the way.
    for (int fps : {30, 60, 144, 240, 500, 1000}) {
        SteeringRig t;
        const HandPath path = {"fast", Fast, Still};
        const std::vector<Flight> got = Fly(t, path, fps);
        EXPECT_EQ(t.steering.steerTarget.x, 900.0f) << fps << " fps";
        EXPECT_NEAR(got[1].worldX, 900.0f, 0.5f) << fps << " fps";
    }
}

// --- the classic rule at 60 steps a second --------------------------------------------

// The steering as it was made, one step a frame at 60 frames a second: the target adds the
// movement divided by 5, the world closes a fifteenth of the gap, the camera sways with
// the step's time and a damping of 0.9090909 and looks at the origin from the sway.
struct ClassicSteering {
    float targetX = 0, targetY = 0, worldX = 0, worldY = 0, swayX = 0, swayY = 0;
    float collectibleX = 100, collectibleY = 0;
    void Step(int dx, int dy, float seconds) {
        targetX += (float)(dx / 5);
        targetY += (float)(dy / 5);
        const float tx = (worldX - targetX) * 0.06666667f;
        const float ty = (worldY - targetY) * 0.06666667f;
        collectibleX -= tx;
        collectibleY -= ty;
        worldX -= tx;
        worldY -= ty;
        swayX = (swayX + (worldX - targetX) * seconds * 0.5f) * 0.9090909f;
        swayY = (swayY + (worldY - targetY) * seconds * 0.5f) * 0.9090909f;
    }
};

TEST_F(SteeringTest, AtSixtyFramesWholeFivesGiveTheClassicStepsToTheBit) {
    // A counter of 6 MHz: every step is exactly 100000 ticks, 1/60 s.
    const int64_t hz = 6000000;
    const int moves[][2] = {{0, 0},   {50, -25}, {15, 5},   {-5, 40}, {100, 0}, {0, 0},
                            {-35, -5}, {5, 5},    {0, -10}, {250, 0}, {-5, 0}, {0, 0}};
    ClassicSteering classic;
    g.collectibleMatrix.Identity();
    g.collectibleMatrix.m[12] = 100.0f;
    for (int k = 0; k < 120; ++k) {
        const int* m = moves[k % 12];
        if (m[0] != 0 || m[1] != 0) orvseam::PushMouseMotion(m[0], m[1]);
        SteerFrame(steering, g, ship, true, kStart + k * (hz / 60), hz);
        classic.Step(m[0], m[1], k == 0 ? 0.0f : (float)((double)(hz / 60) / (double)hz));
        ASSERT_EQ(steering.steerTarget.x, classic.targetX) << "step " << k;
        ASSERT_EQ(steering.steerTarget.y, classic.targetY) << "step " << k;
        ASSERT_EQ(g.worldOffset.x, classic.worldX) << "step " << k;
        ASSERT_EQ(g.worldOffset.y, classic.worldY) << "step " << k;
        ASSERT_EQ(g.collectibleMatrix.m[12], classic.collectibleX) << "step " << k;
        ASSERT_EQ(g.collectibleMatrix.m[13], classic.collectibleY) << "step " << k;
        ASSERT_EQ(steering.cameraSway.x, classic.swayX) << "step " << k;
        ASSERT_EQ(steering.cameraSway.y, classic.swayY) << "step " << k;
        // The eye is the sway, 10 up, 30 back.
        ASSERT_EQ(g.cameraMatrix.m[12], classic.swayX) << "step " << k;
        ASSERT_EQ(g.cameraMatrix.m[13], classic.swayY + 10.0f) << "step " << k;
        ASSERT_EQ(g.cameraMatrix.m[14], -30.0f) << "step " << k;
    }
    EXPECT_NE(g.worldOffset.x, 0.0f);
}

TEST_F(SteeringTest, WorkedExampleOfOneStep) {
    // From rest, 150 px right and 75 up in the first step: the target is (30, -15) and
    // the world closes 2 and -1 of it; the first step has taken no time, so the camera
    // still looks from (0, 10, -30) along +z.
    g.collectibleMatrix.Identity();
    g.collectibleMatrix.m[12] = 100.0f;
    Frame(150, -75, kStart);
    EXPECT_FLOAT_EQ(g.worldOffset.x, 2.0f);
    EXPECT_FLOAT_EQ(g.worldOffset.y, -1.0f);
    EXPECT_FLOAT_EQ(g.collectibleMatrix.m[12], 102.0f);
    EXPECT_FLOAT_EQ(g.collectibleMatrix.m[13], -1.0f);
    EXPECT_FLOAT_EQ(g.cameraMatrix.m[12], 0.0f);
    EXPECT_FLOAT_EQ(g.cameraMatrix.m[13], 10.0f);
    EXPECT_FLOAT_EQ(g.cameraMatrix.m[14], -30.0f);
    EXPECT_GT(g.cameraMatrix.m[10], 0.9f) << "looking along +z";
    // A second step 1/60 s later: the world closes to 3.8667, and the gap left, -26.133,
    // pulls the eye by -26.133 / 60 / 2 = -0.2178, damped to -0.198.
    Frame(0, 0, kStart + kFrequency / 60);
    EXPECT_NEAR(steering.cameraSway.x, -0.198, 0.001);
    EXPECT_LT(g.cameraMatrix.m[12], 0.0f);
}

// --- no movement lost ------------------------------------------------------------------

TEST(SteeringRemainder, TheDivisionByFiveKeepsItsRemainder) {
    struct Case {
        std::vector<int> moves;  // one a step
        float target;            // x after them
    };
    const Case cases[] = {
        {{4}, 0.0f},
        {{4, 4}, 1.0f},                 // 8 px: one fifth, 3 px wait
        {{4, 4, 2}, 2.0f},              // 10 px
        {{12}, 2.0f},                   // 2 waits
        {{12, 3}, 3.0f},
        {{-7}, -1.0f},                  // -2 waits
        {{-7, -3}, -2.0f},
        {{1, -1, 1, -1, 1, -1, 1}, 0.0f},  // jitter sums to nothing
        {{3, 3, -6}, 0.0f},
        {{-4, 9}, 1.0f},
    };
    for (const Case& c : cases) {
        SteeringRig t;
        int64_t k = 0;
        for (int dx : c.moves) t.Frame(dx, 0, kStart + k++ * kFrequency / 60);
        EXPECT_EQ(t.steering.steerTarget.x, c.target) << ::testing::PrintToString(c.moves);
    }
}

// --- the step clock --------------------------------------------------------------------

TEST_F(SteeringTest, FramesBetweenStepsGatherTheMovementForTheNextStep) {
    Frame(0, 0, kStart);  // step 0
    const Mat4 camera = g.cameraMatrix;
    // Three frames at 240 a second fall before the next step: nothing steers yet.
    for (int k = 1; k <= 3; ++k) {
        Frame(5, 0, kStart + k * kFrequency / 240);
        EXPECT_EQ(steering.steerTarget.x, 0.0f) << k;
        EXPECT_EQ(g.worldOffset.x, 0.0f) << k;
        EXPECT_EQ(0, std::memcmp(&camera, &g.cameraMatrix, sizeof(Mat4))) << k;
    }
    // The fourth is the step's own time: the 20 px of all four frames arrive together.
    Frame(5, 0, kStart + 4 * kFrequency / 240);
    EXPECT_EQ(steering.steerTarget.x, 4.0f);
}

TEST_F(SteeringTest, AStallRunsTheCapAndThenGoesOnAtSixtyASecond) {
    // A step at the start takes the hand to 150 (30 fifths); 2 s later one frame comes.
    Frame(150, 0, kStart);
    const float afterFirst = g.worldOffset.x;  // 2
    Frame(0, 0, kStart + 2 * kFrequency);
    // The cap's steps, no more: the gap shrank by (14/15) per step. The cap is the one
    // the README promises the player ("at most 10 after a stall"), not whatever the
    // code's constant says.
    const float gap = 30.0f - g.worldOffset.x;
    const float expected = (30.0f - afterFirst) * std::pow(14.0f / 15.0f, 10);
    EXPECT_NEAR(gap, expected, 0.01f);
    // The clock starts again from the stalled frame: 1/60 s later exactly one step.
    const float before = 30.0f - g.worldOffset.x;
    Frame(0, 0, kStart + 2 * kFrequency + kFrequency / 60);
    EXPECT_NEAR(30.0f - g.worldOffset.x, before * 14.0f / 15.0f, 0.001f);
}

TEST_F(SteeringTest, WithoutTheFocusTheCursorIsLeftAloneAndNothingSteers) {
    Frame(0, 0, kStart);
    Frame(50, 0, kStart + kFrequency / 60, false);
    Frame(0, 0, kStart + 2 * kFrequency / 60, false);
    EXPECT_EQ(steering.steerTarget.x, 0.0f);
    EXPECT_EQ(g.worldOffset.x, 0.0f);
    POINT p;
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 370) << "neither read nor re-centred";
    // Back with the focus, the steps are at their 60 a second: one step, no burst of the
    // steps that passed meanwhile.
    Frame(0, 0, kStart + 3 * kFrequency / 60);
    EXPECT_EQ(steering.steerTarget.x, 10.0f);
    EXPECT_FLOAT_EQ(g.worldOffset.x, 10.0f / 15.0f);
}

TEST_F(SteeringTest, TheShipGetsTheCameraMatrixOfTheStepBefore) {
    g.cameraMatrix.Identity();
    g.cameraMatrix.m[12] = 7.0f;
    Frame(0, 0, kStart);
    EXPECT_EQ(ship.viewMatrix.m[12], 7.0f);
    EXPECT_EQ(ship.dirty, 1);
    // A frame without a step leaves the ship's sort as it is.
    ship.dirty = 0;
    Frame(0, 0, kStart + kFrequency / 1000);
    EXPECT_EQ(ship.dirty, 0);
}

TEST_F(SteeringTest, ARestartedClockStepsAtOnceFromThePointItStartsAt) {
    Frame(0, 0, kStart);
    RestartSteeringClock(steering);
    // Long after (a pause): one step at once, and it takes no time.
    Frame(25, 0, kStart + 100 * kFrequency);
    EXPECT_EQ(steering.steerTarget.x, 5.0f);
    EXPECT_FLOAT_EQ(g.worldOffset.x, 5.0f / 15.0f);
    EXPECT_FLOAT_EQ(steering.cameraSway.x, 0.0f);
}

}  // namespace
