#include "objects/atom.h"

#include <windows.h>
#include <GL/gl.h>

#include <cmath>

namespace {
const int kAtomCubes = 8;
const float kFillColour[3] = {0.12f, 0.02f, 0.08f};
const float kOutlineColour[3] = {0.24f, 0.04f, 0.16f};
}  // namespace

Atom::Atom() : dirty(0) {
    viewMatrix.Identity();
    modelMatrix.Identity();
}

Atom::~Atom() {}

int Atom::Build() {
    Release();
    if (!BuildCubes(vertices, faces, sortEntries, kAtomCubes, kAtomCubes)) return 0;
    dirty = 1;
    viewMatrix.Identity();
    modelMatrix.Identity();
    return 1;
}

void Atom::Release() {
    vertices.Clear();
    faces.Clear();
    sortEntries.Clear();
}

void Atom::SetModelMatrix(const Mat4& m) {
    modelMatrix.Assign(m);
    dirty = 1;
}

void Atom::SetViewMatrix(const Mat4& m) {
    viewMatrix.Assign(m);
    dirty = 1;
}

void Atom::Animate(float theta) {
    float r = 15.0f;
    const Vec3 origin{0.0f, 0.0f, 0.0f};
    for (int i = 1; i <= 6; ++i) {
        // A released or half-built atom has fewer corners: move only what exists.
        if (8 * i + 7 >= vertices.count) break;
        const float h = i <= 3 ? 5.5f : 2.5f;
        const float c = std::cos(theta);
        const float s = std::sin(theta);
        for (int k = 0; k < 8; ++k) {
            const Vec3 p = CubeCorner(origin, h, k);
            Vec3& v = vertices.items[8 * i + k];
            switch (i) {
            case 1:
            case 4:  // y-z plane
                v.x = p.x;
                v.y = c * (p.y + r) + s * p.z;
                v.z = c * p.z - s * (p.y + r);
                break;
            case 2:
            case 5:  // x-z plane
                v.x = c * p.x - s * (p.z + r);
                v.y = p.y;
                v.z = s * p.x + c * (p.z + r);
                break;
            default:  // x-y plane; this one mirrors the cube as it turns it
                v.x = c * (p.x + r) + s * p.y;
                v.y = s * (p.x + r) - c * p.y;
                v.z = p.z;
                break;
            }
        }
        if (i == 3) {
            r = 25.0f;
            theta = -theta;
        }
    }
    for (int f = 6; f < faces.count; ++f) UpdateQuadPlane(faces.items[f]);
}

void Atom::Draw(float t) {
    Animate(5.0f * t);
    SortFaces(sortEntries, viewMatrix, modelMatrix, dirty);

    BeginFilledPass(kFillColour);
    DrawQuadFaces(sortEntries, nullptr);
    BeginOutlinePass(kOutlineColour);
    DrawQuadFaces(sortEntries, nullptr);
    EndTwoPass();
}
