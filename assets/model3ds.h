// Model3ds: a model read from a binary 3DS chunk file. The file is walked twice, first to
// count the meshes, cameras, lights and materials, then to fill arrays of exactly those
// sizes. Meshes keep their vertices and faces; cameras, lights, material names and
// keyframe tracks are recorded too. Every face gets a unit normal, a plane offset, a
// centre and a bounding radius.
//
// Positions read from the file (vertices, light positions, spot targets, position keys,
// rotation axes) are stored with y and z exchanged: the file's (x, y, z) becomes
// (x, z, y). Camera positions and targets and the mesh matrix are kept as in the file.
//
// Bad data is never trusted: face indices and face-material indices are checked against
// the counts, mapping coordinates go only to vertices that exist; chunk lengths of 0 or
// of 2^31 or more, nesting deeper than any real file and reads past the end of the data
// make the load fail, and so does a failed allocation (tests cause those through
// SetAllocFailure, core/alloc_failure.h). A failed load leaves the model empty.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/vec3.h"

struct Vertex3ds {
    Vec3 position;  // stored order (x, file z, file y)
    float u, v;     // mapping coordinates; 0 unless the mesh has a mapping chunk
};

struct Face3ds {
    int materialIndex;  // index into the model's materials; -1 for none or unknown
    // The face's first, third and second vertex of the file, in that order.
    Vertex3ds* vertex[3];
    Vec3 normal;  // unit normal of (second - first) x (third - first), file order
    float d;      // plane offset: normal . p + d = 0 on the face's plane
    Vec3 centre;
    float radius;  // largest distance from the centre to a corner
};

struct Mesh3ds {
    int nodeId;  // from the keyframer node that names this mesh, 0 if none
    char* name;
    int vertexCount;
    int faceCount;
    Face3ds* faces;
    Vertex3ds* vertices;
    Mat4 matrix;  // from the mesh matrix chunk; all zeros without one
    int parentNodeId;
    int positionKeyCount;
    int rotationKeyCount;
    float* positionKeys[4];  // frame, x, file z, file y
    float* rotationKeys[5];  // frame, angle, axis x, axis file z, axis file y
};

struct Camera3ds {
    char* name;
    Mat4 orientation;  // from the first position key (and first target key)
    Vec3 position;     // file order
    Vec3 target;       // file order
    float bank;
    float lens;
    int targetKeyCount;
    int positionKeyCount;
    float* targetKeys[4];    // frame, x, file z, file y
    float* positionKeys[4];  // frame, x, file z, file y
};

struct Light3ds {
    char* name;
    int spot;        // 1 after a spotlight chunk
    int off;         // 1 after the light-off chunk
    int secondFlag;  // 1 after a ray-shadows chunk (0x4627)
    Vec3 position;    // stored order
    Vec3 spotTarget;  // stored order
    float hotspot;
    float falloff;
    float value4659;  // the inner range
    float value465A;  // the outer range
    float value465B;  // the multiplier
    float red, green, blue;           // 0 to 1
    int redInt, greenInt, blueInt;    // the floats times 255, truncated
};

struct Material3ds {
    char* name;
};

class Model3ds {
public:
    Model3ds();
    ~Model3ds();
    Model3ds(const Model3ds&) = delete;
    Model3ds& operator=(const Model3ds&) = delete;

    // Reads a 3DS file: 1 on success, 0 on failure (the model is then empty).
    int Load(const char* fileName);
    // The same on a file's bytes already in memory; the data is only read during the call.
    int LoadFromMemory(const unsigned char* data, size_t size);
    // Frees everything the model holds and sets the counts to 0.
    void Free();

    uint32_t firstFrame;
    uint32_t lastFrame;
    int meshCount;
    int cameraCount;
    int lightCount;
    int materialCount;
    Mesh3ds* meshes;
    Camera3ds* cameras;
    Light3ds* lights;
    Material3ds* materials;
};
