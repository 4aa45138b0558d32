// Helpers shared by the collectible tests.
#pragma once

#include <gtest/gtest.h>

#include "core/alloc_failure.h"
#include "core/grow_array.h"
#include "core/vec3.h"

// Puts the allocation hook back whatever a test did with it.
class AllocHookTest : public ::testing::Test {
protected:
    void TearDown() override { SetAllocFailure(-1); }
};

inline void ExpectVecNear(const Vec3& actual, float x, float y, float z, float tol,
                          const char* what) {
    EXPECT_NEAR(actual.x, x, tol) << what;
    EXPECT_NEAR(actual.y, y, tol) << what;
    EXPECT_NEAR(actual.z, z, tol) << what;
}

inline bool SameVec(const Vec3& a, const Vec3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Mean of the eight corners of cube `cube` in a cube vertex array.
inline Vec3 CubeCentre(const GrowArray<Vec3>& vertices, int cube) {
    Vec3 sum{0.0f, 0.0f, 0.0f};
    for (int k = 0; k < 8; ++k) sum = sum.Add(vertices.items[8 * cube + k]);
    return sum.Scale(0.125f);
}
