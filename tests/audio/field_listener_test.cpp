// The drone's listener on a real landscape, advanced frame by frame as the game advances
// it: at each landscape time and world offset the mix must be the one of the slice where
// the ship is (the oldest, nearest the viewer) at (-x, -y), worked out here on its own
// from that slice's sources.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/field_mix.h"
#include "landscape/scalar_field.h"
#include "tests/support/game/game_harness.h"

namespace {

struct Reference {
    double shares[4];
    double presence;
};

// Inverse-square terms of 5 / d^2, shares of their sum, and the presence level / (level +
// 0.5) with level = 10000 x the sum (0.5 is where the game's extra drain begins).
Reference MixOf(const Vec3 (&sources)[4], double x, double y) {
    Reference r;
    double terms[4], sum = 0.0;
    for (int k = 0; k < 4; ++k) {
        const double dx = (double)sources[k].x - x, dy = (double)sources[k].y - y;
        sum += terms[k] = 5.0 / (dx * dx + dy * dy);
    }
    for (int k = 0; k < 4; ++k) r.shares[k] = terms[k] / sum;
    r.presence = 10000.0 * sum / (10000.0 * sum + 0.5);
    return r;
}

double Distance(const Reference& a, const FieldMix& b) {
    double d = std::fabs(a.presence - (double)b.presence);
    for (int k = 0; k < 4; ++k) d = std::max(d, std::fabs(a.shares[k] - (double)b.shares[k]));
    return d;
}

double Distance(const Reference& a, const Reference& b) {
    double d = std::fabs(a.presence - b.presence);
    for (int k = 0; k < 4; ++k) d = std::max(d, std::fabs(a.shares[k] - b.shares[k]));
    return d;
}

TEST(FieldListenerTest, TheShipHearsTheSliceWhereItIs) {
    if (!SharedGameHarness().Ok()) GTEST_SKIP() << "no display or data files";
    ContourLandscape land;
    ASSERT_TRUE(land.ready);
    // World offsets: the ship at the origin of the view stands at (-x, -y) of the field.
    const Vec3 offsets[] = {{0, 0, 0},       {150, -80, 0},   {-400, 250, 0},
                            {900, 700, 0},   {-60, -1200, 0}, {2500, -300, 0}};
    // Landscape times (a third of the play time): early, before the ring has gone round
    // (its oldest slot is the first), and twice after it has.
    const int framesBefore[] = {20, 100, 150};
    float x = 0.0f;
    int done = 0;
    int toldApart = 0;  // cases in which a wrong slice or the mirrored place would differ
    for (int frames : framesBefore) {
        for (; done < frames; ++done) {
            x += 0.011f;
            land.AdvanceAndDraw(x);
        }
        const int oldest = (land.head + 1) % kRingSlots;
        Vec3 here[4], newest[4];
        for (int k = 0; k < 4; ++k) {
            here[k] = land.OldestSource(k, x);
            newest[k] = SourcePosition(k, land.stamps[land.head] * 0.6f);
        }
        ASSERT_NE(land.stamps[oldest], land.stamps[land.head]);
        for (const Vec3& o : offsets) {
            FieldListener listener;
            const FieldMix mix = listener.Listen(land, o);
            const Reference want = MixOf(here, -o.x, -o.y);
            EXPECT_LT(Distance(want, mix), 1e-4) << "at x " << x << ", offset " << o.x << ", " << o.y;
            if (Distance(want, MixOf(newest, -o.x, -o.y)) > 1e-2 &&
                Distance(want, MixOf(here, o.x, o.y)) > 1e-2)
                ++toldApart;
        }
    }
    // The table has to be able to catch a listener at the wrong slice or place.
    EXPECT_GE(toldApart, 12);
}

}  // namespace
