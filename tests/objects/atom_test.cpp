#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "objects/atom.h"
#include "object_test_util.h"

namespace {

const float kPi = 3.14159265358979f;

TEST(AtomBuild, MakesEightCubesOfHalfSize7_5AtTheOrigin) {
    Atom atom;
    ASSERT_EQ(atom.Build(), 1);
    EXPECT_EQ(atom.vertices.count, 64);
    EXPECT_EQ(atom.faces.count, 48);
    EXPECT_EQ(atom.sortEntries.count, 48);
    EXPECT_EQ(atom.dirty, 1);
    for (int j = 0; j < 8; ++j) {
        for (int k = 0; k < 8; ++k) {
            const Vec3& v = atom.vertices.items[8 * j + k];
            EXPECT_EQ(v.x, (k & 1) ? 7.5f : -7.5f);
            EXPECT_EQ(v.y, (k & 2) ? 7.5f : -7.5f);
            EXPECT_EQ(v.z, (k & 4) ? 7.5f : -7.5f);
        }
    }
    for (int f = 0; f < 48; ++f) {
        const QuadFace& face = atom.faces.items[f];
        EXPECT_EQ(face.strand, 0);
        EXPECT_EQ(atom.sortEntries.items[f].face, &face) << "entries follow face order";
        // Each face belongs to its own cube.
        const Vec3* cube = atom.vertices.items + 8 * (f / 6);
        for (const Vec3* c : {face.corner0, face.corner1, face.corner2, face.corner3}) {
            EXPECT_GE(c, cube);
            EXPECT_LT(c, cube + 8);
        }
    }
}

// Face table and FromEdges order: (corner2 - corner0) x (corner1 - corner0) points into
// the cube, so every face's plane is 7.5 from the centre with d = 7.5.
TEST(AtomBuild, FaceTableGivesInwardNormalsCentresAndSizes) {
    struct Case {
        int face;
        int cornerNumbers[4];
        Vec3 normal;
        Vec3 centre;
    };
    const Case cases[] = {
        {0, {0, 2, 3, 1}, {0, 0, 1}, {0, 0, -7.5f}},
        {1, {4, 5, 7, 6}, {0, 0, -1}, {0, 0, 7.5f}},
        {2, {2, 6, 7, 3}, {0, -1, 0}, {0, 7.5f, 0}},
        {3, {1, 5, 4, 0}, {0, 1, 0}, {0, -7.5f, 0}},
        {4, {1, 3, 7, 5}, {-1, 0, 0}, {7.5f, 0, 0}},
        {5, {4, 6, 2, 0}, {1, 0, 0}, {-7.5f, 0, 0}},
    };
    Atom atom;
    ASSERT_EQ(atom.Build(), 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.face);
        const QuadFace& face = atom.faces.items[c.face];
        const Vec3* corners[4] = {face.corner0, face.corner1, face.corner2, face.corner3};
        for (int n = 0; n < 4; ++n) EXPECT_EQ(corners[n], &atom.vertices.items[c.cornerNumbers[n]]);
        ExpectVecNear(face.normal, c.normal.x, c.normal.y, c.normal.z, 1e-6f, "normal");
        EXPECT_FLOAT_EQ(face.d, 7.5f);
        ExpectVecNear(face.centre, c.centre.x, c.centre.y, c.centre.z, 0.0f, "centre");
        EXPECT_FLOAT_EQ(face.size, 10.606602f);  // 7.5 * sqrt(2)
    }
}

TEST(AtomAnimate, ElectronCentresAtThetaZeroAndNinetyDegrees) {
    struct Case {
        float theta;
        int cube;
        Vec3 centre;
    };
    const Case cases[] = {
        {0.0f, 1, {0, 15, 0}},           {0.0f, 2, {0, 0, 15}},
        {0.0f, 3, {15, 0, 0}},           {0.0f, 4, {0, 25, 0}},
        {0.0f, 5, {0, 0, 25}},           {0.0f, 6, {25, 0, 0}},
        {kPi / 2, 1, {0, 0, -15}},       {kPi / 2, 2, {-15, 0, 0}},
        {kPi / 2, 3, {0, 15, 0}},        {kPi / 2, 4, {0, 0, 25}},
        {kPi / 2, 5, {25, 0, 0}},        {kPi / 2, 6, {0, -25, 0}},
        {kPi, 1, {0, -15, 0}},           {kPi, 6, {-25, 0, 0}},
    };
    Atom atom;
    ASSERT_EQ(atom.Build(), 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "theta " << c.theta << " cube " << c.cube);
        atom.Animate(c.theta);
        ExpectVecNear(CubeCentre(atom.vertices, c.cube), c.centre.x, c.centre.y, c.centre.z,
                      2e-5f, "centre");
    }
}

