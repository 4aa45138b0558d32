#include "landscape/scalar_field.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

void PlaceAt(GrowArray<Vec3>& sources, float x) {
    sources.Clear();
    for (int k = 0; k < 4; ++k) ASSERT_EQ(1, sources.Push(SourcePosition(k, x)));
}

Vec3 V(float x, float y, float z) {
    Vec3 v;
    v.Set(x, y, z);
    return v;
}

struct PositionCase {
    float x;
    int k;
    float ex, ey;
};

class SourcePositionTest : public ::testing::TestWithParam<PositionCase> {};

TEST_P(SourcePositionTest, StandsWhereTheMotionPutsIt) {
    const PositionCase& c = GetParam();
    Vec3 p = SourcePosition(c.k, c.x);
    EXPECT_NEAR(c.ex, p.x, 0.01f);
    EXPECT_NEAR(c.ey, p.y, 0.01f);
    EXPECT_EQ(0.0f, p.z);
}

INSTANTIATE_TEST_SUITE_P(
    TimesZeroAndOne, SourcePositionTest,
    ::testing::Values(PositionCase{0.0f, 0, 166.6667f, -166.6667f},
                      PositionCase{0.0f, 1, 166.6667f, 166.6667f},
                      PositionCase{0.0f, 2, -166.6667f, 166.6667f},
                      PositionCase{0.0f, 3, -166.6667f, -166.6667f},
                      PositionCase{1.0f, 0, 10.11f, 479.82f},
                      PositionCase{1.0f, 1, 57.70f, 476.45f},
                      PositionCase{1.0f, 2, -10.11f, -479.82f},
                      PositionCase{1.0f, 3, -57.70f, -476.45f}));

TEST(SourcePosition, AnyIndexAboveThreeMovesLikeThree) {
    for (float x : {0.0f, 0.37f, 1.0f, 12.5f}) {
        Vec3 three = SourcePosition(3, x);
        for (int k : {4, 7, 100}) {
            Vec3 p = SourcePosition(k, x);
            EXPECT_EQ(three.x, p.x) << "k " << k << " x " << x;
            EXPECT_EQ(three.y, p.y) << "k " << k << " x " << x;
        }
    }
}

TEST(SourcePosition, StaysOnTheFlatPatternRadius) {
    // |(a, b)| is at most 150 * sqrt(2), and the rotation keeps lengths: no source ever
    // leaves the disc of radius K * 212.13 = 707.1 around the origin.
    float largest = 0.0f;
    for (int step = 0; step < 4000; ++step) {
        const float x = step * 0.0137f;
        for (int k = 0; k < 4; ++k) {
            Vec3 p = SourcePosition(k, x);
            EXPECT_EQ(0.0f, p.z);
            largest = std::max(largest, p.Length());
        }
    }
    EXPECT_LE(largest, 707.2f);
}

TEST(FieldValue, AtTheOriginWithTheSourcesOfTimeZero) {
    GrowArray<Vec3> sources;
    PlaceAt(sources, 0.0f);
    const double d2 = 2.0 * (500.0 / 3.0) * (500.0 / 3.0);
    EXPECT_NEAR(4.0 * 5.0 / d2, FieldValue(sources, V(0, 0, 0)), 1e-8);
    EXPECT_NEAR(0.00036, FieldValue(sources, V(0, 0, 0)), 1e-6);
    EXPECT_LT(FieldValue(sources, V(1000, 1000, 0)), 0.000125f / 4.0f);
}

TEST(FieldValue, SumsTheSourceTerms) {
    GrowArray<Vec3> sources;
    PlaceAt(sources, 0.7f);
    const Vec3 p = V(120.0f, -35.0f, 10.0f);
    const float sum = SourceValue(sources, p, 0) + SourceValue(sources, p, 1) +
                      SourceValue(sources, p, 2) + SourceValue(sources, p, 3);
    EXPECT_NEAR(sum, FieldValue(sources, p), 1e-9);
    // One term by hand: 5 / squared distance, z included.
    const Vec3 s = sources.items[2];
    const double d2 = (double)(s.x - p.x) * (s.x - p.x) + (double)(s.y - p.y) * (s.y - p.y) + 100.0;
    EXPECT_NEAR(5.0 / d2, SourceValue(sources, p, 2), 1e-9);
}

TEST(FieldValue, EmptyListGivesZero) {
    GrowArray<Vec3> sources;
    EXPECT_EQ(0.0f, FieldValue(sources, V(0, 0, 0)));
    EXPECT_EQ(0.0f, FieldValue(sources, V(10, -20, 0)));
}

TEST(FieldValue, PointOnASourceIsPositiveInfinity) {
    GrowArray<Vec3> sources;
    PlaceAt(sources, 0.3f);
    const Vec3 s1 = sources.items[1];
    EXPECT_TRUE(std::isinf(FieldValue(sources, s1)));
    EXPECT_GT(FieldValue(sources, s1), 0.0f);
    EXPECT_TRUE(std::isinf(SourceValue(sources, s1, 1)));
    EXPECT_TRUE(std::isfinite(SourceValue(sources, s1, 0)));
}

TEST(SourceValue, MissingSourceContributesNothing) {
    GrowArray<Vec3> sources;
    ASSERT_EQ(1, sources.Push(SourcePosition(0, 0.0f)));
    ASSERT_EQ(1, sources.Push(SourcePosition(1, 0.0f)));
    const Vec3 p = V(0, 0, 0);
    EXPECT_GT(SourceValue(sources, p, 1), 0.0f);
    EXPECT_EQ(0.0f, SourceValue(sources, p, 2));
    EXPECT_EQ(0.0f, SourceValue(sources, p, 3));
    EXPECT_EQ(0.0f, SourceValue(sources, p, -1));
    // The colour of a two-source list is still a unit mix of red and green.
    Vec3 c = ContourColour(sources, p);
    EXPECT_NEAR(1.0f, c.Length(), 1e-6f);
    EXPECT_EQ(0.0f, c.z);
}

TEST(ContourColour, NearSourceOneIsGreen) {
    GrowArray<Vec3> sources;
    PlaceAt(sources, 0.0f);
    Vec3 p = sources.items[1];
    p.x += 3.0f;
    Vec3 c = ContourColour(sources, p);
    EXPECT_NEAR(0.0f, c.x, 1e-3f);
    EXPECT_NEAR(1.0f, c.y, 1e-3f);
    EXPECT_NEAR(0.0f, c.z, 1e-3f);
}

TEST(ContourColour, EquallyDistantFromAllFourIsTwoOneTwoOverThree) {
    GrowArray<Vec3> sources;
    PlaceAt(sources, 0.0f);
    Vec3 c = ContourColour(sources, V(0, 0, 0));
    EXPECT_NEAR(2.0f / 3.0f, c.x, 1e-6f);
    EXPECT_NEAR(1.0f / 3.0f, c.y, 1e-6f);
    EXPECT_NEAR(2.0f / 3.0f, c.z, 1e-6f);
}

TEST(ContourColour, AlwaysUnitLength) {
    GrowArray<Vec3> sources;
    PlaceAt(sources, 2.2f);
    for (float x = -1200.0f; x <= 1200.0f; x += 150.0f)
        for (float y = -1200.0f; y <= 1200.0f; y += 150.0f)
            EXPECT_NEAR(1.0f, ContourColour(sources, V(x, y, 0)).Length(), 1e-5f);
}

}  // namespace
