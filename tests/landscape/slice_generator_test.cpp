#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/alloc_failure.h"
#include "core/game_random.h"
#include "landscape/contour_landscape.h"
#include "landscape/contour_slice.h"
#include "landscape/scalar_field.h"

namespace {

const float T = 0.000125f;
const float kAbove = 0.000225f;
const float kBelow = 0.000025f;

// ---- Reference: the grid traced the plain way, every corner sampled afresh. ----

struct Reference {
    std::vector<SliceSegment> segments;
    int contourCount = 0;
    int saddles = 0;
    float farthest = 0.0f;  // largest |x| or |y| of a crossed cell's corners
};

Vec3 Crossing(char edge, float x0, float y0, float x1, float y1, const float f[4]) {
    Vec3 p;
    if (edge == 'A') p.Set(x0 + 50.0f * (f[0] - T) / (f[0] - f[1]), y0, 0.0f);
    else if (edge == 'B') p.Set(x1, y0 + 50.0f * (f[1] - T) / (f[1] - f[2]), 0.0f);
    else if (edge == 'C') p.Set(x0 + 50.0f * (f[3] - T) / (f[3] - f[2]), y1, 0.0f);
    else p.Set(x0, y0 + 50.0f * (f[0] - T) / (f[0] - f[3]), 0.0f);
    return p;
}

const char* CaseEdges(int index) {
    switch (index) {
        case 1: return "AD";
        case 2: return "AB";
        case 3: return "BD";
        case 4: return "CB";
        case 5: return "CBAD";
        case 6: return "AC";
        case 7: return "DC";
        case 8: return "DC";
        case 9: return "AC";
        case 10: return "DCAB";
        case 11: return "CB";
        case 12: return "BD";
        case 13: return "AB";
        case 14: return "AD";
        default: return "";
    }
}

Reference TraceFresh(const GrowArray<Vec3>& sources) {
    Reference ref;
    for (int j = -25; j <= 24; ++j) {
        for (int i = -24; i <= 25; ++i) {
            const float x0 = (float)((i - 1) * 50), x1 = (float)(i * 50);
            const float y0 = (float)(j * 50), y1 = (float)((j + 1) * 50);
            Vec3 c[4];
            c[0].Set(x0, y0, 0);
            c[1].Set(x1, y0, 0);
            c[2].Set(x1, y1, 0);
            c[3].Set(x0, y1, 0);
            float f[4];
            int index = 0;
            for (int k = 0; k < 4; ++k) {
                f[k] = FieldValue(sources, c[k]);
                if (f[k] > T) index += 1 << k;
            }
            const char* edges = CaseEdges(index);
            if (*edges == 0) continue;
            if (index == 5 || index == 10) ++ref.saddles;
            ref.farthest = std::max(ref.farthest, std::max(std::max(std::fabs(x0), std::fabs(x1)),
                                                           std::max(std::fabs(y0), std::fabs(y1))));
            for (; *edges; edges += 2) {
                SliceSegment s;
                s.start = Crossing(edges[0], x0, y0, x1, y1, f);
                s.end = Crossing(edges[1], x0, y0, x1, y1, f);
                s.startColour = ContourColour(sources, s.start);
                s.endColour = ContourColour(sources, s.end);
                ref.segments.push_back(s);
                ++ref.contourCount;
            }
        }
    }
    for (int a = 0; a < 20; ++a) {
        const int y = 4096 - (GameRand() & 8191);
        const int x = 4096 - (GameRand() & 8191);
        if (x * x + y * y < 1000000) continue;
        SliceSegment s;
        s.start.Set((float)x, (float)y, 0);
        s.end.Set((float)x, (float)y, -50);
        s.startColour.Set(0, 0, 0);
        s.endColour.Set(0.8f, 0.8f, 1.0f);
        ref.segments.push_back(s);
    }
    return ref;
}

// A landscape whose slot 0 is generated from the sources of time x.
void Generate(ContourLandscape& land, float x, int slot = 0) {
    ASSERT_EQ(1, land.ready);
    ASSERT_EQ(1, land.PlaceSources(x));
    land.current = land.slots[slot];
    land.current->Clear();
    land.GenerateSlice();
}

class SliceGeneratorTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = GameRandState(); }
    void TearDown() override {
        SetGameRandState(saved_);
        SetAllocFailure(-1);
    }
    uint32_t saved_ = 0;
    ContourLandscape land;
};

