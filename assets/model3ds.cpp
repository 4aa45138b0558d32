#include "assets/model3ds.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assets/chunk_ids_3ds.h"
#include "core/alloc_failure.h"

namespace {

// ---------------------------------------------------------------------------------------
// Allocation. Impossible sizes are refused before the test hook is asked, so they do not
// use up an allowed allocation.

void* AllocZeroed(long long count, long long size) {
    if (count <= 0 || size <= 0) return nullptr;
    if (count > (long long)(SIZE_MAX / 2) / size) return nullptr;
    if (!AllocationAllowed()) return nullptr;
    return std::calloc((size_t)count, (size_t)size);
}

char* CopyName(const char* name) {
    const size_t n = std::strlen(name) + 1;
    char* copy = static_cast<char*>(AllocZeroed((long long)n, 1));
    if (copy != nullptr) std::memcpy(copy, name, n);
    return copy;
}

// ---------------------------------------------------------------------------------------
// A byte stream over the whole file. Reads past the end set the error indicator (the
// file is truncated); reading a name up to the end does not, as with a FILE's EOF.
// Every byte read and every chunk header costs budget, so that a crafted file whose
// chunks overlap cannot make the walk revisit the same bytes without end.

struct Stream {
    const unsigned char* data = nullptr;
    long long size = 0;
    long long pos = 0;
    long long budget = 0;
    bool error = false;

    bool Take(long long n) {
        budget -= n;
        if (budget < 0) error = true;
        if (error || pos < 0 || n > size - pos) {
            error = true;
            if (pos < size) pos = size;
            return false;
        }
        return true;
    }
    uint16_t U16() {
        if (!Take(2)) return 0;
        uint16_t v = (uint16_t)(data[pos] | (data[pos + 1] << 8));
        pos += 2;
        return v;
    }
    uint32_t U32() {
        if (!Take(4)) return 0;
        uint32_t v = (uint32_t)data[pos] | ((uint32_t)data[pos + 1] << 8) |
                     ((uint32_t)data[pos + 2] << 16) | ((uint32_t)data[pos + 3] << 24);
        pos += 4;
        return v;
    }
    float F32() {
        uint32_t bits = U32();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    // One byte, or -1 at the end of the data (not an error by itself).
    int Byte() {
        if (pos < 0 || pos >= size) return -1;
        if (--budget < 0) {
            error = true;
            return -1;
        }
        return data[pos++];
    }
    void Seek(long long p) { pos = p; }
};

// Reads a NUL-terminated name into a 64-byte buffer, at most 63 characters. After the
// 63rd character one more byte is consumed and reading stops there, so a longer name
// leaves its tail in the stream. Returns 0, or -1 if the end of the data came first.
int ReadName(Stream& s, char* buffer) {
    int n = 0;
    for (;;) {
        const int c = s.Byte();
        if (n == 63) {
            buffer[63] = '\0';
            return 0;
        }
        if (c < 0) {
            buffer[n] = '\0';
            return -1;
        }
        buffer[n++] = (char)c;
        if (c == 0) return 0;
    }
}

// File (x, y, z) to stored (x, z, y).
Vec3 Exchanged(float x, float y, float z) { return Vec3{x, z, y}; }

// Float colour to the 0..255 integer, truncated; out-of-range values saturate rather than
// overflow the conversion.
int ColourInt(float c) {
    const float v = c * 255.0f;
    if (!(v == v)) return 0;
    if (v >= 2147483648.0f) return INT_MAX;
    if (v <= -2147483648.0f) return INT_MIN;
    return (int)v;
}

// ---------------------------------------------------------------------------------------
// The reader's working state for one load.

enum Pass { kCounting, kFilling };
enum NodeKind { kNodeObject, kNodeMesh, kNodeCamera, kNodeCameraTarget };

// Real files nest six or seven levels; anything deeper is malformed.
const int kMaxDepth = 64;

struct Reader {
    Model3ds* model = nullptr;
    Stream s;
    Pass pass = kCounting;
    Mesh3ds* mesh = nullptr;
    Light3ds* light = nullptr;
    Camera3ds* camera = nullptr;
    int nextMesh = 0, nextCamera = 0, nextLight = 0, nextMaterial = 0;
    char objectName[64] = {};  // shared with material names
    char nodeName[64] = {};
    int nodeId = 0;
    NodeKind nodeKind = kNodeObject;
    // The current node's target: a mesh for kind mesh, a camera otherwise.
    Mesh3ds* targetMesh = nullptr;
    Camera3ds* targetCamera = nullptr;
    int keyIndex = 0;
    int depth = 0;

