// Fractal: collectible kind 2. A tetrahedron subdivided six levels deep (1 to 1024
// tetrahedra), all built at once; Draw shows one level at a time, stepping through
// levels 0..4 and back as time passes, so the shape shatters and reassembles.
#pragma once

#include "core/grow_array.h"
#include "core/vec3.h"
#include "objects/scene_object.h"

// Laid out like the model reader's vertex: position, then five values the fractal
// leaves at zero and never reads.
struct FractalVertex {
    Vec3 position;
    float unused[5];
};

// Laid out like the model reader's face, with `level` where a model face keeps its
// material index.
struct TriFace {
    int level;  // subdivision level of the owning tetrahedron, 0..5
    int unused[2];
    FractalVertex* corner0;  // into the fractal's vertices, which never move
    FractalVertex* corner1;
    FractalVertex* corner2;
    Vec3 normal;  // unit normal of (corner1 - corner2) x (corner0 - corner2)
    float d;
    Vec3 centre;  // ((corner0 + corner1) + corner2) * 0.33333
    float size;   // size of the tetrahedron
};

class Fractal : public SceneObject {
public:
    // Vertex slots reserved before subdividing (4^7); the subdivision uses 5460.
    static const int kVertexReserve = 16384;
    static const int kDeepestLevel = 5;

    Fractal();
    ~Fractal() override;

    int Build() override;
    void Release() override;
    // Draw(t) shows level SelectLevel(t), sorting all entries whatever the level.
    void Draw(float t) override;
    void SetModelMatrix(const Mat4& m) override;
    void SetViewMatrix(const Mat4& m) override;

    // Pushes the tetrahedron of size s at p with its faces, then its four children one
    // level deeper. Returns 0 when a push failed (the geometry is then incomplete).
    int Subdivide(int level, float s, const Vec3& p);

    // Truncation of 4 |sin 2t| + 0.5: 0..4 (level 5 is built but never shown); -1 for a
    // time that is not a number.
    static int SelectLevel(float t);

    GrowArray<FractalVertex> vertices;
    GrowArray<TriFace> faces;
    GrowArray<DepthSortEntry<TriFace>> sortEntries;
    Mat4 viewMatrix;
    Mat4 modelMatrix;
    int dirty;
};