// ---- One cell ----

char EdgeOf(const Vec3& p, float x0, float y0, float x1, float y1) {
    if (p.y == y0 && p.x > x0 && p.x < x1) return 'A';
    if (p.x == x1 && p.y > y0 && p.y < y1) return 'B';
    if (p.y == y1 && p.x > x0 && p.x < x1) return 'C';
    if (p.x == x0 && p.y > y0 && p.y < y1) return 'D';
    return '?';
}

TEST(MarchCell, EveryCaseCutsTheEdgesOfTheTable) {
    const char* expected[16] = {"",   "AD", "AB", "BD",   "CB", "CBAD", "AC", "DC",
                                "DC", "AC", "DCAB", "CB", "BD", "AB", "AD", ""};
    const float x0 = 100, y0 = -200, x1 = 150, y1 = -150;
    for (int index = 0; index < 16; ++index) {
        float f[4];
        for (int k = 0; k < 4; ++k) f[k] = (index >> k) & 1 ? kAbove : kBelow;
        Vec3 ends[4];
        const int n = MarchCell(x0, y0, x1, y1, f[0], f[1], f[2], f[3], ends);
        std::string got;
        for (int e = 0; e < 2 * n; ++e) {
            got += EdgeOf(ends[e], x0, y0, x1, y1);
            EXPECT_EQ(0.0f, ends[e].z);
        }
        EXPECT_EQ(expected[index], got) << "case " << index;
    }
}

TEST(MarchCell, CaseOneCrossesHalfwayAlongBothEdges) {
    Vec3 ends[4];
    ASSERT_EQ(1, MarchCell(-300, 450, -250, 500, 0.000225f, 0.000025f, 0.000025f, 0.000025f, ends));
    EXPECT_NEAR(-275.0f, ends[0].x, 1e-3f);
    EXPECT_EQ(450.0f, ends[0].y);
    EXPECT_EQ(-300.0f, ends[1].x);
    EXPECT_NEAR(475.0f, ends[1].y, 1e-3f);
}

struct CrossingCase {
    float f0, f1, f2, f3;
    float sx, sy, ex, ey;  // expected start and end, relative to corner 0
};

TEST(MarchCell, CrossingIsMeasuredFromTheFirstNamedCorner) {
    // Uneven corner values, so that measuring from the wrong corner shows.
    const CrossingCase cases[] = {
        {4 * T, 0, 0, 0, 37.5f, 0, 0, 37.5f},         // case 1: A then D, from corner 0
        {0, 0, 4 * T, 0, 12.5f, 50, 50, 12.5f},       // case 4: C from corner 3, B from 1
        {0, 4 * T, 0, 0, 12.5f, 0, 50, 37.5f},        // case 2: A from 0, B from 1
        {0, 0, 0, 4 * T, 0, 12.5f, 37.5f, 50},        // case 8: D from 0, C from 3
    };
    const float x0 = -600, y0 = 250;
    for (const CrossingCase& c : cases) {
        Vec3 ends[4];
        ASSERT_EQ(1, MarchCell(x0, y0, x0 + 50, y0 + 50, c.f0, c.f1, c.f2, c.f3, ends));
        EXPECT_NEAR(x0 + c.sx, ends[0].x, 1e-3f);
        EXPECT_NEAR(y0 + c.sy, ends[0].y, 1e-3f);
        EXPECT_NEAR(x0 + c.ex, ends[1].x, 1e-3f);
        EXPECT_NEAR(y0 + c.ey, ends[1].y, 1e-3f);
    }
}

