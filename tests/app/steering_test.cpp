// The mouse steering: one flight at every frame rate, the classic per-step rule at 60
// steps a second, no movement lost, and the step clock's manners (focus, stalls).
// The hand's movement takes the real road: SDL's event queue, the stand-in's cursor, the
// re-centring.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <cstdint>
#include <algorithm>
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
    void Frame(int dx, int dy, int64_t counter, bool focused = true,
               StickDeflection stick = StickDeflection()) {
        if (dx != 0 || dy != 0) orvseam::PushMouseMotion(dx, dy);
        SteerFrame(steering, g, ship, focused, counter, kFrequency, stick);
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

// --- the stick ------------------------------------------------------------------------

TEST(StickResponseTable, ADeadZoneOfAQuarterAndAResponseRisingSmoothlyFromItsEdge) {
    // The response past the dead zone (7849) is the square of the way out to the rim.
    auto past = [](double at) {
        const double f = (at - 7849.0) / (32767.0 - 7849.0);
        return f * f;
    };
    struct Case {
        int x, y;
        double wantX, wantY;
        const char* name;
    };
    const Case cases[] = {
        {0, 0, 0, 0, "at rest"},
        {7849, 0, 0, 0, "at the dead zone's edge"},
        {0, -7849, 0, 0, "at the edge downwards"},
        {5500, 5500, 0, 0, "inside it diagonally (7778 out)"},
        {-3000, 7000, 0, 0, "inside it (7616 out)"},
        {8100, 0, past(8100), 0, "just past it: a fine push"},
        {12000, 0, past(12000), 0, "a small push"},
        {16384, 0, past(16384), 0, "half way"},
        {0, 16384, 0, past(16384), "half way up"},
        {-24576, 0, -past(24576), 0, "three quarters left"},
        {32767, 0, 1, 0, "full right"},
        {-32768, 0, -1, 0, "full left, the axis' far end"},
        {0, -32768, 0, -1, "full down"},
        {23170, 23170, 0.70711, 0.70711, "full up-right"},
        {32767, 32767, 0.70711, 0.70711, "the square pad's corner counts as the rim"},
        {-20000, 10000, -0.89443 * past(22360.5), 0.44721 * past(22360.5), "the direction stays"},
    };
    for (const Case& c : cases) {
        const StickDeflection d = StickResponse(c.x, c.y);
        EXPECT_NEAR(d.x, c.wantX, 2e-4) << c.name;
        EXPECT_NEAR(d.y, c.wantY, 2e-4) << c.name;
    }
    // Smooth from the edge: no jump where the dead zone ends, never falling further out.
    float previous = 0.0f;
    for (int at = 7849; at <= 32767; at += 97) {
        const float r = StickResponse(at, 0).x;
        EXPECT_GE(r, previous) << at;
        EXPECT_LT(r - previous, 0.01f) << at;
        previous = r;
    }
}

TEST(StickResponseTable, TheDpadIsAFullPushAndThePadNeverExceedsOne) {
    struct Case {
        WORD buttons;
        int thumbX, thumbY;
        float wantX, wantY;
        const char* name;
    };
    const Case cases[] = {
        {XINPUT_GAMEPAD_DPAD_RIGHT, 0, 0, 1.0f, 0.0f, "right"},
        {XINPUT_GAMEPAD_DPAD_DOWN, 0, 0, 0.0f, -1.0f, "down"},
        {XINPUT_GAMEPAD_DPAD_UP | XINPUT_GAMEPAD_DPAD_LEFT, 0, 0, -0.70711f, 0.70711f, "up-left"},
        {XINPUT_GAMEPAD_DPAD_LEFT | XINPUT_GAMEPAD_DPAD_RIGHT, 0, 0, 0.0f, 0.0f, "both ways"},
        {XINPUT_GAMEPAD_DPAD_RIGHT, 32767, 0, 1.0f, 0.0f, "d-pad and stick the same way"},
        {XINPUT_GAMEPAD_DPAD_LEFT, 32767, 0, 0.0f, 0.0f, "d-pad against the stick"},
        {XINPUT_GAMEPAD_A, 0, 32767, 0.0f, 1.0f, "other buttons do not steer"},
    };
    for (const Case& c : cases) {
        XINPUT_GAMEPAD pad{};
        pad.wButtons = c.buttons;
        pad.sThumbLX = (SHORT)c.thumbX;
        pad.sThumbLY = (SHORT)c.thumbY;
        const StickDeflection d = PadDeflection(pad);
        EXPECT_NEAR(d.x, c.wantX, 1e-4) << c.name;
        EXPECT_NEAR(d.y, c.wantY, 1e-4) << c.name;
    }
}

// A stick held at `deflection` (right for x, up for y) for 1.5 s, then let go; the world
// after the frames at 1 s and at 3 s.
std::vector<Flight> FlyStick(SteeringRig& t, float deflectX, float deflectY, int fps) {
    std::vector<Flight> seen;
    for (int k = 0; k <= 3 * fps; ++k) {
        const double at = (double)k / fps;
        StickDeflection stick;
        if (at < 1.5) {
            stick.x = deflectX;
            stick.y = deflectY;
        }
        t.Frame(0, 0, kStart + (int64_t)k * kFrequency / fps, true, stick);
        if (k == fps || k == 3 * fps)
            seen.push_back({t.g.worldOffset.x, t.g.worldOffset.y, t.steering.cameraSway.x,
                            t.steering.cameraSway.y});
    }
    return seen;
}

TEST(SteeringRates, TheStickFliesTheSameFrom30To1000FramesASecond) {
    const float half = StickResponse(16384, 0).x;
    const struct {
        const char* name;
        float x, y;
    } holds[] = {
        {"full right", 1.0f, 0.0f},
        {"half right", half, 0.0f},
        {"full up", 0.0f, 1.0f},
        {"half down-left", -half * 0.70711f, -half * 0.70711f},
    };
    for (const auto& hold : holds) {
        std::vector<Flight> reference;
        {
            SteeringRig t;
            reference = FlyStick(t, hold.x, hold.y, 60);
        }
        for (int fps : {30, 144, 240, 500, 1000}) {
            SteeringRig t;
            const std::vector<Flight> got = FlyStick(t, hold.x, hold.y, fps);
            for (int i = 0; i < 2; ++i) {
                auto near = [](float want, float have) {
                    return std::fabs(have - want) <= std::fmax(0.01f * std::fabs(want), 0.5f);
                };
                const std::string where = std::string(hold.name) + " at " + std::to_string(fps) +
                                          " fps after " + (i == 0 ? "1 s" : "3 s");
                EXPECT_TRUE(near(reference[i].worldX, got[i].worldX))
                    << where << ": world x " << got[i].worldX << ", at 60 fps "
                    << reference[i].worldX;
                EXPECT_TRUE(near(reference[i].worldY, got[i].worldY))
                    << where << ": world y " << got[i].worldY << ", at 60 fps "
                    << reference[i].worldY;
                EXPECT_TRUE(near(reference[i].swayX, got[i].swayX)) << where << ": sway x";
                EXPECT_TRUE(near(reference[i].swayY, got[i].swayY)) << where << ": sway y";
            }
        }
        // Held for 1.5 s at the stick's speed, then let go: the target stopped there, and
        // up on the stick is up on the mouse (the world's y falls).
        EXPECT_NEAR(reference[1].worldX, hold.x * kStickSpeed * 1.5f, 0.5f) << hold.name;
        EXPECT_NEAR(reference[1].worldY, -hold.y * kStickSpeed * 1.5f, 0.5f) << hold.name;
    }
}

TEST_F(SteeringTest, LettingGoOfTheStickStopsTheTargetWhereItIs) {
    StickDeflection full;
    full.x = 1.0f;
    for (int k = 0; k < 30; ++k) Frame(0, 0, kStart + k * kFrequency / 60, true, full);
    const float held = steering.steerTarget.x;
    EXPECT_NEAR(held, 30 * kStickSpeed / 60.0f, 0.01f);
    for (int k = 30; k < 200; ++k) Frame(0, 0, kStart + k * kFrequency / 60);
    // The step after the release still had the stick on its way back from full.
    EXPECT_NEAR(steering.steerTarget.x, held, kStickSpeed / 60.0f);
    const float stopped = steering.steerTarget.x;
    Frame(0, 0, kStart + 200 * kFrequency / 60);
    EXPECT_EQ(steering.steerTarget.x, stopped);
    EXPECT_NEAR(g.worldOffset.x, stopped, 0.1f);
}

TEST_F(SteeringTest, WithoutTheFocusTheStickDoesNotSteer) {
    StickDeflection full;
    full.x = 1.0f;
    for (int k = 0; k < 10; ++k) Frame(0, 0, kStart + k * kFrequency / 60, false, full);
    EXPECT_EQ(steering.steerTarget.x, 0.0f);
}

// --- the settings: sensitivity and vertical inversion -----------------------------------

TEST(SteeringSettings, SensitivityScalesTheMovementBeforeTheDivisionAndInversionTurnsItOver) {
    struct Case {
        int sensitivity;
        bool invertY;
        std::vector<int> movesX, movesY;  // one a step
        float stickY;                     // held for 60 steps
        float targetX, targetY;
        const char* name;
    };
    const float stick = kStickSpeed;  // a second of full deflection at 100
    const Case cases[] = {
        {100, false, {7, 8}, {-10}, 0.0f, 3.0f, -2.0f, "100: the division by 5 as ever"},
        {50, false, {10}, {}, 0.0f, 1.0f, 0.0f, "50: 10 px is one fifth"},
        {50, false, {9, 1}, {}, 0.0f, 1.0f, 0.0f, "50: the remainder waits"},
        {200, false, {3, 2}, {}, 0.0f, 2.0f, 0.0f, "200: 3 px is one, 100 waits for 2 more"},
        {200, false, {-3}, {}, 0.0f, -1.0f, 0.0f, "200 leftwards"},
        {100, true, {}, {50}, 0.0f, 0.0f, -10.0f, "inverted: down steers up"},
        {100, false, {}, {}, 1.0f, 0.0f, -stick, "the stick up steers up"},
        {100, true, {}, {}, 1.0f, 0.0f, stick, "inverted: the stick up steers down"},
        {50, false, {}, {}, 1.0f, 0.0f, -stick / 2, "50: the stick at half speed"},
        {150, true, {}, {}, -1.0f, 0.0f, -stick * 1.5f, "150, inverted, the stick down"},
    };
    for (const Case& c : cases) {
        SteeringRig t;
        t.steering.sensitivity = c.sensitivity;
        t.steering.invertY = c.invertY;
        const size_t steps = c.stickY != 0.0f ? 60 : std::max(c.movesX.size(), c.movesY.size());
        for (size_t k = 0; k < steps; ++k) {
            const int dx = k < c.movesX.size() ? c.movesX[k] : 0;
            const int dy = k < c.movesY.size() ? c.movesY[k] : 0;
            StickDeflection d;
            d.y = c.stickY;
            t.Frame(dx, dy, kStart + (int64_t)k * kFrequency / 60, true, d);
        }
        EXPECT_NEAR(t.steering.steerTarget.x, c.targetX, 1e-3) << c.name;
        EXPECT_NEAR(t.steering.steerTarget.y, c.targetY, 1e-3) << c.name;
    }
}

}  // namespace
