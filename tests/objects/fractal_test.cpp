#include <gtest/gtest.h>

#include <cmath>

#include "objects/fractal.h"
#include "object_test_util.h"

namespace {

const float kPi = 3.14159265358979f;

class FractalGeometry : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        fractal = new Fractal;
        built = fractal->Build();
    }
    static void TearDownTestSuite() {
        delete fractal;
        fractal = nullptr;
    }
    static Fractal* fractal;
    static int built;
};
Fractal* FractalGeometry::fractal = nullptr;
int FractalGeometry::built = 0;

TEST_F(FractalGeometry, TotalsAndReservation) {
    ASSERT_EQ(built, 1);
    EXPECT_EQ(fractal->vertices.count, 5460);
    EXPECT_EQ(fractal->vertices.capacity, 16384);
    EXPECT_EQ(fractal->faces.count, 5460);
    EXPECT_EQ(fractal->sortEntries.count, 5460);
    EXPECT_EQ(fractal->dirty, 1);
    for (int i = 0; i < fractal->sortEntries.count; ++i)
        ASSERT_EQ(fractal->sortEntries.items[i].face, &fractal->faces.items[i]) << i;
}

TEST_F(FractalGeometry, LevelsCountsAndSizes) {
    ASSERT_EQ(built, 1);
    const int expectedFaces[6] = {4, 16, 64, 256, 1024, 4096};
    const float expectedSize[6] = {20.0f, 10.0f, 5.0f, 2.5f, 1.25f, 0.625f};
    int perLevel[6] = {};
    for (int f = 0; f < fractal->faces.count; ++f) {
        const TriFace& face = fractal->faces.items[f];
        ASSERT_GE(face.level, 0);
        ASSERT_LE(face.level, 5);
        ++perLevel[face.level];
        EXPECT_EQ(face.size, expectedSize[face.level]) << f;
    }
    for (int level = 0; level < 6; ++level)
        EXPECT_EQ(perLevel[level], expectedFaces[level]) << level;
}

TEST_F(FractalGeometry, LevelZeroTetrahedron) {
    ASSERT_EQ(built, 1);
    const FractalVertex* v = fractal->vertices.items;
    ExpectVecNear(v[0].position, 0.0f, 14.4f, 0.0f, 2e-6f, "apex");
    ExpectVecNear(v[1].position, 0.0f, -14.4f, 20.0f, 2e-6f, "front");
    ExpectVecNear(v[2].position, 13.888888f, -14.4f, -10.0f, 2e-6f, "right");
    ExpectVecNear(v[3].position, -13.888888f, -14.4f, -10.0f, 2e-6f, "left");

    // Faces (apex, front, right), (apex, right, left), (apex, left, front), (front, left, right).
    const int corners[4][3] = {{0, 1, 2}, {0, 2, 3}, {0, 3, 1}, {1, 3, 2}};
    for (int f = 0; f < 4; ++f) {
        const TriFace& face = fractal->faces.items[f];
        EXPECT_EQ(face.level, 0);
        EXPECT_EQ(face.corner0, &v[corners[f][0]]) << f;
        EXPECT_EQ(face.corner1, &v[corners[f][1]]) << f;
        EXPECT_EQ(face.corner2, &v[corners[f][2]]) << f;
    }
    const TriFace& base = fractal->faces.items[3];
    ExpectVecNear(base.normal, 0.0f, 1.0f, 0.0f, 1e-6f, "base normal");
    EXPECT_NEAR(base.d, 14.4f, 1e-5f);
    // Centre uses 0.33333, not a third: (0 + 13.89 - 13.89, 3 * -14.4, 20 - 10 - 10) * 0.33333.
    ExpectVecNear(base.centre, 0.0f, -14.4f * 3.0f * 0.33333f, 0.0f, 1e-5f, "base centre");
}

// (corner1 - corner2) x (corner0 - corner2) with the face table makes every normal point
// into its own tetrahedron; a swapped corner or edge order would turn some of them out.
TEST_F(FractalGeometry, EveryNormalIsUnitAndPointsInward) {
    ASSERT_EQ(built, 1);
    for (int f = 0; f < fractal->faces.count; ++f) {
        const TriFace& face = fractal->faces.items[f];
        const FractalVertex* tetra = fractal->vertices.items + 4 * (f / 4);
        Vec3 centroid{0.0f, 0.0f, 0.0f};
        for (int k = 0; k < 4; ++k) centroid = centroid.Add(tetra[k].position);
        centroid = centroid.Scale(0.25f);
        const Vec3 inward = centroid.Sub(face.centre);
        const float along =
            inward.x * face.normal.x + inward.y * face.normal.y + inward.z * face.normal.z;
        ASSERT_GT(along, 0.0f) << "face " << f;
        ASSERT_NEAR(face.normal.Length(), 1.0f, 1e-5f) << "face " << f;
        const Vec3& p2 = face.corner2->position;
        ASSERT_NEAR(face.d, -(face.normal.x * p2.x + face.normal.y * p2.y + face.normal.z * p2.z),
                    1e-4f);
    }
}

