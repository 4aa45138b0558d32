// GameState: everything the game keeps from one frame to the next.
#pragma once

#include <cstdint>

#include "core/vec3.h"

struct GameState {
    float totalTime = 0.0f;      // seconds of play: the sum of all frame times
    float frameTime = 0.0f;      // duration of the last frame in seconds
    float landscapeTime = 0.0f;  // totalTime * 0.33333334: drives the landscape and the collectible
    int64_t lastCounter = -1;    // performance counter of the previous frame; -1 before the first
    float energy = 1.8f;
    Vec3 worldOffset{0.0f, 0.0f, 0.0f};  // sideways shift of the world under the steering
    Mat4 cameraMatrix{};                 // eye in 12..14, unit view direction in 8..10
    Mat4 shipMatrix{};
    Mat4 collectibleMatrix{};  // its translation is the collectible's position
    int collectibleActive = 0;
    int collectibleKind = 0;  // 0 atom, 1 flower, 2 fractal
    int collected[3] = {0, 0, 0};
    float zoneMeters[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float fps = 0.0f;
    int fpsFrames = 0;
    int fpsStartClock = -1;
    int paused = 0;
};
