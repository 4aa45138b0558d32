#include <gtest/gtest.h>

#include <vector>

#include "objects/flower.h"
#include "object_test_util.h"

namespace {

// Half the extent of cube i along x (corner 1 minus corner 0).
float HalfSize(const Flower& flower, int cube) {
    return (flower.vertices.items[8 * cube + 1].x - flower.vertices.items[8 * cube].x) * 0.5f;
}

TEST(FlowerBuild, FortyCubesWithTwoStrands) {
    Flower flower;
    ASSERT_EQ(flower.Build(), 1);
    EXPECT_EQ(flower.vertices.count, 320);
    EXPECT_EQ(flower.faces.count, 240);
    EXPECT_EQ(flower.sortEntries.count, 240);
    EXPECT_EQ(flower.dirty, 1);
    for (int f = 0; f < 240; ++f) {
        EXPECT_EQ(flower.faces.items[f].strand, f / 6 > 20 ? 1 : 0) << "face " << f;
        EXPECT_EQ(flower.sortEntries.items[f].face, &flower.faces.items[f]);
        EXPECT_EQ(flower.faces.items[f].corner0,
                  &flower.vertices.items[8 * (f / 6) + kCubeFaceCorners[f % 6][0]]);
    }
    // Built like the atom's cubes: half-size 7.5 at the origin.
    ExpectVecNear(flower.vertices.items[8 * 39 + 7], 7.5f, 7.5f, 7.5f, 0.0f, "last corner");
}

TEST(FlowerAnimate, CubesZeroAndTwentyOneAtTimeZero) {
    Flower flower;
    ASSERT_EQ(flower.Build(), 1);
    flower.Animate(0.0f);
    // Cube 0: a = 0, every curve has a sin 0 factor.
    for (int k = 0; k < 8; ++k) {
        const Vec3& v = flower.vertices.items[k];
        EXPECT_EQ(v.x, (k & 1) ? 3.0f : -3.0f);
        EXPECT_EQ(v.y, (k & 2) ? 3.0f : -3.0f);
        EXPECT_EQ(v.z, (k & 4) ? 3.0f : -3.0f);
    }
    // Cube 21 (first blue): a = 63, the blue curve, half-size 3 again.
    ExpectVecNear(CubeCentre(flower.vertices, 21), 8.4138107f, 0.0665499f, -5.2234083f, 1e-4f,
                  "cube 21 centre");
    EXPECT_NEAR(HalfSize(flower, 21), 3.0f, 1e-5f);
    // Cube 1: a = 3 on the red curve.
    ExpectVecNear(CubeCentre(flower.vertices, 1), 3.9332760f, 0.3935216f, 1.4088708f, 1e-4f,
                  "cube 1 centre");
}

TEST(FlowerAnimate, CubesShrinkAlongEachStrandAndTheLastRedOneIsAPoint) {
    struct Case {
        int cube;
        float half;
    };
    const Case cases[] = {{0, 3.0f},  {1, 2.85f}, {10, 1.5f}, {19, 0.15f},
                          {21, 3.0f}, {22, 2.85f}, {39, 0.3f}};
    Flower flower;
    ASSERT_EQ(flower.Build(), 1);
    for (float t : {0.0f, 0.37f, 12.5f}) {
        flower.Animate(t);
        for (const Case& c : cases) EXPECT_NEAR(HalfSize(flower, c.cube), c.half, 2e-6f) << c.cube;
        const Vec3& first = flower.vertices.items[8 * 20];
        for (int k = 1; k < 8; ++k)
            EXPECT_TRUE(SameVec(flower.vertices.items[8 * 20 + k], first))
                << "cube 20 corner " << k << " at t " << t;
    }
}

TEST(FlowerAnimate, OnlyVerticesMove) {
    Flower flower;
    ASSERT_EQ(flower.Build(), 1);
    std::vector<QuadFace> built(flower.faces.items, flower.faces.items + flower.faces.count);
    flower.Animate(0.8f);
    flower.Animate(3.1f);
    for (int f = 0; f < flower.faces.count; ++f) {
        const QuadFace& face = flower.faces.items[f];
        EXPECT_TRUE(SameVec(face.centre, built[f].centre)) << f;
        EXPECT_EQ(face.size, built[f].size) << f;
        EXPECT_TRUE(SameVec(face.normal, built[f].normal)) << f;
        EXPECT_EQ(face.d, built[f].d) << f;
    }
    // The cubes did move off the origin.
    EXPECT_GT(CubeCentre(flower.vertices, 5).Length(), 0.1f);
}

using FlowerLifecycle = AllocHookTest;

TEST_F(FlowerLifecycle, EveryFailedAllocationMakesBuildReturnZero) {
    int failures = 0;
    for (int allowed = 0;; ++allowed) {
        ASSERT_LT(allowed, 100) << "Build never succeeded";
        Flower flower;
        SetAllocFailure(allowed);
        const int result = flower.Build();
        SetAllocFailure(-1);
        if (result == 1) break;
        ++failures;
        SCOPED_TRACE(allowed);
        if (flower.faces.count > 0) {
            EXPECT_EQ(flower.vertices.count, 320);
        }
        for (int i = 0; i < flower.sortEntries.count; ++i)
            EXPECT_EQ(flower.sortEntries.items[i].face, &flower.faces.items[i]);
        flower.Animate(2.0f);  // only the corners that exist
        SortFaces(flower.sortEntries, flower.viewMatrix, flower.modelMatrix, flower.dirty);
    }
    // 320 corners in steps of 50 take seven allocations alone.
    EXPECT_GE(failures, 7 + 5 + 5);
}

TEST(FlowerIsAnAtom, SharesTheAtomsMatrixSetters) {
    Flower flower;
    Atom& asAtom = flower;
    Mat4 m;
    m.Identity();
    m.m[12] = 4.0f;
    flower.dirty = 0;
    asAtom.SetModelMatrix(m);
    EXPECT_EQ(flower.modelMatrix.m[12], 4.0f);
    EXPECT_EQ(flower.dirty, 1);
}

}  // namespace
