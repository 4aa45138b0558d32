// 3DS reader: Model3ds::LoadFromMemory on the input, then a walk over everything the
// model holds: every count matches its array, every face points into its own mesh's
// vertices, every name is a string, every track has its arrays.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "assets/model3ds.h"
#include "fuzz/fuzz_support.h"

namespace {

void CheckName(const char* name) {
    FUZZ_CHECK(name != nullptr);
    FUZZ_CHECK(std::strlen(name) < 64);
}

void CheckKeys(int count, float* const* arrays, int columns) {
    FUZZ_CHECK(count >= 0 && count <= 65535);
    for (int c = 0; c < columns; ++c) {
        FUZZ_CHECK((count > 0) == (arrays[c] != nullptr));
        if (count > 0) {
            volatile float last = arrays[c][count - 1];
            (void)last;
        }
    }
}

// Neither NaN nor infinite, and zero or within [1e-6, 1e6] in size.
bool Moderate(float c) { return c == 0.0f || (std::fabs(c) >= 1e-6f && std::fabs(c) <= 1e6f); }

void CheckMesh(const Model3ds& model, const Mesh3ds& mesh) {
    CheckName(mesh.name);
    FUZZ_CHECK(mesh.vertexCount >= 0 && mesh.vertexCount <= 65535);
    FUZZ_CHECK(mesh.faceCount >= 0 && mesh.faceCount <= 65535);
    FUZZ_CHECK((mesh.vertexCount > 0) == (mesh.vertices != nullptr));
    FUZZ_CHECK((mesh.faceCount > 0) == (mesh.faces != nullptr));
    for (int i = 0; i < mesh.faceCount; ++i) {
        const Face3ds& f = mesh.faces[i];
        FUZZ_CHECK(f.materialIndex >= -1 && f.materialIndex < model.materialCount);
        for (const Vertex3ds* v : f.vertex)
            FUZZ_CHECK(v >= mesh.vertices && v < mesh.vertices + mesh.vertexCount);
        // A unit normal, or zero for a face without area. Coordinates far out or very
        // near zero make the cross product overflow or go subnormal, where float
        // precision runs out, so only moderate ones are held to it.
        bool moderate = true;
        for (const Vertex3ds* v : f.vertex)
            moderate = moderate && Moderate(v->position.x) && Moderate(v->position.y) &&
                       Moderate(v->position.z);
        if (moderate) {
            const float len = f.normal.Length();
            FUZZ_CHECK(len == 0.0f || std::fabs(len - 1.0f) < 1e-4f);
            FUZZ_CHECK(f.radius >= 0.0f);
        }
    }
    CheckKeys(mesh.positionKeyCount, mesh.positionKeys, 4);
    CheckKeys(mesh.rotationKeyCount, mesh.rotationKeys, 5);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Model3ds model;
    const int ok = model.LoadFromMemory(data, size);
    FUZZ_CHECK(ok == 0 || ok == 1);
    if (!ok) {
        // A failed load leaves the model empty.
        FUZZ_CHECK(model.meshCount == 0 && model.cameraCount == 0 && model.lightCount == 0 &&
                   model.materialCount == 0);
        FUZZ_CHECK(model.meshes == nullptr && model.cameras == nullptr &&
                   model.lights == nullptr && model.materials == nullptr);
        return 0;
    }
    FUZZ_CHECK((model.meshCount > 0) == (model.meshes != nullptr));
    FUZZ_CHECK((model.cameraCount > 0) == (model.cameras != nullptr));
    FUZZ_CHECK((model.lightCount > 0) == (model.lights != nullptr));
    FUZZ_CHECK((model.materialCount > 0) == (model.materials != nullptr));
    for (int i = 0; i < model.meshCount; ++i) CheckMesh(model, model.meshes[i]);
    for (int i = 0; i < model.cameraCount; ++i) {
        const Camera3ds& c = model.cameras[i];
        CheckName(c.name);
        CheckKeys(c.positionKeyCount, c.positionKeys, 4);
        CheckKeys(c.targetKeyCount, c.targetKeys, 4);
        FUZZ_CHECK(c.orientation.m[15] == 1.0f);
    }
    for (int i = 0; i < model.lightCount; ++i) {
        const Light3ds& l = model.lights[i];
        CheckName(l.name);
        FUZZ_CHECK(l.spot == 0 || l.spot == 1);
        FUZZ_CHECK(l.off == 0 || l.off == 1);
        FUZZ_CHECK(l.secondFlag == 0 || l.secondFlag == 1);
    }
    for (int i = 0; i < model.materialCount; ++i) CheckName(model.materials[i].name);

    // Loading again over a full model frees what it held first (LeakSanitizer watches).
    FUZZ_CHECK(model.LoadFromMemory(data, size) == 1);
    return 0;
}
