#include "objects/flower.h"

#include <windows.h>
#include <GL/gl.h>

#include <cmath>

namespace {
const int kFlowerCubes = 40;
const int kLastRedCube = 20;
const float kStrandColours[2][3] = {
    {0.2f, 0.04f, 0.04f},  // strand 0, red
    {0.04f, 0.08f, 0.2f},  // strand 1, blue
};
// The curves divide by 13, 11, 17, 20, 7 and 29 as multiplications by these.
const float kOver13 = 0.07692308f;
const float kOver11 = 0.09090909f;
const float kOver17 = 0.05882353f;
const float kOver20 = 0.05f;
const float kOver7 = 0.14285715f;
const float kOver29 = 0.03448276f;
}  // namespace

int Flower::Build() {
    Release();
    if (!BuildCubes(vertices, faces, sortEntries, kFlowerCubes, kLastRedCube)) return 0;
    dirty = 1;
    viewMatrix.Identity();
    modelMatrix.Identity();
    return 1;
}

void Flower::Animate(float t) {
    const float T = 40.0f * t;
    for (int i = 0; i < kFlowerCubes; ++i) {
        // A released or half-built flower has fewer corners: move only what exists.
        if (8 * i + 7 >= vertices.count) break;
        const float a = (float)(3 * i) + T;
        Vec3 centre;
        if (i <= kLastRedCube) {
            centre.x = 15.0f * std::cos(a * kOver13) * std::sin(a * kOver11);
            centre.y = 15.0f * std::sin(a * kOver17) * std::sin(a * kOver20);
            centre.z = 15.0f * std::cos(a * kOver7) * std::sin(a * kOver29);
        } else {
            centre.x = 15.0f * std::sin(a * kOver13) * std::cos(a * kOver29);
            centre.y = 15.0f * std::sin(a * kOver11) * std::sin(a * kOver20);
            centre.z = 15.0f * std::cos(a * kOver17) * std::sin(a * kOver7);
        }
        const float h = 3.0f - (float)(i % 21) * 0.15f;
        for (int k = 0; k < 8; ++k) vertices.items[8 * i + k] = CubeCorner(centre, h, k);
    }
}

void Flower::Draw(float t) {
    Animate(t);
    SortFaces(sortEntries, viewMatrix, modelMatrix, dirty);

    BeginFilledPass(nullptr);
    DrawQuadFaces(sortEntries, kStrandColours);
    BeginOutlinePass(nullptr);
    DrawQuadFaces(sortEntries, kStrandColours);
    EndTwoPass();
}