TEST(MarchCell, CornerExactlyAtTheLevelCountsAsBelow) {
    Vec3 ends[4];
    EXPECT_EQ(0, MarchCell(0, 0, 50, 50, T, kBelow, kBelow, kBelow, ends));
    EXPECT_EQ(0, MarchCell(0, 0, 50, 50, T, T, T, T, ends));
    EXPECT_EQ(0, MarchCell(0, 0, 50, 50, kAbove, kAbove, kAbove, kAbove, ends));
    // Corner 0 at the level and corner 1 above: case 2, and edge A is crossed right at
    // corner 0.
    ASSERT_EQ(1, MarchCell(0, 0, 50, 50, T, kAbove, kBelow, kBelow, ends));
    EXPECT_EQ(0.0f, ends[0].x);
    EXPECT_EQ(0.0f, ends[0].y);
    EXPECT_EQ(50.0f, ends[1].x);
    // Corner 2 at the level, all others above: case 11 (C, B), both ends at corner 2.
    ASSERT_EQ(1, MarchCell(0, 0, 50, 50, kAbove, kAbove, T, kAbove, ends));
    EXPECT_EQ(50.0f, ends[0].x);
    EXPECT_EQ(50.0f, ends[0].y);
    EXPECT_EQ(50.0f, ends[1].x);
    EXPECT_EQ(50.0f, ends[1].y);
}

TEST(MarchCell, SaddlesCutOffEachHighCornerNearerCornerTwoOrThreeFirst) {
    Vec3 ends[4];
    // Case 5: corners 0 and 2 above.
    ASSERT_EQ(2, MarchCell(0, 0, 50, 50, kAbove, kBelow, kAbove, kBelow, ends));
    EXPECT_EQ(50.0f, ends[0].y);  // C, near corner 2
    EXPECT_EQ(50.0f, ends[1].x);  // B
    EXPECT_EQ(0.0f, ends[2].y);   // A, near corner 0
    EXPECT_EQ(0.0f, ends[3].x);   // D
    // Case 10: corners 1 and 3 above.
    ASSERT_EQ(2, MarchCell(0, 0, 50, 50, kBelow, kAbove, kBelow, kAbove, ends));
    EXPECT_EQ(0.0f, ends[0].x);   // D, near corner 3
    EXPECT_EQ(50.0f, ends[1].y);  // C
    EXPECT_EQ(0.0f, ends[2].y);   // A, near corner 1
    EXPECT_EQ(50.0f, ends[3].x);  // B
}

// ---- Whole slices ----

bool SameBits(const SliceSegment& a, const SliceSegment& b) {
    return std::memcmp(&a, &b, sizeof(SliceSegment)) == 0;
}

TEST_F(SliceGeneratorTest, TimeZeroGivesSixtyEightPlainContourSegments) {
    GrowArray<Vec3> sources;
    for (int k = 0; k < 4; ++k) ASSERT_EQ(1, sources.Push(SourcePosition(k, 0.0f)));
    Reference ref = TraceFresh(sources);
    EXPECT_EQ(68, ref.contourCount);
    EXPECT_EQ(0, ref.saddles);
    EXPECT_LE(ref.farthest, 450.0f);

    SetGameRandState(1);
    Generate(land, 0.0f);
    const ContourSlice& slice = *land.slots[0];
    ASSERT_GE(slice.count, 68);
    for (int i = 0; i < 68; ++i) {
        EXPECT_EQ(0.0f, slice.items[i].start.z) << i;
        EXPECT_EQ(0.0f, slice.items[i].end.z) << i;
        EXPECT_LE(std::fabs(slice.items[i].start.x), 450.0f);
        EXPECT_LE(std::fabs(slice.items[i].start.y), 450.0f);
        EXPECT_NEAR(1.0f, slice.items[i].startColour.Length(), 1e-5f);
        EXPECT_NEAR(1.0f, slice.items[i].endColour.Length(), 1e-5f);
    }
    for (int i = 68; i < slice.count; ++i) EXPECT_EQ(-50.0f, slice.items[i].end.z) << i;
}

