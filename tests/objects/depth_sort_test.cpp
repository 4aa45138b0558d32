#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "objects/atom.h"
#include "objects/fractal.h"
#include "object_test_util.h"

namespace {

float SquaredDistance(const Vec3& a, const Vec3& b) {
    const Vec3 d = a.Sub(b);
    return d.x * d.x + d.y * d.y + d.z * d.z;
}

template <typename Face>
void ExpectAscending(const GrowArray<DepthSortEntry<Face>>& entries) {
    for (int i = 1; i < entries.count; ++i)
        ASSERT_LE(entries.items[i - 1].key, entries.items[i].key) << "entry " << i;
}

TEST(DepthSort, KeysAfterBuildAreSquaredDistancesFromTheOrigin) {
    Fractal fractal;
    ASSERT_EQ(fractal.Build(), 1);
    SortFaces(fractal.sortEntries, fractal.viewMatrix, fractal.modelMatrix, fractal.dirty);
    EXPECT_EQ(fractal.dirty, 0);
    ASSERT_EQ(fractal.sortEntries.count, 5460);
    for (int i = 0; i < fractal.sortEntries.count; ++i) {
        const DepthSortEntry<TriFace>& e = fractal.sortEntries.items[i];
        ASSERT_TRUE(SameVec(e.worldCentre, e.face->centre)) << i;
        ASSERT_EQ(e.key, SquaredDistance(e.face->centre, Vec3{0, 0, 0})) << i;
    }
    ExpectAscending(fractal.sortEntries);
    // Nearest first: the face nearest the origin is one of the small inner ones.
    EXPECT_LT(fractal.sortEntries.items[0].key, fractal.sortEntries.items[5459].key);
}

TEST(DepthSort, AtomFacesAllStartAtTheSameDistance) {
    Atom atom;
    ASSERT_EQ(atom.Build(), 1);
    SortFaces(atom.sortEntries, atom.viewMatrix, atom.modelMatrix, atom.dirty);
    for (int i = 0; i < atom.sortEntries.count; ++i)
        EXPECT_EQ(atom.sortEntries.items[i].key, 56.25f) << i;  // 7.5^2
}

TEST(DepthSort, KeysStayUntilAMatrixChanges) {
    Fractal fractal;
    ASSERT_EQ(fractal.Build(), 1);
    SortFaces(fractal.sortEntries, fractal.viewMatrix, fractal.modelMatrix, fractal.dirty);

    // Move a face record's centre far away: without a matrix change nothing looks at it.
    TriFace* moved = &fractal.faces.items[0];
    const Vec3 oldCentre = moved->centre;
    moved->centre = Vec3{1000.0f, 0.0f, 0.0f};
    const DepthSortEntry<TriFace>* first = fractal.sortEntries.items;
    std::vector<const TriFace*> order;
    for (int i = 0; i < fractal.sortEntries.count; ++i) order.push_back(first[i].face);
    SortFaces(fractal.sortEntries, fractal.viewMatrix, fractal.modelMatrix, fractal.dirty);
    for (int i = 0; i < fractal.sortEntries.count; ++i)
        ASSERT_EQ(fractal.sortEntries.items[i].face, order[i]) << "second sort keeps the order";

    Mat4 identity;
    identity.Identity();
    fractal.SetModelMatrix(identity);
    EXPECT_EQ(fractal.dirty, 1);
    SortFaces(fractal.sortEntries, fractal.viewMatrix, fractal.modelMatrix, fractal.dirty);
    EXPECT_EQ(fractal.sortEntries.items[5459].face, moved) << "recomputed: now farthest";
    EXPECT_EQ(fractal.sortEntries.items[5459].key, 1000.0f * 1000.0f);
    moved->centre = oldCentre;
}

TEST(DepthSort, TranslatedModelAndViewMatrices) {
    struct Case {
        const char* what;
        Vec3 modelTranslation;
        Vec3 eye;
        bool zeroViewBasis;  // the camera matrix at start-up is all zeros
    };
    const Case cases[] = {
        {"model moved by (0, 0, 10)", {0, 0, 10}, {0, 0, 0}, false},
        {"eye at (3, -4, 12)", {0, 0, 0}, {3, -4, 12}, false},
        {"both, only the view translation counts", {5, 1, -2}, {-7, 2, 30}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fractal fractal;
        ASSERT_EQ(fractal.Build(), 1);
        Mat4 model, view;
        model.Identity();
        model.m[12] = c.modelTranslation.x;
        model.m[13] = c.modelTranslation.y;
        model.m[14] = c.modelTranslation.z;
        view.Identity();
        if (c.zeroViewBasis)
            for (float& e : view.m) e = 0.0f;
        view.m[12] = c.eye.x;
        view.m[13] = c.eye.y;
        view.m[14] = c.eye.z;
        fractal.SetModelMatrix(model);
        fractal.SetViewMatrix(view);
        SortFaces(fractal.sortEntries, fractal.viewMatrix, fractal.modelMatrix, fractal.dirty);
        for (int i = 0; i < fractal.sortEntries.count; ++i) {
            const DepthSortEntry<TriFace>& e = fractal.sortEntries.items[i];
            const Vec3 world = e.face->centre.Add(c.modelTranslation);
            ASSERT_TRUE(SameVec(e.worldCentre, world)) << i;
            ASSERT_EQ(e.key, SquaredDistance(world, c.eye)) << i;
        }
        ExpectAscending(fractal.sortEntries);
    }
}

TEST(DepthSort, RotatedModelMatrixMapsCentres) {
    Atom atom;
    ASSERT_EQ(atom.Build(), 1);
    Mat4 model;
    model.Identity();
    // Quarter turn about y (local x -> world -z, local z -> world x), then 20 along x.
    model.m[0] = 0.0f;  model.m[2] = -1.0f;
    model.m[8] = 1.0f;  model.m[10] = 0.0f;
    model.m[12] = 20.0f;
    atom.SetModelMatrix(model);
    SortFaces(atom.sortEntries, atom.viewMatrix, atom.modelMatrix, atom.dirty);
    // The z = -7.5 faces of all eight cubes land on x = 12.5, nearest the origin.
    const DepthSortEntry<QuadFace>& nearest = atom.sortEntries.items[0];
    ExpectVecNear(nearest.worldCentre, 12.5f, 0.0f, 0.0f, 0.0f, "nearest centre");
    EXPECT_EQ(nearest.key, 12.5f * 12.5f);
    EXPECT_EQ(nearest.face->centre.z, -7.5f);
    ExpectAscending(atom.sortEntries);
}

TEST(DepthSort, EmptyArrayClearsDirty) {
    Atom atom;
    atom.dirty = 1;
    SortFaces(atom.sortEntries, atom.viewMatrix, atom.modelMatrix, atom.dirty);
    EXPECT_EQ(atom.dirty, 0);
    EXPECT_EQ(atom.sortEntries.count, 0);
}

}  // namespace

namespace {

struct PlainFace {
    Vec3 centre;
};

// Keys recomputed from faces on a line along z: entry order before the sort is given by
// the case, the sort must give ascending keys over the same set of faces whether it is
// already in order, a few places off (insertion within budget), or far off (full sort).
TEST(DepthSort, ResultIsAnAscendingPermutationWhateverTheStartingOrder) {
    struct Case {
        const char* what;
        std::vector<int> startOrder;  // face indices
    };
    const int n = 400;
    std::vector<int> sorted(n), reversed(n), fewSwaps(n), manyEqual(n), rotated(n);
    for (int i = 0; i < n; ++i) {
        sorted[i] = i;
        reversed[i] = n - 1 - i;
        rotated[i] = (i + n / 3) % n;
    }
    fewSwaps = sorted;
    std::swap(fewSwaps[3], fewSwaps[4]);
    std::swap(fewSwaps[100], fewSwaps[140]);
    std::swap(fewSwaps[0], fewSwaps[n - 1]);
    const Case cases[] = {{"sorted", sorted},
                          {"few swaps", fewSwaps},
                          {"reversed", reversed},
                          {"rotated", rotated}};
    std::vector<PlainFace> faces(n);
    for (int i = 0; i < n; ++i) faces[i].centre = Vec3{0.0f, 0.0f, (float)(i / 2)};  // pairs tie
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GrowArray<DepthSortEntry<PlainFace>> entries;
        for (int index : c.startOrder)
            ASSERT_EQ(entries.Push(DepthSortEntry<PlainFace>{&faces[index], Vec3{0, 0, 0}, 0.0f}),
                      1);
        Mat4 identity;
        identity.Identity();
        int dirty = 1;
        SortFaces(entries, identity, identity, dirty);
        std::vector<int> seen(n, 0);
        for (int i = 0; i < n; ++i) {
            const DepthSortEntry<PlainFace>& e = entries.items[i];
            ++seen[e.face - faces.data()];
            ASSERT_EQ(e.key, e.face->centre.z * e.face->centre.z) << i;
            if (i > 0) {
                ASSERT_LE(entries.items[i - 1].key, e.key) << i;
            }
        }
        for (int i = 0; i < n; ++i) ASSERT_EQ(seen[i], 1) << "face " << i;
    }
}

TEST(DepthSort, InsertionSortGivesUpWhenTheBudgetRunsOut) {
    std::vector<int> values = {5, 4, 3, 2, 1, 0};
    auto less = [](int a, int b) { return a < b; };
    EXPECT_FALSE(InsertionSortWithin(values.data(), values.data() + values.size(), 3, less));
    std::vector<int> sortedCopy = values;
    std::sort(sortedCopy.begin(), sortedCopy.end());
    EXPECT_EQ(sortedCopy, (std::vector<int>{0, 1, 2, 3, 4, 5})) << "still a permutation";
    EXPECT_TRUE(InsertionSortWithin(values.data(), values.data() + values.size(), 100, less));
    EXPECT_EQ(values, (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

}  // namespace

namespace {

// An infinite scale times a zero coordinate is NaN: those keys must still sort (as
// farthest) instead of breaking the ordering the sort relies on.
TEST(DepthSort, NaNKeysSortAsFarthest) {
    Fractal fractal;
    ASSERT_EQ(fractal.Build(), 1);
    Mat4 model;
    model.Identity();
    model.m[0] = INFINITY;
    fractal.SetModelMatrix(model);
    SortFaces(fractal.sortEntries, fractal.viewMatrix, fractal.modelMatrix, fractal.dirty);
    int farthest = 0;
    for (int i = 0; i < fractal.sortEntries.count; ++i) {
        const float key = fractal.sortEntries.items[i].key;
        ASSERT_FALSE(std::isnan(key)) << i;
        if (std::isinf(key)) ++farthest;
        if (i > 0) {
            ASSERT_LE(fractal.sortEntries.items[i - 1].key, key) << i;
        }
    }
    EXPECT_EQ(farthest, fractal.sortEntries.count);
    EXPECT_EQ(fractal.faces.items[3].centre.x, 0.0f) << "the base face's key was NaN";
}

}  // namespace
