#include "core/vec3.h"

#include <gtest/gtest.h>

namespace {

void ExpectVec(const Vec3& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

TEST(Vec3, CrossYieldsTheOtherOperandCrossedWithThis) {
    ExpectVec(Vec3{1, 0, 0}.Cross(Vec3{0, 1, 0}), 0, 0, -1);
    ExpectVec(Vec3{0, 1, 0}.Cross(Vec3{1, 0, 0}), 0, 0, 1);
    ExpectVec(Vec3{0, 0, 1}.Cross(Vec3{1, 0, 0}), 0, -1, 0);
}

TEST(Vec3, LengthsAndNormalize) {
    Vec3 v{3, 4, 0};
    EXPECT_FLOAT_EQ(v.Length(), 5.0f);
    EXPECT_FLOAT_EQ(v.LengthSquared(), 25.0f);
    Vec3 zero{0, 0, 0};
    zero.Normalize();
    ExpectVec(zero, 0, 0, 0);
    Vec3 n{3, 0, 4};
    n.Normalize();
    ExpectVec(n, 0.6f, 0.0f, 0.8f);
}

TEST(Vec3, ArithmeticReturnsNewVectors) {
    const Vec3 a{1, 2, 3}, b{4, 5, 6};
    ExpectVec(a.Add(b), 5, 7, 9);
    ExpectVec(a.Sub(b), -3, -3, -3);
    ExpectVec(a.Scale(2), 2, 4, 6);
    ExpectVec(a, 1, 2, 3);
}

TEST(Mat4, IdentityScaleAndTransform) {
    Mat4 m;
    m.Identity();
    m.ScaleBasis(0.5f);
    for (int i = 0; i < 16; ++i) {
        float want = (i == 0 || i == 5 || i == 10) ? 0.5f : (i == 15 ? 1.0f : 0.0f);
        EXPECT_EQ(m.m[i], want) << "element " << i;
    }
    Mat4 t;
    t.Identity();
    t.m[12] = 1;
    t.m[13] = 2;
    t.m[14] = 3;
    ExpectVec(t.TransformPoint(Vec3{10, 20, 30}), 11, 22, 33);
    t.ScaleBasis(2.0f);
    ExpectVec(t.TransformPoint(Vec3{1, 1, 1}), 3, 4, 5);
}

TEST(Mat4, LookAtFrameIsLeftHandedMirrorInY) {
    Mat4 m = LookAtFrame(Vec3{0, 0, 0}, Vec3{0, 0, 5});
    for (int i = 0; i < 16; ++i) {
        float want = 0.0f;
        if (i == 0 || i == 10 || i == 15) want = 1.0f;
        if (i == 5) want = -1.0f;
        EXPECT_EQ(m.m[i], want) << "element " << i;
    }
}

TEST(Mat4, LookAtFrameOfTheGameCamera) {
    // The camera at rest: 10 above and 30 behind the origin, looking at it.
    Mat4 m = LookAtFrame(Vec3{0, 10, -30}, Vec3{0, 0, 0});
    Vec3 f{m.m[8], m.m[9], m.m[10]};
    EXPECT_NEAR(f.Length(), 1.0f, 1e-6);
    EXPECT_NEAR(f.y / f.z, -10.0f / 30.0f, 1e-6);
    EXPECT_GT(f.z, 0.0f);
    ExpectVec(Vec3{m.m[12], m.m[13], m.m[14]}, 0, 10, -30);
    Vec3 s{m.m[0], m.m[1], m.m[2]}, u{m.m[4], m.m[5], m.m[6]};
    // Left-handed: S x U = -F (in the usual notation, which is U.Cross(S) here).
    Vec3 sxu = u.Cross(s);
    EXPECT_NEAR(sxu.x, -f.x, 1e-6);
    EXPECT_NEAR(sxu.y, -f.y, 1e-6);
    EXPECT_NEAR(sxu.z, -f.z, 1e-6);
}

TEST(Mat4, LookAtFrameDegenerateCases) {
    Mat4 same = LookAtFrame(Vec3{1, 2, 3}, Vec3{1, 2, 3});
    for (int i : {0, 1, 2, 4, 5, 6, 8, 9, 10}) EXPECT_EQ(same.m[i], 0.0f);
    EXPECT_EQ(same.m[12], 1.0f);
    EXPECT_EQ(same.m[15], 1.0f);
    Mat4 up = LookAtFrame(Vec3{0, 0, 0}, Vec3{0, 3, 0});
    for (int i : {0, 1, 2, 4, 5, 6}) EXPECT_EQ(up.m[i], 0.0f);
    EXPECT_EQ(up.m[9], 1.0f);
}

TEST(Plane, FromEdgesUsesTheReversedCross) {
    Plane p = Plane::FromEdges(Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 2});
    ExpectVec(p.normal, 0, 0, -1);
    EXPECT_FLOAT_EQ(p.d, 2.0f);
}

}  // namespace
