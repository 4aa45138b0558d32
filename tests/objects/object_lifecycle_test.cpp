// What the three collectibles do alike over their lives, as one typed test: Release
// empties an object (its memory given back) and Build makes it again exactly as a fresh
// object's Build does, even after it was animated; a released object can be animated and
// moves nothing. Each object's own failed-allocation test stays beside its geometry.
#include <gtest/gtest.h>

#include <cstring>

#include "objects/atom.h"
#include "objects/flower.h"
#include "objects/fractal.h"
#include "object_test_util.h"

namespace {

// How many corners and faces each object has, and how it is set moving.
template <class T>
struct Traits;
template <>
struct Traits<Atom> {
    static constexpr int kVertices = 64, kFaces = 48;  // eight cubes
    static constexpr int kReserved = -1;               // grows as it goes
    static void Move(Atom& a) { a.Animate(2.0f); }
};
template <>
struct Traits<Flower> {
    static constexpr int kVertices = 320, kFaces = 240;  // forty cubes, five faces drawn each
    static constexpr int kReserved = -1;
    static void Move(Flower& f) { f.Animate(1.5f); }
};
template <>
struct Traits<Fractal> {
    static constexpr int kVertices = 5460, kFaces = 5460;  // levels 0 to 5 of tetrahedra
    static constexpr int kReserved = 16384;                 // all its corners at once
    static void Move(Fractal&) {}                            // it does not move its corners
};

template <class T>
class ObjectLifecycle : public AllocHookTest {};
using Collectibles = ::testing::Types<Atom, Flower, Fractal>;
TYPED_TEST_SUITE(ObjectLifecycle, Collectibles);

TYPED_TEST(ObjectLifecycle, ReleaseEmptiesAndBuildMakesItAgainAsNew) {
    using Tr = Traits<TypeParam>;
    TypeParam fresh;
    ASSERT_EQ(1, fresh.Build());
    ASSERT_EQ(Tr::kVertices, fresh.vertices.count);
    ASSERT_EQ(Tr::kFaces, fresh.faces.count);
    ASSERT_EQ(Tr::kFaces, fresh.sortEntries.count);

    TypeParam object;
    ASSERT_EQ(1, object.Build());
    Tr::Move(object);
    object.Release();
    EXPECT_EQ(0, object.vertices.count);
    EXPECT_EQ(0, object.faces.count);
    EXPECT_EQ(0, object.sortEntries.count);
    EXPECT_EQ(nullptr, object.vertices.items);
    EXPECT_EQ(0, object.vertices.capacity);

    ASSERT_EQ(1, object.Build());
    EXPECT_EQ(fresh.vertices.capacity, object.vertices.capacity);
    if (Tr::kReserved >= 0) {
        EXPECT_EQ(Tr::kReserved, object.vertices.capacity);
    }
    ASSERT_EQ(Tr::kVertices, object.vertices.count);
    EXPECT_EQ(Tr::kFaces, object.faces.count);
    EXPECT_EQ(Tr::kFaces, object.sortEntries.count);
    // Rebuilt where a new one is built, not where the animation had left the corners.
    EXPECT_EQ(0, std::memcmp(fresh.vertices.items, object.vertices.items,
                             sizeof(fresh.vertices.items[0]) * (size_t)Tr::kVertices));
    for (int i = 0; i < object.sortEntries.count; ++i)
        EXPECT_EQ(&object.faces.items[i], object.sortEntries.items[i].face) << i;
}

TYPED_TEST(ObjectLifecycle, AnimatingAReleasedObjectMovesNothing) {
    TypeParam never;
    Traits<TypeParam>::Move(never);  // never built
    EXPECT_EQ(0, never.vertices.count);
    TypeParam object;
    ASSERT_EQ(1, object.Build());
    object.Release();
    Traits<TypeParam>::Move(object);
    EXPECT_EQ(0, object.vertices.count);
    EXPECT_EQ(nullptr, object.vertices.items);
}

}  // namespace
