// The cube shared by the atom and the flower: corner numbering, face table, the quad
// face record and the builder that fills a kind's three arrays with N cubes.
#pragma once

#include "core/grow_array.h"
#include "core/vec3.h"
#include "objects/scene_object.h"

// One side of a cube. Corners point into the owner's vertex array, so that array is
// filled completely before any face is made and never grows afterwards.
struct QuadFace {
    int strand;  // colour selector for the flower; the atom leaves it 0
    Vec3* corner0;
    Vec3* corner1;
    Vec3* corner2;
    Vec3* corner3;
    Vec3 centre;  // build-time values: the depth sort keeps using them after animation
    float size;
    Vec3 normal;
    float d;
};

// Corner k of the cube at `centre` with half-size h: +h on x when bit 0 of k is set,
// on y for bit 1, on z for bit 2, -h otherwise.
inline Vec3 CubeCorner(const Vec3& centre, float h, int k) {
    return Vec3{(k & 1) ? centre.x + h : centre.x - h,
                (k & 2) ? centre.y + h : centre.y - h,
                (k & 4) ? centre.z + h : centre.z - h};
}

// Corner numbers of the six faces in field order corner0..corner3:
// z = -h, z = +h, y = +h, y = -h, x = +h, x = -h.
extern const int kCubeFaceCorners[6][4];

// Normal and d from the current corners: FromEdges(corner1 - corner0, corner2 - corner0,
// corner0), i.e. the unit normal of (corner2 - corner0) x (corner1 - corner0).
void UpdateQuadPlane(QuadFace& face);

// Release-free builder: pushes cubeCount cubes of half-size 7.5 at the origin (all
// corners first), then six faces per cube with strand 1 for cubes after lastRedCube,
// then one sort entry per face. Returns 0 as soon as a push fails; the arrays keep
// what was pushed.
int BuildCubes(GrowArray<Vec3>& vertices, GrowArray<QuadFace>& faces,
               GrowArray<DepthSortEntry<QuadFace>>& sortEntries, int cubeCount,
               int lastRedCube);

// One GL_QUADS batch of the faces in sorted order, corners reversed (3, 2, 1, 0).
// With strandColours null the current colour is left alone; otherwise the colour of
// strand s is strandColours[s], set for the first face and then only where the strand
// changes.
void DrawQuadFaces(const GrowArray<DepthSortEntry<QuadFace>>& sortEntries,
                   const float (*strandColours)[3]);
