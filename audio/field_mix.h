// What the drone hears: each source's share of the field at the ship, taken in the slice
// nearest the ship (the one the rules ask too), and how deep in the field the ship is.
// It reads the landscape and never changes it.
#pragma once

#include "core/grow_array.h"
#include "core/vec3.h"
#include "landscape/contour_landscape.h"

struct FieldMix {
    float shares[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // sum to 1, or all 0 when unknown
    float presence = 0.0f;  // 0 outside the field, 0.5 at its edge, towards 1 inside
};

// The mix of `sources` at p. The edge is where the field reaches the level under which
// the game drains extra energy.
FieldMix MixAt(const GrowArray<Vec3>& sources, const Vec3& p);

class FieldListener {
public:
    // The mix where the ship flies: the world is shifted by `worldOffset`, so the ship at
    // the origin of the view is at (-x, -y) of the field. All 0 until the landscape is
    // ready.
    FieldMix Listen(const ContourLandscape& land, const Vec3& worldOffset);

private:
    GrowArray<Vec3> sources_;
};
