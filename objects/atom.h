// Atom: collectible kind 0. Eight cubes built on top of each other: cubes 0 and 7 stay
// as the nucleus, cubes 1..6 are electrons on three perpendicular orbits, an inner shell
// (1..3, radius 15) and an outer one (4..6, radius 25) turning the other way.
#pragma once

#include "core/grow_array.h"
#include "core/vec3.h"
#include "objects/cube_geometry.h"
#include "objects/scene_object.h"

class Atom : public SceneObject {
public:
    Atom();
    ~Atom() override;

    int Build() override;
    void Release() override;
    // Draw(t) animates with angle 5 t, sorts and renders in the two-pass recipe.
    void Draw(float t) override;
    void SetModelMatrix(const Mat4& m) override;
    void SetViewMatrix(const Mat4& m) override;

    // First step of Draw: moves the electrons to angle theta and recomputes the normals
    // of every face but the first cube's. Centres and sizes keep their build values.
    void Animate(float theta);

    GrowArray<Vec3> vertices;
    GrowArray<QuadFace> faces;
    GrowArray<DepthSortEntry<QuadFace>> sortEntries;
    Mat4 viewMatrix;
    Mat4 modelMatrix;
    int dirty;
};
