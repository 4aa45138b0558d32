#include "tests/soak/soak_checks.h"

#include <cmath>

#include "game/world.h"
#include "tests/soak/soak_report.h"

namespace {
const float kEnergyCeiling = 1.8f;
}

void CheckRules(long frame, const GameState& g, const GameState& previous, int framesPerSecond) {
    if (g.energy > kEnergyCeiling) Fail(frame, Format("energy %g above 1.8", g.energy));
    for (int i = 0; i < 4; ++i)
        if (!(g.zoneMeters[i] >= 0.0f && g.zoneMeters[i] <= kEnergyCeiling))
            Fail(frame, Format("zone meter %d is %g", i, g.zoneMeters[i]));
    if (g.collectibleKind < 0 || g.collectibleKind > 2)
        Fail(frame, Format("collectible kind %d", g.collectibleKind));
    if (g.collectibleActive != 0 && g.collectibleActive != 1)
        Fail(frame, Format("collectible state %d", g.collectibleActive));
    for (int k = 0; k < 3; ++k) {
        const int d = g.collected[k] - previous.collected[k];
        if (d < 0) Fail(frame, Format("count %d went down", k));
        if (d > 0 && (d != 1 || k != previous.collectibleKind))
            Fail(frame, Format("count %d grew by %d with kind %d out", k, d,
                               previous.collectibleKind));
    }
    // The first frame has no previous counter reading and lasts 0.
    if (frame > 1 && std::fabs(g.frameTime - 1.0f / (float)framesPerSecond) > 1e-6f)
        Fail(frame, Format("frame time %g", g.frameTime));
    if (frame > 1 && !(g.totalTime > previous.totalTime))
        Fail(frame, Format("total time stuck at %g", g.totalTime));
    if (frame > 2 * framesPerSecond && std::fabs(g.fps - (float)framesPerSecond) > 1.0f)
        Fail(frame, Format("frame rate %g", g.fps));
}

void CheckRing(long frame, RingWatch& ring, int framesPerSecond) {
    if (!landscape.ready) Fail(frame, "the ring is not ready");
    if (landscape.head < 0 || landscape.head >= kRingSlots)
        Fail(frame, Format("ring head %d", landscape.head));
    if (landscape.head != ring.previousHead) {
        if (landscape.head != (ring.previousHead + 1) % kRingSlots)
            Fail(frame,
                 Format("ring head jumped from %d to %d", ring.previousHead, landscape.head));
        const float newest = landscape.stamps[landscape.head];
        const float before = landscape.stamps[ring.previousHead];
        if (ring.advances > 0 && !(newest > before))
            Fail(frame, Format("stamp %g not after %g", newest, before));
        ++ring.advances;
        ring.previousHead = landscape.head;
    }
    // An advance takes at least 0.015 of stamp time, which is 1.6666666 x a third of
    // the frame time at 60 frames a second: about every second frame.
    if (frame > framesPerSecond && ring.advances < frame / 3)
        Fail(frame, Format("the ring advanced only %ld times in %ld frames", ring.advances, frame));
    if (ring.advances >= kRingSlots) {
        const float span = landscape.RingSpan();
        if (span != 0.0f && !(span >= 75.0f && span <= 78.0f))
            Fail(frame, Format("ring span %g", span));
    }
}