TEST(AtomAnimate, ElectronHalfSizesAndUntouchedNucleus) {
    Atom atom;
    ASSERT_EQ(atom.Build(), 1);
    std::vector<Vec3> built(atom.vertices.items, atom.vertices.items + 64);
    atom.Animate(0.7f);
    for (int i = 1; i <= 6; ++i) {
        const Vec3& a = atom.vertices.items[8 * i];
        const Vec3& b = atom.vertices.items[8 * i + 7];
        const Vec3 diagonal = b.Sub(a);
        const float h = i <= 3 ? 5.5f : 2.5f;
        EXPECT_NEAR(diagonal.Length(), 2.0f * h * std::sqrt(3.0f), 1e-4f) << "cube " << i;
    }
    for (int cube : {0, 7})
        for (int k = 0; k < 8; ++k)
            EXPECT_TRUE(SameVec(atom.vertices.items[8 * cube + k], built[8 * cube + k]))
                << "cube " << cube << " corner " << k;
}

// At theta = 0 the y-z and x-z orbits only translate, but the x-y orbit maps y to -y:
// corner 0 of cube 3 lands on (15 - 5.5, +5.5, -5.5) and its recomputed normals flip.
TEST(AtomAnimate, XyOrbitMirrorsTheCubeAndNormalsFollowTheMovedCorners) {
    Atom atom;
    ASSERT_EQ(atom.Build(), 1);
    atom.Animate(0.0f);
    ExpectVecNear(atom.vertices.items[8 * 3 + 0], 9.5f, 5.5f, -5.5f, 0.0f, "cube 3 corner 0");
    ExpectVecNear(atom.vertices.items[8 * 6 + 0], 22.5f, 2.5f, -2.5f, 0.0f, "cube 6 corner 0");

    struct Case {
        float theta;
        int face;
        Vec3 normal;
    };
    const Case cases[] = {
        {0.0f, 0, {0, 0, 1}},        // cube 0 is never recomputed
        {0.0f, 6, {0, 0, 1}},        // cube 1 face 0: translated only
        {0.0f, 12, {0, 0, 1}},       // cube 2 face 0
        {0.0f, 18, {0, 0, -1}},      // cube 3 face 0: mirrored
        {0.0f, 20, {0, -1, 0}},      // cube 3 face 2: now on the -y side, facing out
        {0.0f, 36, {0, 0, -1}},      // cube 6 face 0: mirrored
        {0.0f, 42, {0, 0, 1}},       // cube 7 face 0: recomputed, unmoved
        {kPi / 2, 6, {0, 1, 0}},     // cube 1 face 0 turned by 90 degrees about x
        {kPi / 2, 12, {-1, 0, 0}},   // cube 2 face 0 turned about y
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "theta " << c.theta << " face " << c.face);
        atom.Animate(c.theta);
        const QuadFace& face = atom.faces.items[c.face];
        ExpectVecNear(face.normal, c.normal.x, c.normal.y, c.normal.z, 1e-5f, "normal");
        const float expectedD =
            -(face.normal.x * face.corner0->x + face.normal.y * face.corner0->y +
              face.normal.z * face.corner0->z);
        EXPECT_NEAR(face.d, expectedD, 1e-4f);
    }
}

TEST(AtomAnimate, CentresAndSizesKeepTheirBuildValues) {
    Atom atom;
    ASSERT_EQ(atom.Build(), 1);
    std::vector<QuadFace> built(atom.faces.items, atom.faces.items + atom.faces.count);
    for (float theta : {0.3f, 1.7f, -4.0f, 123.0f}) atom.Animate(theta);
    for (int f = 0; f < atom.faces.count; ++f) {
        EXPECT_TRUE(SameVec(atom.faces.items[f].centre, built[f].centre)) << f;
        EXPECT_EQ(atom.faces.items[f].size, built[f].size) << f;
    }
}

using AtomLifecycle = AllocHookTest;

TEST_F(AtomLifecycle, BuildResetsBothMatrices) {
    Atom atom;
    Mat4 m;
    for (int i = 0; i < 16; ++i) m.m[i] = (float)i;
    atom.SetModelMatrix(m);
    atom.SetViewMatrix(m);
    ASSERT_EQ(atom.Build(), 1);
    Mat4 id;
    id.Identity();
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(atom.modelMatrix.m[i], id.m[i]);
        EXPECT_EQ(atom.viewMatrix.m[i], id.m[i]);
    }
}

// Every allocation of Build in turn fails: Build says 0, what was built stays consistent,
// and animating the leftovers touches only corners that exist.
TEST_F(AtomLifecycle, EveryFailedAllocationMakesBuildReturnZero) {
    int failures = 0;
    for (int allowed = 0;; ++allowed) {
        ASSERT_LT(allowed, 100) << "Build never succeeded";
        Atom atom;
        SetAllocFailure(allowed);
        const int result = atom.Build();
        SetAllocFailure(-1);
        if (result == 1) break;
        ++failures;
        SCOPED_TRACE(allowed);
        EXPECT_LE(atom.vertices.count, 64);
        if (atom.faces.count > 0) {
            EXPECT_EQ(atom.vertices.count, 64);
        }
        for (int i = 0; i < atom.sortEntries.count; ++i)
            EXPECT_EQ(atom.sortEntries.items[i].face, &atom.faces.items[i]);
        atom.Animate(1.0f);
        SortFaces(atom.sortEntries, atom.viewMatrix, atom.modelMatrix, atom.dirty);
    }
    EXPECT_GE(failures, 3) << "vertices, faces and entries each allocate";
}

}  // namespace
