// The field's mix at a point, on placements whose answer is worked out by hand.
#include <gtest/gtest.h>

#include "audio/field_mix.h"

namespace {

void Place(GrowArray<Vec3>& s, const Vec3 (&p)[4]) {
    for (const Vec3& v : p) ASSERT_TRUE(s.Push(v));
}

TEST(FieldMixTest, SharesAndPresenceOnKnownPlacements) {
    // A square of half-side a around the point: each source is a*sqrt(2) away, so each
    // term is 5 / (2 a^2), the field 10 / a^2 and the rules' level 100000 / a^2. At
    // a^2 = 200000 that is the edge (0.5): presence 0.5.
    const float a = 447.2136f;
    struct Case {
        Vec3 sources[4];
        Vec3 at;
        float shares[4];
        float presence;
    } cases[] = {
        {{{a, a, 0}, {-a, a, 0}, {-a, -a, 0}, {a, -a, 0}}, {0, 0, 0}, {0.25f, 0.25f, 0.25f, 0.25f}, 0.5f},
        // Twice as far from sources 2 and 3: a quarter of the term each. The field is
        // 0.05 + 0.05 + 0.0125 + 0.0125, the level 1250: presence 1250 / 1250.5.
        {{{10, 0, 0}, {-10, 0, 0}, {0, 20, 0}, {0, -20, 0}}, {0, 0, 0}, {0.4f, 0.4f, 0.1f, 0.1f}, 0.9996002f},
        // Deep in at source 3, far from the others.
        {{{5000, 0, 0}, {-5000, 0, 0}, {0, 5000, 0}, {1, 0, 0}}, {0, 0, 0}, {0.0f, 0.0f, 0.0f, 1.0f}, 1.0f},
    };
    for (const Case& c : cases) {
        GrowArray<Vec3> s;
        Place(s, c.sources);
        const FieldMix mix = MixAt(s, c.at);
        for (int k = 0; k < 4; ++k) EXPECT_NEAR(mix.shares[k], c.shares[k], 1e-4f) << k;
        EXPECT_NEAR(mix.presence, c.presence, 1e-4f);
    }
}

TEST(FieldMixTest, OnASourceThatSourceHasItAll) {
    GrowArray<Vec3> s;
    const Vec3 p[4] = {{0, 0, 0}, {100, 0, 0}, {0, 100, 0}, {-100, 0, 0}};
    Place(s, p);
    const FieldMix mix = MixAt(s, Vec3{0, 100, 0});
    EXPECT_EQ(mix.shares[2], 1.0f);
    EXPECT_EQ(mix.shares[0] + mix.shares[1] + mix.shares[3], 0.0f);
    EXPECT_EQ(mix.presence, 1.0f);
}

TEST(FieldMixTest, NothingToHearWithoutFourSourcesOrBeforeTheLandscapeIsReady) {
    GrowArray<Vec3> s;
    ASSERT_TRUE(s.Push(Vec3{0, 0, 0}));
    EXPECT_EQ(MixAt(s, Vec3{1, 1, 0}).presence, 0.0f);
    ContourLandscape land;
    land.ready = 0;  // as when its slices could not be made
    FieldListener listener;
    const FieldMix mix = listener.Listen(land, Vec3{0, 0, 0});
    EXPECT_EQ(mix.presence, 0.0f);
    EXPECT_EQ(mix.shares[0] + mix.shares[1] + mix.shares[2] + mix.shares[3], 0.0f);
}

}  // namespace
