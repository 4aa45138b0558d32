#include "tests/soak/soak_player.h"

#include <cmath>

#include "platform/sdl/seam.h"

namespace {

// Mouse motion (in pixels; the steering divides by 5) that moves the eventual world
// offset by `shift` units, at most `limit` units in one step.
int MotionFor(float shift, float limit) {
    if (shift > limit) shift = limit;
    if (shift < -limit) shift = -limit;
    return (int)std::lround(shift) * 5;
}

}  // namespace

bool SoakPlayer::ChooseToChase() {
    state = state * 1664525u + 1013904223u;
    chasing = (int)((state >> 8) % 100u) < 50;
    return chasing;
}

void SoakPlayer::Move(const GameState& g, const Steering& steering, long frame,
                      int framesPerSecond) {
    const float* cm = g.collectibleMatrix.m;
    const float pendingX = steering.steerTarget.x - g.worldOffset.x;
    const float pendingY = steering.steerTarget.y - g.worldOffset.y;
    int dx, dy;
    if (g.collectibleActive == 1 && chasing) {
        // Where the collectible ends up once the world has caught up with the target.
        dx = MotionFor(-(cm[12] + pendingX), 400.0f);
        dy = MotionFor(-(cm[13] + pendingY), 400.0f);
    } else {
        const float t = (float)frame / (float)framesPerSecond;
        const float wantX = 700.0f * std::sin(t * 0.05f) + 200.0f * std::sin(t * 0.31f);
        const float wantY = 500.0f * std::sin(t * 0.037f + 1.0f);
        dx = MotionFor(wantX - steering.steerTarget.x, 20.0f);
        dy = MotionFor(wantY - steering.steerTarget.y, 20.0f);
    }
    if (dx != 0 || dy != 0) orvseam::PushMouseMotion(dx, dy);
}
