// SceneObject: everything drawable in the world besides the landscape and the text.
//
// Each kind owns its geometry in GrowArrays, a view matrix (only its translation is
// used: the eye point of the depth sort), a model matrix and a dirty flag, and draws
// itself in two passes: lit, additively blended filled faces sorted nearest first, then
// the same faces again as a glowing wire outline.
#pragma once

#include <algorithm>
#include <cmath>

#include "core/grow_array.h"
#include "core/vec3.h"

class SceneObject {
public:
    virtual ~SceneObject() {}
    virtual int Build() = 0;
    virtual void Release() = 0;
    virtual void Draw(float t) = 0;
    virtual void SetModelMatrix(const Mat4& m) = 0;
    virtual void SetViewMatrix(const Mat4& m) = 0;
};

// One entry per drawn face. Entries point at faces (never the other way round), so the
// sort moves these small records and never the faces.
template <typename Face>
struct DepthSortEntry {
    const Face* face;
    Vec3 worldCentre;
    float key;
};

// Insertion sort that gives up after `budget` element moves (leaving a permutation of
// the entries) and says whether it finished. Cheap when only a few entries are out of
// place, which is what a small step of the object does to the previous order.
template <typename Entry, typename Less>
bool InsertionSortWithin(Entry* begin, Entry* end, long budget, Less less) {
    for (Entry* i = begin + 1; i < end; ++i) {
        if (!less(*i, *(i - 1))) continue;
        const Entry moving = *i;
        Entry* j = i;
        do {
            *j = *(j - 1);
            --j;
            if (--budget < 0) {
                *j = moving;
                return false;
            }
        } while (j > begin && less(moving, *(j - 1)));
        *j = moving;
    }
    return true;
}

// Nearest-first depth sort of a kind's entries. Keys are recomputed only when a matrix
// changed (dirty); the stored face centres are used. Equal keys may end in any order.
//
// Most draws come without a matrix change, or with one that barely reorders the faces,
// so an array that is already in order costs one pass and no sort, and one that is nearly
// in order a few moves; only when that budget runs out does a full sort follow.
template <typename Face>
void SortFaces(GrowArray<DepthSortEntry<Face>>& entries, const Mat4& viewMatrix,
               const Mat4& modelMatrix, int& dirty) {
    DepthSortEntry<Face>* begin = entries.items;
    DepthSortEntry<Face>* end = entries.items + entries.count;
    if (entries.count <= 0) {
        dirty = 0;
        return;
    }
    if (dirty == 1) {
        dirty = 0;
        const float ex = viewMatrix.m[12], ey = viewMatrix.m[13], ez = viewMatrix.m[14];
        for (DepthSortEntry<Face>* e = begin; e != end; ++e) {
            e->worldCentre = modelMatrix.TransformPoint(e->face->centre);
            const float dx = e->worldCentre.x - ex;
            const float dy = e->worldCentre.y - ey;
            const float dz = e->worldCentre.z - ez;
            e->key = dx * dx + dy * dy + dz * dz;
            // A broken matrix can give NaN, which no ordering can place: sorting with
            // it may run off the array. Such a face counts as farthest.
            if (e->key != e->key) e->key = HUGE_VALF;
        }
    }
    auto nearer = [](const DepthSortEntry<Face>& a, const DepthSortEntry<Face>& b) {
        return a.key < b.key;
    };
    if (std::is_sorted(begin, end, nearer)) return;
    if (!InsertionSortWithin(begin, end, 2L * entries.count, nearer)) std::sort(begin, end, nearer);
}

// GL state of the two-pass recipe, shared by the kinds. Each function leaves its state
// changed; the caller sets what it needs afterwards.
//
// Filled pass: culling on and GL_FILL (unless cullAndFill is false: the ship draws with
// what the frame driver set), lighting on, the colour (if not null), additive blend.
void BeginFilledPass(const float* colour, bool cullAndFill = true);
// Outline pass: culling and depth test off, 1.5-wide lines, the colour (if not null),
// alpha-additive blend, GL_LINE.
void BeginOutlinePass(const float* colour);
// After both passes: lighting off.
void EndTwoPass();