TEST_F(SliceGeneratorTest, FirstSliceOfTheProgramHoldsSixtyEightContoursAndNineteenStars) {
    SetGameRandState(1);
    Generate(land, 0.0f);
    const ContourSlice& slice = *land.slots[0];
    ASSERT_EQ(87, slice.count);

    const SliceSegment& first = slice.items[68];
    EXPECT_EQ(2013.0f, first.start.x);
    EXPECT_EQ(4055.0f, first.start.y);
    EXPECT_EQ(0.0f, first.start.z);

    for (int i = 68; i < 87; ++i) {
        const SliceSegment& s = slice.items[i];
        EXPECT_EQ(s.start.x, s.end.x);
        EXPECT_EQ(s.start.y, s.end.y);
        EXPECT_EQ(0.0f, s.start.z);
        EXPECT_EQ(-50.0f, s.end.z);
        EXPECT_GE(s.start.x * s.start.x + s.start.y * s.start.y, 1000000.0f);
        EXPECT_FALSE(s.start.x == 585.0f && s.start.y == 762.0f) << "the 15th attempt is skipped";
        EXPECT_EQ(0.0f, s.startColour.x + s.startColour.y + s.startColour.z);
        EXPECT_EQ(0.8f, s.endColour.x);
        EXPECT_EQ(0.8f, s.endColour.y);
        EXPECT_EQ(1.0f, s.endColour.z);
    }

    // Exactly 40 draws were taken.
    uint32_t expected = 1;
    for (int i = 0; i < 40; ++i) expected = expected * 214013u + 2531011u;
    EXPECT_EQ(expected, GameRandState());
}

TEST_F(SliceGeneratorTest, SharedCornersGiveTheSameBitsAsSamplingEveryCornerAfresh) {
    int compared = 0;
    for (int step = 0; step < 240; ++step) {
        const float x = step * 0.0913f;
        ASSERT_EQ(1, land.PlaceSources(x));

        SetGameRandState(1000u + step);
        Reference ref = TraceFresh(land.sources);
        const uint32_t after = GameRandState();

        SetGameRandState(1000u + step);
        Generate(land, x);
        EXPECT_EQ(after, GameRandState());

        const ContourSlice& slice = *land.slots[0];
        ASSERT_EQ((int)ref.segments.size(), slice.count) << "x " << x;
        for (int i = 0; i < slice.count; ++i)
            ASSERT_TRUE(SameBits(ref.segments[i], slice.items[i])) << "x " << x << " segment " << i;
        compared += slice.count;
    }
    EXPECT_GT(compared, 240 * 60);
}

TEST_F(SliceGeneratorTest, SameSourcesDifferOnlyInTheirStars) {
    Generate(land, 4.4f, 0);
    Generate(land, 4.4f, 1);
    const ContourSlice& a = *land.slots[0];
    const ContourSlice& b = *land.slots[1];
    int contourA = 0, contourB = 0;
    while (contourA < a.count && a.items[contourA].end.z == 0.0f) ++contourA;
    while (contourB < b.count && b.items[contourB].end.z == 0.0f) ++contourB;
    ASSERT_EQ(contourA, contourB);
    ASSERT_GT(contourA, 0);
    for (int i = 0; i < contourA; ++i) EXPECT_TRUE(SameBits(a.items[i], b.items[i])) << i;
    EXPECT_LE(a.count - contourA, 20);
    EXPECT_LE(b.count - contourB, 20);
}

TEST_F(SliceGeneratorTest, SegmentsThatCannotBeStoredAreDroppedAndTheRestGoesOn) {
    SetGameRandState(1);
    Generate(land, 0.0f, 0);
    const uint32_t fullState = GameRandState();

    // The first 50-record block is granted, every later growth fails.
    SetGameRandState(1);
    land.current = land.slots[1];
    land.current->Clear();
    SetAllocFailure(1);
    land.GenerateSlice();
    SetAllocFailure(-1);

    const ContourSlice& full = *land.slots[0];
    const ContourSlice& cut = *land.slots[1];
    ASSERT_EQ(50, cut.count);
    for (int i = 0; i < 50; ++i) EXPECT_TRUE(SameBits(full.items[i], cut.items[i])) << i;
    EXPECT_EQ(fullState, GameRandState());  // the stars were still drawn
}

TEST_F(SliceGeneratorTest, NothingHappensWithoutFourSourcesOrASlice) {
    SetGameRandState(7);
    land.current = land.slots[0];
    land.sources.Clear();
    ASSERT_EQ(1, land.sources.Push(SourcePosition(0, 0.0f)));
    land.GenerateSlice();
    EXPECT_EQ(0, land.slots[0]->count);
    EXPECT_EQ(7u, GameRandState());

    ASSERT_EQ(1, land.PlaceSources(0.0f));
    land.current = nullptr;
    land.GenerateSlice();
    EXPECT_EQ(7u, GameRandState());
}

}  // namespace