    bool Filling() const { return pass == kFilling; }
};

typedef int (*ChunkAction)(Reader& r, long long chunkEnd);

// ---------------------------------------------------------------------------------------
// Actions. Anything that only fills runs in the filling pass; counting and the reads that
// decide where a container's children start run in both.

int NamedObject(Reader& r, long long) {
    ReadName(r.s, r.objectName);  // a name cut by the end of the data is still used
    return 0;
}

int TriangleMesh(Reader& r, long long) {
    Model3ds& m = *r.model;
    if (!r.Filling()) {
        ++m.meshCount;
        return 0;
    }
    if (r.nextMesh >= m.meshCount) return -1;
    r.mesh = &m.meshes[r.nextMesh++];
    r.mesh->name = CopyName(r.objectName);
    return r.mesh->name != nullptr ? 0 : -1;
}

int VertexList(Reader& r, long long) {
    if (!r.Filling()) return 0;
    const int n = r.s.U16();
    // Outside a mesh, or a second list for the same mesh: the faces already point into
    // the first one, so it stays.
    if (r.mesh == nullptr || r.mesh->vertices != nullptr) return 0;
    if (n == 0) return 0;
    Vertex3ds* v = static_cast<Vertex3ds*>(AllocZeroed(n, sizeof(Vertex3ds)));
    if (v == nullptr) return -1;
    r.mesh->vertices = v;
    r.mesh->vertexCount = n;
    for (int i = 0; i < n; ++i) {
        const float x = r.s.F32(), y = r.s.F32(), z = r.s.F32();
        if (r.s.error) return -1;
        v[i].position = Exchanged(x, y, z);
    }
    return 0;
}

int FaceList(Reader& r, long long) {
    const int n = r.s.U16();
    const long long faceBytes = 8LL * n;
    // The children (material groups, smoothing) follow the faces: skip them when they are
    // not read, so that both passes walk the same children.
    if (!r.Filling() || r.mesh == nullptr || r.mesh->faces != nullptr || n == 0) {
        r.s.Seek(r.s.pos + faceBytes);
        return 0;
    }
    Mesh3ds& mesh = *r.mesh;
    Face3ds* f = static_cast<Face3ds*>(AllocZeroed(n, sizeof(Face3ds)));
    if (f == nullptr) return -1;
    mesh.faces = f;
    mesh.faceCount = n;
    for (int i = 0; i < n; ++i) {
        const int a = r.s.U16(), b = r.s.U16(), c = r.s.U16();
        r.s.U16();  // edge and wrap flags
        if (r.s.error) return -1;
        // Covers a face list before the vertex list too: there are no vertices yet.
        if (a >= mesh.vertexCount || b >= mesh.vertexCount || c >= mesh.vertexCount)
            return -1;
        f[i].materialIndex = -1;
        f[i].vertex[0] = &mesh.vertices[a];
        f[i].vertex[1] = &mesh.vertices[c];
        f[i].vertex[2] = &mesh.vertices[b];
    }
    return 0;
}

int FaceMaterial(Reader& r, long long) {
    if (!r.Filling()) return 0;
    char name[64];
    if (ReadName(r.s, name) != 0) return -1;
    const Model3ds& m = *r.model;
    int material = -1;
    for (int i = 0; i < m.materialCount; ++i) {
        // Materials later in the file are not filled yet and have no name.
        if (m.materials[i].name != nullptr && std::strcmp(m.materials[i].name, name) == 0) {
            material = i;
            break;
        }
    }
    const int n = r.s.U16();
    for (int i = 0; i < n; ++i) {
        const int face = r.s.U16();
        if (r.s.error) return -1;
        if (r.mesh != nullptr && face < r.mesh->faceCount)
            r.mesh->faces[face].materialIndex = material;
    }
    return 0;
}

int MappingCoordinates(Reader& r, long long) {
    if (!r.Filling()) return 0;
    const int n = r.s.U16();
    if (r.mesh == nullptr || r.mesh->vertices == nullptr) return 0;
    const int used = n < r.mesh->vertexCount ? n : r.mesh->vertexCount;
    for (int i = 0; i < used; ++i) {
        const float u = r.s.F32(), v = r.s.F32();
        if (r.s.error) return -1;
        r.mesh->vertices[i].u = u;
        r.mesh->vertices[i].v = v;
    }
    return 0;
}

int MeshMatrix(Reader& r, long long) {
    if (!r.Filling()) return 0;
    float f[12];
    for (float& e : f) e = r.s.F32();
    if (r.s.error) return -1;
    if (r.mesh == nullptr) return 0;
    float* m = r.mesh->matrix.m;
    for (int axis = 0; axis < 4; ++axis) {
        m[4 * axis + 0] = f[3 * axis + 0];
        m[4 * axis + 1] = f[3 * axis + 1];
        m[4 * axis + 2] = f[3 * axis + 2];
        m[4 * axis + 3] = axis == 3 ? 1.0f : 0.0f;
    }
    return 0;
}

int Light(Reader& r, long long) {
    const float x = r.s.F32(), y = r.s.F32(), z = r.s.F32();
    Model3ds& m = *r.model;
    if (!r.Filling()) {
        ++m.lightCount;
        return 0;
    }
    if (r.nextLight >= m.lightCount) return -1;
    r.light = &m.lights[r.nextLight++];
    r.light->name = CopyName(r.objectName);
    if (r.light->name == nullptr) return -1;
    r.light->position = Exchanged(x, y, z);
    r.light->spot = 0;
    return 0;
}

int Spotlight(Reader& r, long long) {
    if (!r.Filling()) return 0;
    float f[5];
    for (float& e : f) e = r.s.F32();
    if (r.s.error) return -1;
    if (r.light == nullptr) return 0;
    r.light->spot = 1;
    r.light->spotTarget = Exchanged(f[0], f[1], f[2]);
    r.light->hotspot = f[3];
    r.light->falloff = f[4];
    return 0;
}

int LightOff(Reader& r, long long) {
    if (r.Filling() && r.light != nullptr) r.light->off = 1;
    return 0;
}

int LightSecondFlag(Reader& r, long long) {
    if (r.Filling() && r.light != nullptr) r.light->secondFlag = 1;
    return 0;
}

int LightValue(Reader& r, float Light3ds::*field) {
    if (!r.Filling()) return 0;
    const float value = r.s.F32();
    if (r.s.error) return -1;
    if (r.light != nullptr) r.light->*field = value;
    return 0;
}
// The light's fields are named after the ids of the chunks they come from.
static_assert(kChunkLightInnerRange == 0x4659 && kChunkLightOuterRange == 0x465A &&
                  kChunkLightMultiplier == 0x465B,
              "value4659, value465A and value465B");
int LightValue4659(Reader& r, long long) { return LightValue(r, &Light3ds::value4659); }
int LightValue465A(Reader& r, long long) { return LightValue(r, &Light3ds::value465A); }
int LightValue465B(Reader& r, long long) { return LightValue(r, &Light3ds::value465B); }

// A colour goes to the first light named like the current object. Inside a material the
// current name is the material's, so material colours normally change nothing.
int Colour(Reader& r, long long) {
    if (!r.Filling()) return 0;
    const float red = r.s.F32(), green = r.s.F32(), blue = r.s.F32();
    if (r.s.error) return -1;
    Model3ds& m = *r.model;
    for (int i = 0; i < m.lightCount; ++i) {
        Light3ds& l = m.lights[i];
        if (l.name == nullptr || std::strcmp(l.name, r.objectName) != 0) continue;
        l.red = red;
        l.green = green;
        l.blue = blue;
        l.redInt = ColourInt(red);
        l.greenInt = ColourInt(green);
        l.blueInt = ColourInt(blue);
        break;
    }
    return 0;
}

int Camera(Reader& r, long long) {
    float f[8];
    for (float& e : f) e = r.s.F32();
    Model3ds& m = *r.model;
    if (!r.Filling()) {
        ++m.cameraCount;
        return 0;
    }
    if (r.s.error) return -1;
    if (r.nextCamera >= m.cameraCount) return -1;
    Camera3ds& c = m.cameras[r.nextCamera++];
    r.camera = &c;
    c.position = Vec3{f[0], f[1], f[2]};
    c.target = Vec3{f[3], f[4], f[5]};
    c.bank = f[6];
    c.lens = f[7];
    c.name = CopyName(r.objectName);
    return c.name != nullptr ? 0 : -1;
}

int MaterialName(Reader& r, long long) {
    if (ReadName(r.s, r.objectName) != 0) return -1;
    Model3ds& m = *r.model;
    if (!r.Filling()) {
        ++m.materialCount;
        return 0;
    }
    if (r.nextMaterial >= m.materialCount) return -1;
    Material3ds& mat = m.materials[r.nextMaterial++];
    mat.name = CopyName(r.objectName);
    return mat.name != nullptr ? 0 : -1;
}

int KeyframeSegment(Reader& r, long long) {
    r.model->firstFrame = r.s.U32();
    r.model->lastFrame = r.s.U32();
    return 0;
}

int NodeId(Reader& r, long long) {
    r.nodeId = (int16_t)r.s.U16();
    return 0;
}

int ObjectNode(Reader& r, long long) {
    r.nodeKind = kNodeObject;
    return 0;
}
int CameraNode(Reader& r, long long) {
    r.nodeKind = kNodeCamera;
    return 0;
}
int CameraTargetNode(Reader& r, long long) {
    r.nodeKind = kNodeCameraTarget;
    return 0;
}

int NodeHeader(Reader& r, long long) {
    if (ReadName(r.s, r.nodeName) != 0) return -1;
    r.s.U32();  // flags
    const int parent = (int16_t)r.s.U16();
    if (!r.Filling()) return 0;
    if (r.s.error) return -1;
    Model3ds& m = *r.model;
    r.targetMesh = nullptr;
    r.targetCamera = nullptr;
    if (r.nodeKind == kNodeObject) {
        for (int i = 0; i < m.meshCount; ++i) {
            Mesh3ds& mesh = m.meshes[i];
            if (mesh.name == nullptr || std::strcmp(mesh.name, r.nodeName) != 0) continue;
            mesh.nodeId = r.nodeId;
            mesh.parentNodeId = parent;
            r.targetMesh = &mesh;
            r.nodeKind = kNodeMesh;
            break;
        }
    } else {
        for (int i = 0; i < m.cameraCount; ++i) {
            Camera3ds& c = m.cameras[i];
            if (c.name == nullptr || std::strcmp(c.name, r.nodeName) != 0) continue;
            r.targetCamera = &c;
            break;
        }
    }
    return 0;
}

// Frame number (low half used), flags, and one float for each of flag bits 0 to 2.
float KeyHeader(Stream& s) {
    const uint16_t low = s.U16();
    s.U16();
    const int flags = s.U16();
    for (int bit = 0; bit < 3; ++bit)
        if (flags & (1 << bit)) s.F32();
    return (float)low;
}

// Track header of 14 bytes; the key count is the 16-bit value at offset 10.
int TrackKeyCount(Stream& s) {
    s.U32();
    s.U32();
    s.U16();
    const int count = s.U16();
    s.U16();
    return count;
}

// Replaces a track's arrays by `columns` new ones of `count` keys each.
int NewTrack(int count, int columns, int* keyCount, float** arrays) {
    for (int i = 0; i < columns; ++i) {
        std::free(arrays[i]);
        arrays[i] = nullptr;
    }
    *keyCount = 0;
    if (count == 0) return 0;
    for (int i = 0; i < columns; ++i) {
        arrays[i] = static_cast<float*>(AllocZeroed(count, sizeof(float)));
        if (arrays[i] == nullptr) return -1;
    }
    *keyCount = count;
    return 0;
}

int PositionTrack(Reader& r, long long) {
    if (!r.Filling()) return 0;
    const int count = TrackKeyCount(r.s);
    if (r.s.error) return -1;
    int* keyCount = nullptr;
    float** keys = nullptr;
    if (r.nodeKind == kNodeMesh && r.targetMesh != nullptr) {
        keyCount = &r.targetMesh->positionKeyCount;
        keys = r.targetMesh->positionKeys;
    } else if (r.nodeKind == kNodeCamera && r.targetCamera != nullptr) {
        keyCount = &r.targetCamera->positionKeyCount;
        keys = r.targetCamera->positionKeys;
    } else if (r.nodeKind == kNodeCameraTarget && r.targetCamera != nullptr) {
        keyCount = &r.targetCamera->targetKeyCount;
        keys = r.targetCamera->targetKeys;
    } else {
        return 0;
    }
    if (NewTrack(count, 4, keyCount, keys) != 0) return -1;
    for (r.keyIndex = 0; r.keyIndex < count; ++r.keyIndex) {
        const float frame = KeyHeader(r.s);
        const float x = r.s.F32(), y = r.s.F32(), z = r.s.F32();
        if (r.s.error) return -1;
        keys[0][r.keyIndex] = frame;
        keys[1][r.keyIndex] = x;
        keys[2][r.keyIndex] = z;
        keys[3][r.keyIndex] = y;
    }
    return 0;
}

int RotationTrack(Reader& r, long long) {
    if (!r.Filling()) return 0;
    const int count = TrackKeyCount(r.s);
    if (r.s.error) return -1;
    if (r.nodeKind != kNodeMesh || r.targetMesh == nullptr) return 0;
    float** keys = r.targetMesh->rotationKeys;
    if (NewTrack(count, 5, &r.targetMesh->rotationKeyCount, keys) != 0) return -1;
    for (r.keyIndex = 0; r.keyIndex < count; ++r.keyIndex) {
        const float frame = KeyHeader(r.s);
        const float angle = r.s.F32(), x = r.s.F32(), y = r.s.F32(), z = r.s.F32();
        if (r.s.error) return -1;
        keys[0][r.keyIndex] = frame;
        keys[1][r.keyIndex] = angle;
        keys[2][r.keyIndex] = x;
        keys[3][r.keyIndex] = z;
        keys[4][r.keyIndex] = y;
    }
    return 0;
}

// Chunks we know but do not keep.
int Discard(Reader& r, long long chunkEnd) {
    r.s.Seek(chunkEnd);
    return 0;
}

// ---------------------------------------------------------------------------------------
// The chunk table: searched linearly, first match wins. Ids not in it are skipped.

struct ChunkRow {
    uint16_t id;
    bool container;  // children are walked after the action
    ChunkAction action;
};

constexpr ChunkRow kChunks[] = {
    // Containers whose children are all that matters.
    {kChunkMain, true, nullptr}, {kChunkScene, true, nullptr}, {kChunkProjectMain, true, nullptr},
    {kChunkMaterialLibrary, true, nullptr}, {kChunkBackgroundColour, true, nullptr},
    {kChunkAmbientLight, true, nullptr}, {kChunkUndocumentedGroup, true, nullptr},
    {kChunkMaterial, true, nullptr}, {kChunkMaterialAmbient, true, nullptr},
    {kChunkMaterialDiffuse, true, nullptr}, {kChunkMaterialSpecular, true, nullptr},
    {kChunkMaterialShininess, true, nullptr}, {kChunkMaterialShininessStrength, true, nullptr},
    {kChunkMaterialTransparency, true, nullptr}, {kChunkMaterialTransparencyFalloff, true, nullptr},
    {kChunkMaterialReflectionBlur, true, nullptr}, {kChunkMaterialSelfIllumination, true, nullptr},
    {kChunkMaterialTextureMap, true, nullptr}, {kChunkMaterialReflectionMap, true, nullptr},
    {kChunkMaterialBumpMap, true, nullptr}, {kChunkKeyframer, true, nullptr},
    {kChunkAmbientNode, true, nullptr}, {kChunkLightNode, true, nullptr},
    {kChunkLightTargetNode, true, nullptr}, {kChunkSpotlightNode, true, nullptr},
    // Containers with an action.
    {kChunkNamedObject, true, NamedObject}, {kChunkTriangleMesh, true, TriangleMesh},
    {kChunkFaceList, true, FaceList}, {kChunkLight, true, Light},
    {kChunkObjectNode, true, ObjectNode}, {kChunkCameraNode, true, CameraNode},
    {kChunkCameraTargetNode, true, CameraTargetNode},
    // Leaves with an action.
    {kChunkColourFloat, false, Colour}, {kChunkLinearColourFloat, false, Colour},
    {kChunkVertexList, false, VertexList}, {kChunkFaceMaterial, false, FaceMaterial},
    {kChunkMappingCoordinates, false, MappingCoordinates}, {kChunkMeshMatrix, false, MeshMatrix},
    {kChunkSpotlight, false, Spotlight}, {kChunkLightOff, false, LightOff},
    {kChunkLightRayShadows, false, LightSecondFlag}, {kChunkLightInnerRange, false, LightValue4659},
    {kChunkLightOuterRange, false, LightValue465A}, {kChunkLightMultiplier, false, LightValue465B},
    {kChunkCamera, false, Camera}, {kChunkMaterialName, false, MaterialName},
    {kChunkKeyframeSegment, false, KeyframeSegment}, {kChunkNodeHeader, false, NodeHeader},
    {kChunkPositionTrack, false, PositionTrack}, {kChunkRotationTrack, false, RotationTrack},
    {kChunkNodeId, false, NodeId},
    // Known leaves whose contents are read and discarded.
    {kChunkFileVersion, false, Discard}, {kChunkColour24, false, Discard},
    {kChunkLinearColour24, false, Discard}, {kChunkPercentInt, false, Discard},
    {kChunkPercentFloat, false, Discard}, {kChunkMasterScale, false, Discard},
    {kChunkMeshVersion, false, Discard}, {kChunkVertexFlags, false, Discard},
    {kChunkSmoothingGroups, false, Discard}, {kChunkMeshColour, false, Discard},
    {kChunkMappingInfo, false, Discard}, {kChunkViewportLayout, false, Discard},
    {kChunkViewportData, false, Discard}, {kChunkMaterialTwoSided, false, Discard},
    {kChunkMaterialAdditive, false, Discard}, {kChunkMaterialWire, false, Discard},
    {kChunkMaterialWireSize, false, Discard}, {kChunkMaterialSoftPhong, false, Discard},
    {kChunkMaterialShading, false, Discard}, {kChunkMaterialBumpAmount, false, Discard},
    {kChunkMapFileName, false, Discard}, {kChunkMapTiling, false, Discard},
    {kChunkMapBlur, false, Discard}, {kChunkMapScaleU, false, Discard},
    {kChunkMapScaleV, false, Discard}, {kChunkMapOffsetU, false, Discard},
    {kChunkMapOffsetV, false, Discard}, {kChunkMapRotation, false, Discard},
    {kChunkPivot, false, Discard}, {kChunkScaleTrack, false, Discard},
    {kChunkFieldOfViewTrack, false, Discard}, {kChunkRollTrack, false, Discard},
    {kChunkColourTrack, false, Discard},
    // Known leaves skipped outright.
    {kChunkBoxMapMaterials, false, nullptr}, {kChunkInstanceName, false, nullptr},
    {kChunkMorphTrack, false, nullptr}, {kChunkHideTrack, false, nullptr},
};
static_assert(sizeof(kChunks) / sizeof(kChunks[0]) == 88, "one row per known chunk id");

// A repeated id would leave its later row unreachable.
constexpr bool IdsAreDistinct() {
    for (const ChunkRow& a : kChunks)
        for (const ChunkRow& b : kChunks)
            if (&a != &b && a.id == b.id) return false;
    return true;
}
static_assert(IdsAreDistinct(), "each chunk id has one row");

const ChunkRow* FindChunk(uint16_t id) {
    for (const ChunkRow& row : kChunks)
        if (row.id == id) return &row;
    return nullptr;
}

// Walks the chunks from the current position up to `end`: 0, or -1 on failure.
int Walk(Reader& r, long long end) {
    if (r.depth >= kMaxDepth) return -1;
    ++r.depth;
    Stream& s = r.s;
    int result = 0;
    while (s.pos < end) {
        const long long start = s.pos;
        const uint16_t id = s.U16();
        const uint32_t length = s.U32();
        if (s.error || length == 0 || length >= 0x80000000u) {
            result = -1;
            break;
        }
        // A chunk may end past its parent or past the data: the seek ends the walks
        // that contain it, and reads past the data fail.
        const long long chunkEnd = start + (long long)length;
        const ChunkRow* row = FindChunk(id);
        if (row != nullptr) {
            if (row->action != nullptr) {
                result = row->action(r, chunkEnd);
                if (result != 0) break;
            }
            if (row->container) {
                result = Walk(r, chunkEnd);
                if (result != 0) break;
            }
        }
        s.Seek(chunkEnd);
        if (s.error) {
            result = -1;
            break;
        }
    }
    --r.depth;
    return result;
}

// Walks the whole data once in the given pass.
int WalkPass(Reader& r, const unsigned char* data, long long size, Pass pass) {
    r.pass = pass;
    r.s = Stream();
    r.s.data = data;
    r.s.size = size;
    // Every byte of a sound file is read at most once per pass.
    r.s.budget = 8 * size + 4096;
    r.depth = 0;
    r.mesh = nullptr;
    r.light = nullptr;
    r.camera = nullptr;
    r.targetMesh = nullptr;
    r.targetCamera = nullptr;
    r.nodeKind = kNodeObject;
    r.nodeId = 0;
    r.keyIndex = 0;
    r.objectName[0] = '\0';
    r.nodeName[0] = '\0';
    r.nextMesh = r.nextCamera = r.nextLight = r.nextMaterial = 0;
    return Walk(r, size);
}

void ProcessFace(Face3ds& f) {
    const Vec3 a = f.vertex[0]->position;  // file's first
    const Vec3 b = f.vertex[2]->position;  // file's second
    const Vec3 c = f.vertex[1]->position;  // file's third
    // FromEdges yields the unit (C - B) x (A - B), which is (B - A) x (C - A), through B.
    const Plane plane = Plane::FromEdges(a.Sub(b), c.Sub(b), b);
    f.normal = plane.normal;
    f.d = plane.d;
    f.centre = a.Add(b).Add(c).Scale(0.33333334f);
    float radius = f.centre.Sub(a).Length();
    const float rb = f.centre.Sub(b).Length();
    const float rc = f.centre.Sub(c).Length();
    if (rb > radius) radius = rb;
    if (rc > radius) radius = rc;
    f.radius = radius;
}

void BuildCameraOrientation(Camera3ds& c) {
    Mat4& o = c.orientation;
    o.Identity();
    if (c.positionKeyCount <= 0) return;
    const Vec3 p{c.positionKeys[1][0], c.positionKeys[2][0], c.positionKeys[3][0]};
    if (c.targetKeyCount > 0) {
        const Vec3 t{c.targetKeys[1][0], c.targetKeys[2][0], c.targetKeys[3][0]};
        Vec3 dir = t.Sub(p);
        dir.Normalize();
        const Vec3 worldUp{0.0f, 1.0f, 0.0f};
        Vec3 side = dir.Cross(worldUp);  // (0, 1, 0) x dir
        side.Normalize();
        Vec3 up = dir.Cross(side);  // side x dir
        up.Normalize();
        o.m[0] = side.x; o.m[1] = side.y; o.m[2] = side.z;
        o.m[4] = up.x; o.m[5] = up.y; o.m[6] = up.z;
        o.m[8] = dir.x; o.m[9] = dir.y; o.m[10] = dir.z;
    }
    o.m[12] = p.x;
    o.m[13] = p.y;
    o.m[14] = p.z;
}

}  // namespace

Model3ds::Model3ds()
    : firstFrame(0), lastFrame(0), meshCount(0), cameraCount(0), lightCount(0),
      materialCount(0), meshes(nullptr), cameras(nullptr), lights(nullptr),
      materials(nullptr) {}

Model3ds::~Model3ds() { Free(); }

void Model3ds::Free() {
    for (int i = 0; meshes != nullptr && i < meshCount; ++i) {
        Mesh3ds& m = meshes[i];
        std::free(m.name);
        std::free(m.faces);
        std::free(m.vertices);
        for (float* k : m.positionKeys) std::free(k);
        for (float* k : m.rotationKeys) std::free(k);
    }
    for (int i = 0; cameras != nullptr && i < cameraCount; ++i) {
        Camera3ds& c = cameras[i];
        std::free(c.name);
        for (float* k : c.targetKeys) std::free(k);
        for (float* k : c.positionKeys) std::free(k);
    }
    for (int i = 0; lights != nullptr && i < lightCount; ++i) std::free(lights[i].name);
    for (int i = 0; materials != nullptr && i < materialCount; ++i)
        std::free(materials[i].name);
    std::free(meshes);
    std::free(cameras);
    std::free(lights);
    std::free(materials);
    meshes = nullptr;
    cameras = nullptr;
    lights = nullptr;
    materials = nullptr;
    meshCount = cameraCount = lightCount = materialCount = 0;
}

int Model3ds::LoadFromMemory(const unsigned char* data, size_t dataSize) {
    Free();
    firstFrame = 0;
    lastFrame = 0;
    if (data == nullptr && dataSize > 0) return 0;
    // The walk counts in signed 64 bits, its read budget eight times the size.
    if (dataSize > (size_t)(LLONG_MAX / 16)) return 0;
    const long long size = (long long)dataSize;

    Reader r;
    r.model = this;
    if (WalkPass(r, data, size, kCounting) != 0) {
        Free();
        return 0;
    }
    // The counts are kept while an array is missing so that Free visits only what exists.
    const int counts[4] = {meshCount, cameraCount, lightCount, materialCount};
    meshCount = cameraCount = lightCount = materialCount = 0;
    bool ok = true;
    if (counts[0] > 0) {
        meshes = static_cast<Mesh3ds*>(AllocZeroed(counts[0], sizeof(Mesh3ds)));
        if (meshes != nullptr) meshCount = counts[0]; else ok = false;
    }
    if (ok && counts[1] > 0) {
        cameras = static_cast<Camera3ds*>(AllocZeroed(counts[1], sizeof(Camera3ds)));
        if (cameras != nullptr) cameraCount = counts[1]; else ok = false;
    }
    if (ok && counts[2] > 0) {
        lights = static_cast<Light3ds*>(AllocZeroed(counts[2], sizeof(Light3ds)));
        if (lights != nullptr) lightCount = counts[2]; else ok = false;
    }
    if (ok && counts[3] > 0) {
        materials = static_cast<Material3ds*>(AllocZeroed(counts[3], sizeof(Material3ds)));
        if (materials != nullptr) materialCount = counts[3]; else ok = false;
    }
    if (!ok || WalkPass(r, data, size, kFilling) != 0) {
        Free();
        return 0;
    }

    for (int i = 0; i < meshCount; ++i)
        for (int j = 0; j < meshes[i].faceCount; ++j) ProcessFace(meshes[i].faces[j]);
    for (int i = 0; i < cameraCount; ++i) BuildCameraOrientation(cameras[i]);
    return 1;
}

int Model3ds::Load(const char* fileName) {
    Free();
    if (fileName == nullptr) return 0;
    FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) return 0;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return 0;
    }
    unsigned char* data = nullptr;
    if (size > 0) {
        data = static_cast<unsigned char*>(std::malloc((size_t)size));
        if (data == nullptr || std::fread(data, 1, (size_t)size, file) != (size_t)size) {
            std::free(data);
            std::fclose(file);
            return 0;
        }
    }
    std::fclose(file);
    const int result = LoadFromMemory(data, (size_t)size);
    std::free(data);
    return result;
}