// Children in order top, front, left, right share their outer vertex with the parent.
TEST_F(FractalGeometry, ChildrenShareTheParentsOuterVertices) {
    ASSERT_EQ(built, 1);
    const FractalVertex* v = fractal->vertices.items;
    const int subtree = 4 * (1 + 4 + 16 + 64 + 256);  // vertices of one level-1 child
    const int sharedVertex[4] = {0, 1, 3, 2};         // apex, front, left, right
    for (int child = 0; child < 4; ++child) {
        const int base = 4 + child * subtree;
        const int k = sharedVertex[child];
        ExpectVecNear(v[base + k].position, v[k].position.x, v[k].position.y, v[k].position.z,
                      2e-6f, "shared vertex");
        EXPECT_EQ(fractal->faces.items[base].level, 1);
    }
}

TEST(FractalLevel, SelectedLevelFollowsSinOfTwiceTheTime) {
    struct Case {
        float t;
        int level;
    };
    const Case cases[] = {
        {0.0f, 0},          {kPi / 4, 4},         {-kPi / 4, 4},
        {kPi / 12, 2},      // 4 * 0.5 + 0.5 = 2.5
        {kPi / 2, 0},       {0.05f, 0},           // 4 * 0.0998 + 0.5 < 1
        {0.2f, 2},          // 4 * 0.389 + 0.5 = 2.06
        {0.54f, 4},         // |sin 1.08| = 0.882 >= 0.875
        {0.52f, 3},         // |sin 1.04| = 0.862
        {1.0f, 4},          // |sin 2| = 0.909
    };
    for (const Case& c : cases) EXPECT_EQ(Fractal::SelectLevel(c.t), c.level) << "t " << c.t;
    EXPECT_EQ(Fractal::SelectLevel(std::nanf("")), -1);
    EXPECT_EQ(Fractal::SelectLevel(INFINITY), -1);
}

using FractalLifecycle = AllocHookTest;

TEST_F(FractalLifecycle, NoReservationMeansNoGeometry) {
    Fractal fractal;
    SetAllocFailure(0);
    EXPECT_EQ(fractal.Build(), 0);
    SetAllocFailure(-1);
    EXPECT_EQ(fractal.vertices.count, 0);
    EXPECT_EQ(fractal.faces.count, 0);
    EXPECT_EQ(fractal.sortEntries.count, 0);
}

// Every allocation in turn fails: a lost face or entry is a failed build (never a success
// with holes), and what is left points only at stored records.
TEST_F(FractalLifecycle, EveryFailedAllocationMakesBuildReturnZero) {
    int failures = 0;
    Fractal fractal;
    for (int allowed = 0;; ++allowed) {
        ASSERT_LT(allowed, 1000) << "Build never succeeded";
        SetAllocFailure(allowed);
        const int result = fractal.Build();
        SetAllocFailure(-1);
        if (result == 1) break;
        ++failures;
        SCOPED_TRACE(allowed);
        const FractalVertex* vBegin = fractal.vertices.items;
        const FractalVertex* vEnd = vBegin + fractal.vertices.count;
        for (int f = 0; f < fractal.faces.count; ++f) {
            const TriFace& face = fractal.faces.items[f];
            for (const FractalVertex* c : {face.corner0, face.corner1, face.corner2}) {
                ASSERT_GE(c, vBegin);
                ASSERT_LT(c, vEnd);
            }
        }
        ASSERT_LE(fractal.sortEntries.count, fractal.faces.count);
        for (int i = 0; i < fractal.sortEntries.count; ++i)
            ASSERT_EQ(fractal.sortEntries.items[i].face, &fractal.faces.items[i]);
        SortFaces(fractal.sortEntries, fractal.viewMatrix, fractal.modelMatrix, fractal.dirty);
    }
    // One reservation, 110 face blocks of 50 and 110 entry blocks.
    EXPECT_EQ(failures, 1 + 110 + 110);
    EXPECT_EQ(fractal.faces.count, 5460);
}

}  // namespace
