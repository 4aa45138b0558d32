// A new flight starts from exactly the state a new start gives: the game, the landscape's
// ring and the steering compared field by field with fresh ones, after a flight that
// changed every one of them. The random draws go on where they were.
#include "app/flight.h"

#include <gtest/gtest.h>

#include "core/game_random.h"

namespace {

void ExpectSameMat(const Mat4& a, const Mat4& b, const char* what) {
    for (int i = 0; i < 16; ++i) EXPECT_EQ(a.m[i], b.m[i]) << what << "[" << i << "]";
}

void ExpectSameVec(const Vec3& a, const Vec3& b, const char* what) {
    EXPECT_EQ(a.x, b.x) << what;
    EXPECT_EQ(a.y, b.y) << what;
    EXPECT_EQ(a.z, b.z) << what;
}

TEST(FlightStartTest, ANewFlightIsTheFreshStateFieldByField) {
    // A flight that went somewhere: every field away from its start.
    GameState g;
    g.totalTime = 14.5f;
    g.frameTime = 0.016f;
    g.landscapeTime = 4.8f;
    g.lastCounter = 123456789;
    g.energy = -0.01f;
    g.worldOffset = Vec3{12.0f, -7.0f, 1.0f};
    g.cameraMatrix.Identity();
    g.shipMatrix.Identity();
    g.collectibleMatrix.Identity();
    g.collectibleMatrix.m[14] = 900.0f;
    g.collectibleActive = 1;
    g.collectibleKind = 2;
    g.collected[0] = 3;
    g.collected[1] = 1;
    g.collected[2] = 4;
    for (float& m : g.zoneMeters) m = 1.8f;
    g.fps = 59.9f;
    g.fpsFrames = 12;
    g.fpsStartClock = 4000;
    g.paused = 1;

    ContourLandscape land;
    land.head = 17;
    land.stamps[3] = 2.5f;
    land.stamps[17] = 8.0f;
    land.slots[5]->Push(SliceSegment{});
    land.current = land.slots[5];
    land.sources.Push(Vec3{1.0f, 2.0f, 3.0f});

    Steering s;
    s.steerTarget = Vec3{40.0f, 5.0f, 0.0f};
    s.cameraSway = Vec3{1.0f, 2.0f, -30.0f};
    s.pendingX = 3;
    s.pendingY = -2;
    s.clockStarted = true;
    s.clockOrigin = 99;
    s.nextStep = 7;
    s.lastLook = 98;
    s.lastStepAt = 97;
    s.stepTaken = true;

    SetGameRandState(0x12345678u);
    ResetFlightState(g, land, s);
    EXPECT_EQ(GameRandState(), 0x12345678u) << "the random draws go on where they were";

    const GameState fresh;
    EXPECT_EQ(g.totalTime, fresh.totalTime);
    EXPECT_EQ(g.frameTime, fresh.frameTime);
    EXPECT_EQ(g.landscapeTime, fresh.landscapeTime);
    EXPECT_EQ(g.lastCounter, fresh.lastCounter);
    EXPECT_EQ(g.energy, fresh.energy);
    ExpectSameVec(g.worldOffset, fresh.worldOffset, "worldOffset");
    ExpectSameMat(g.cameraMatrix, fresh.cameraMatrix, "cameraMatrix");
    ExpectSameMat(g.shipMatrix, fresh.shipMatrix, "shipMatrix");
    ExpectSameMat(g.collectibleMatrix, fresh.collectibleMatrix, "collectibleMatrix");
    EXPECT_EQ(g.collectibleActive, fresh.collectibleActive);
    EXPECT_EQ(g.collectibleKind, fresh.collectibleKind);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(g.collected[k], fresh.collected[k]) << k;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(g.zoneMeters[i], fresh.zoneMeters[i]) << i;
    EXPECT_EQ(g.fps, fresh.fps);
    EXPECT_EQ(g.fpsFrames, fresh.fpsFrames);
    EXPECT_EQ(g.fpsStartClock, fresh.fpsStartClock);
    EXPECT_EQ(g.paused, fresh.paused);

    const ContourLandscape freshLand;
    EXPECT_EQ(land.head, freshLand.head);
    EXPECT_EQ(land.ready, freshLand.ready);
    EXPECT_EQ(land.current, nullptr);
    EXPECT_EQ(land.sources.count, freshLand.sources.count);
    for (int i = 0; i < kRingSlots; ++i) {
        EXPECT_EQ(land.stamps[i], freshLand.stamps[i]) << i;
        EXPECT_EQ(land.slots[i]->count, freshLand.slots[i]->count) << i;
    }

    const Steering freshSteering;
    ExpectSameVec(s.steerTarget, freshSteering.steerTarget, "steerTarget");
    ExpectSameVec(s.cameraSway, freshSteering.cameraSway, "cameraSway");
    EXPECT_EQ(s.pendingX, freshSteering.pendingX);
    EXPECT_EQ(s.pendingY, freshSteering.pendingY);
    EXPECT_EQ(s.clockStarted, freshSteering.clockStarted);
    EXPECT_EQ(s.clockOrigin, freshSteering.clockOrigin);
    EXPECT_EQ(s.nextStep, freshSteering.nextStep);
    EXPECT_EQ(s.lastLook, freshSteering.lastLook);
    EXPECT_EQ(s.lastStepAt, freshSteering.lastStepAt);
    EXPECT_EQ(s.stepTaken, freshSteering.stepTaken);
}

}  // namespace
