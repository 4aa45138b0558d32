// make_crfighter: writes the ship's model, crfighter.3ds.
//
//   make_crfighter [output path]      (default data/crfighter.3ds)
//
// A small fighter: fuselage, cockpit canopy, swept wings, tail fins, engine block and the
// exhaust mesh "__jet", whose first face is the triangle the flame grows from. Every mesh
// is closed. The shapes are laid out in game space (y up, nose at +z, tail at -z) and
// written the 3DS way: z up, so each position goes out as (x, z, y).
//
// Winding: each triangle is made counter-clockwise seen from outside in game space and
// written with its last two indices swapped. After the reader's y/z exchange (a mirror)
// the file order is clockwise from outside, which is what the game draws with
// glCullFace(GL_FRONT); in the file's own z-up space it is the usual outward CCW.
//
// The file also carries two materials with face groups, mapping coordinates, smoothing
// groups, mesh matrices, a light, a camera and a keyframer section with one node per
// mesh, so every path of the reader runs on the real file.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "assets/chunk_ids_3ds.h"
#include "tools/make_crfighter_chunks.h"

namespace {

struct P3 {
    float x, y, z;
};

P3 CrossProduct(P3 a, P3 b) {
    return P3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(P3 a, P3 b) { return (double)a.x * b.x + (double)a.y * b.y + (double)a.z * b.z; }

struct Tri {
    int a, b, c;
};

struct Mesh {
    std::string name;
    std::string material;
    std::vector<P3> v;
    std::vector<Tri> t;
    bool mapped = false;
};

int Add(Mesh& m, P3 p) {
    m.v.push_back(p);
    return (int)m.v.size() - 1;
}

// Six times the signed volume: positive when the triangles are CCW from outside.
double SignedVolume(const Mesh& m) {
    double vol = 0.0;
    for (const Tri& t : m.t) vol += Dot(m.v[t.a], CrossProduct(m.v[t.b], m.v[t.c]));
    return vol;
}

void MakeOutward(Mesh& m) {
    if (SignedVolume(m) >= 0.0) return;
    for (Tri& t : m.t) std::swap(t.b, t.c);
}

// A ring of n points on an ellipse around (0, yc) at depth z, starting at the top.
std::vector<P3> Ellipse(int n, float z, float rx, float ry, float yc, float xc = 0.0f) {
    std::vector<P3> ring;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * 3.14159265358979 * i / n;
        ring.push_back(P3{xc + rx * (float)std::sin(a), yc + ry * (float)std::cos(a), z});
    }
    return ring;
}

// Skins a sequence of rings of equal size. A ring of one point is an apex; other end
// rings get a flat cap fanned around their centre.
void Loft(Mesh& m, const std::vector<std::vector<P3>>& rings) {
    const int n = (int)rings[1].size();
    std::vector<std::vector<int>> idx;
    for (const auto& ring : rings) {
        std::vector<int> r;
        for (const P3& p : ring) r.push_back(Add(m, p));
        idx.push_back(r);
    }
    for (size_t s = 0; s + 1 < idx.size(); ++s) {
        const std::vector<int>& r0 = idx[s];
        const std::vector<int>& r1 = idx[s + 1];
        for (int i = 0; i < n; ++i) {
            const int j = (i + 1) % n;
            if (r0.size() == 1) {
                m.t.push_back(Tri{r0[0], r1[j], r1[i]});
            } else if (r1.size() == 1) {
                m.t.push_back(Tri{r0[i], r0[j], r1[0]});
            } else {
                m.t.push_back(Tri{r0[i], r0[j], r1[j]});
                m.t.push_back(Tri{r0[i], r1[j], r1[i]});
            }
        }
    }
    const std::vector<int>* ends[2] = {&idx.front(), &idx.back()};
    for (int e = 0; e < 2; ++e) {
        const std::vector<int>& r = *ends[e];
        if (r.size() == 1) continue;
        P3 c{0, 0, 0};
        for (int i : r) {
            c.x += m.v[i].x / r.size();
            c.y += m.v[i].y / r.size();
            c.z += m.v[i].z / r.size();
        }
        const int ci = Add(m, c);
        for (int i = 0; i < n; ++i) {
            const int j = (i + 1) % n;
            if (e == 0) m.t.push_back(Tri{ci, r[j], r[i]});
            else m.t.push_back(Tri{ci, r[i], r[j]});
        }
    }
    MakeOutward(m);
}

Mesh Fuselage() {
    Mesh m{"fuselage", "HULL", {}, {}, true};
    struct Station {
        float z, rx, ry, yc;
    };
    const Station st[] = {{34, 2.0f, 1.6f, 0.0f},  {24, 4.0f, 3.0f, 0.3f},
                          {10, 5.5f, 4.0f, 0.5f},  {-5, 6.0f, 4.2f, 0.5f},
                          {-18, 5.5f, 3.8f, 0.3f}, {-26, 4.5f, 3.2f, 0.0f}};
    std::vector<std::vector<P3>> rings;
    rings.push_back({P3{0.0f, -0.3f, 40.0f}});
    for (const Station& s : st) rings.push_back(Ellipse(12, s.z, s.rx, s.ry, s.yc));
    Loft(m, rings);
    return m;
}

Mesh Cockpit() {
    Mesh m{"cockpit", "HULL", {}, {}, false};
    std::vector<std::vector<P3>> rings;
    rings.push_back({P3{0.0f, 3.2f, 25.0f}});
    rings.push_back(Ellipse(8, 19.0f, 2.2f, 1.6f, 4.2f));
    rings.push_back(Ellipse(8, 12.0f, 3.0f, 2.2f, 4.9f));
    rings.push_back(Ellipse(8, 5.0f, 2.8f, 1.8f, 4.8f));
    rings.push_back({P3{0.0f, 4.4f, 0.0f}});
    Loft(m, rings);
    return m;
}

// A diamond section: leading edge, top, trailing edge, bottom.
std::vector<P3> Diamond(float x, float y, float zLead, float zTrail, float thick) {
    const float zMid = zLead + 0.4f * (zTrail - zLead);
    return {P3{x, y, zLead}, P3{x, y + thick, zMid}, P3{x, y, zTrail}, P3{x, y - thick, zMid}};
}

Mesh Wing(float side, const char* name) {
    Mesh m{name, "HULL", {}, {}, false};
    Loft(m, {Diamond(4.0f * side, -1.0f, 8.0f, -18.0f, 1.3f),
             Diamond(20.0f * side, -0.4f, -4.0f, -21.0f, 0.8f),
             Diamond(36.0f * side, 0.4f, -14.0f, -24.0f, 0.35f)});
    return m;
}

// A vertical section of a fin: leading edge, outer side, trailing edge, inner side.
std::vector<P3> FinSection(float x, float y, float zLead, float zTrail, float thick) {
    const float zMid = zLead + 0.4f * (zTrail - zLead);
    return {P3{x, y, zLead}, P3{x + thick, y, zMid}, P3{x, y, zTrail}, P3{x - thick, y, zMid}};
}

Mesh Fin(float side, const char* name) {
    Mesh m{name, "HULL", {}, {}, false};
    Loft(m, {FinSection(4.0f * side, 2.0f, -12.0f, -30.0f, 0.9f),
             FinSection(8.5f * side, 14.0f, -24.0f, -31.0f, 0.3f)});
    return m;
}

Mesh Engine() {
    Mesh m{"engine", "HULL", {}, {}, false};
    // Bevelled box: an octagon with flat sides.
    auto Octagon = [](float z, float hw, float hh, float bevel) {
        return std::vector<P3>{P3{-hw + bevel, hh, z},  P3{hw - bevel, hh, z},
                               P3{hw, hh - bevel, z},   P3{hw, -hh + bevel, z},
                               P3{hw - bevel, -hh, z},  P3{-hw + bevel, -hh, z},
                               P3{-hw, -hh + bevel, z}, P3{-hw, hh - bevel, z}};
    };
    Loft(m, {Octagon(-17.0f, 5.5f, 3.5f, 1.5f), Octagon(-21.0f, 7.5f, 4.5f, 2.0f),
             Octagon(-32.0f, 7.5f, 4.5f, 2.0f)});
    return m;
}

// The exhaust: a thin triangular prism standing out of the engine's rear face. Its first
// face is the rear triangle, facing -z, where the flame starts.
Mesh Jet() {
    Mesh m{"__jet", "EXHAUST", {}, {}, false};
    const float zBack = -32.5f, zFront = -30.0f;
    const P3 rear[3] = {{-5.0f, -3.0f, zBack}, {0.0f, 3.5f, zBack}, {5.0f, -3.0f, zBack}};
    int r[3], f[3];
    for (int i = 0; i < 3; ++i) r[i] = Add(m, rear[i]);
    for (int i = 0; i < 3; ++i) f[i] = Add(m, P3{rear[i].x, rear[i].y, zFront});
    // Seen from behind (from -z) the rear corners run counter-clockwise as listed.
    m.t.push_back(Tri{r[0], r[1], r[2]});
    m.t.push_back(Tri{f[0], f[2], f[1]});
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        m.t.push_back(Tri{r[i], f[i], f[j]});
        m.t.push_back(Tri{r[i], f[j], r[j]});
    }
    if (SignedVolume(m) <= 0.0) {
        std::fprintf(stderr, "make_crfighter: the jet prism is wound inside out\n");
    }
    return m;
}

// ---------------------------------------------------------------------------------------
// Writing.

// The shapes above are laid out on a 40-unit half-length; the ship is drawn at a 0.15
// scale from 30 units away, and this makes it a fair size on screen.
const float kScale = 1.6f;

// Game (x, y, z) to the file's z-up (x, z, y), scaled.
void Position(ChunkWriter& w, P3 p) {
    w.F32(kScale * p.x);
    w.F32(kScale * p.z);
    w.F32(kScale * p.y);
}

// Positions that are not part of the ship's shape.
void Unscaled(ChunkWriter& w, P3 p) {
    w.F32(p.x);
    w.F32(p.z);
    w.F32(p.y);
}

void Rgb24(ChunkWriter& w, uint16_t id, int r, int g, int b) {
    w.Begin(id);
    w.Begin(kChunkColour24);
    w.U8((uint8_t)r);
    w.U8((uint8_t)g);
    w.U8((uint8_t)b);
    w.End();
    w.End();
}

void Material(ChunkWriter& w, const char* name, int r, int g, int b) {
    w.Begin(kChunkMaterial);
    w.Begin(kChunkMaterialName);
    w.Name(name);
    w.End();
    Rgb24(w, kChunkMaterialAmbient, r / 4, g / 4, b / 4);
    Rgb24(w, kChunkMaterialDiffuse, r, g, b);
    Rgb24(w, kChunkMaterialSpecular, 255, 255, 255);
    w.End();
}

void WriteMesh(ChunkWriter& w, const Mesh& m) {
    w.Begin(kChunkNamedObject);
    w.Name(m.name);
    w.Begin(kChunkTriangleMesh);

    w.Begin(kChunkVertexList);
    w.U16((uint16_t)m.v.size());
    for (const P3& p : m.v) Position(w, p);
    w.End();

    if (m.mapped) {
        // Cylindrical: u around the body, v along it.
        w.Begin(kChunkMappingCoordinates);
        w.U16((uint16_t)m.v.size());
        for (const P3& p : m.v) {
            w.F32((float)((std::atan2(p.x, p.y) + 3.14159265358979) / (2 * 3.14159265358979)));
            w.F32((p.z + 40.0f) / 80.0f);
        }
        w.End();
    }

    w.Begin(kChunkMeshMatrix);  // identity frame at the origin
    const float frame[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    for (float f : frame) w.F32(f);
    w.End();

    w.Begin(kChunkFaceList);
    w.U16((uint16_t)m.t.size());
    for (const Tri& t : m.t) {
        w.U16((uint16_t)t.a);
        w.U16((uint16_t)t.c);  // swapped: see the winding note at the top
        w.U16((uint16_t)t.b);
        w.U16(0x0007);  // all three edges visible
    }
    w.Begin(kChunkFaceMaterial);
    w.Name(m.material);
    w.U16((uint16_t)m.t.size());
    for (size_t i = 0; i < m.t.size(); ++i) w.U16((uint16_t)i);
    w.End();
    w.Begin(kChunkSmoothingGroups);
    for (size_t i = 0; i < m.t.size(); ++i) w.U32(1);
    w.End();
    w.End();  // kChunkFaceList

    w.End();  // kChunkTriangleMesh
    w.End();  // kChunkNamedObject
}

void PositionTrack(ChunkWriter& w, P3 p) {
    w.Begin(kChunkPositionTrack);
    w.TrackHeader(1);
    w.KeyHeader(0, 0);
    Unscaled(w, p);
    w.End();
}

void ObjectNode(ChunkWriter& w, const Mesh& m, int id) {
    w.Begin(kChunkObjectNode);
    w.Begin(kChunkNodeId);
    w.U16((uint16_t)id);
    w.End();
    w.Begin(kChunkNodeHeader);
    w.Name(m.name);
    w.U16(0x4000);  // node flags
    w.U16(0);
    w.U16(0xFFFF);  // no parent
    w.End();
    w.Begin(kChunkPivot);  // pivot
    w.F32(0);
    w.F32(0);
    w.F32(0);
    w.End();
    PositionTrack(w, P3{0, 0, 0});
    w.Begin(kChunkRotationTrack);
    w.TrackHeader(1);
    w.KeyHeader(0, 0);
    w.F32(0.0f);
    Unscaled(w, P3{0, 1, 0});  // game up: the file's z axis
    w.End();
    w.Begin(kChunkScaleTrack);
    w.TrackHeader(1);
    w.KeyHeader(0, 0);
    w.F32(1);
    w.F32(1);
    w.F32(1);
    w.End();
    w.End();
}

void CameraNodes(ChunkWriter& w, const char* name, int id, P3 eye, P3 target) {
    const uint16_t kinds[2] = {kChunkCameraNode, kChunkCameraTargetNode};
    for (int k = 0; k < 2; ++k) {
        w.Begin(kinds[k]);
        w.Begin(kChunkNodeId);
        w.U16((uint16_t)(id + k));
        w.End();
        w.Begin(kChunkNodeHeader);
        w.Name(name);
        w.U16(0x4000);  // node flags
        w.U16(0);
        w.U16(0xFFFF);
        w.End();
        PositionTrack(w, k == 0 ? eye : target);
        w.End();
    }
}

void LightNode(ChunkWriter& w, const char* name, int id, P3 position) {
    w.Begin(kChunkLightNode);
    w.Begin(kChunkNodeId);
    w.U16((uint16_t)id);
    w.End();
    w.Begin(kChunkNodeHeader);
    w.Name(name);
    w.U16(0x4000);  // node flags
    w.U16(0);
    w.U16(0xFFFF);
    w.End();
    PositionTrack(w, position);
    w.End();
}

}  // namespace

int main(int argc, char** argv) {
    const char* out = argc > 1 ? argv[1] : "data/crfighter.3ds";

    std::vector<Mesh> meshes;
    meshes.push_back(Fuselage());
    meshes.push_back(Cockpit());
    meshes.push_back(Wing(1.0f, "wing_l"));
    meshes.push_back(Wing(-1.0f, "wing_r"));
    meshes.push_back(Fin(1.0f, "fin_l"));
    meshes.push_back(Fin(-1.0f, "fin_r"));
    meshes.push_back(Engine());
    meshes.push_back(Jet());

    // The game's chase camera at rest, in model units (the ship is drawn at scale 0.15).
    const P3 eye{0.0f, 66.0f, -200.0f}, target{0.0f, 0.0f, 0.0f};
    const P3 sun{0.0f, 0.0f, 600.0f};

    ChunkWriter w;
    w.Begin(kChunkMain);
    w.Begin(kChunkFileVersion);
    w.U32(3);
    w.End();

    w.Begin(kChunkScene);
    w.Begin(kChunkMeshVersion);
    w.U32(3);
    w.End();
    Material(w, "HULL", 120, 80, 255);
    Material(w, "EXHAUST", 255, 160, 60);
    w.Begin(kChunkMasterScale);
    w.F32(1.0f);
    w.End();
    int triangles = 0;
    for (const Mesh& m : meshes) {
        WriteMesh(w, m);
        triangles += (int)m.t.size();
    }
    w.Begin(kChunkNamedObject);
    w.Name("Sun");
    w.Begin(kChunkLight);
    Unscaled(w, sun);
    w.Begin(kChunkColourFloat);
    w.F32(0.9f);
    w.F32(0.85f);
    w.F32(1.0f);
    w.End();
    w.End();
    w.End();
    w.Begin(kChunkNamedObject);
    w.Name("Chase");
    w.Begin(kChunkCamera);
    Unscaled(w, eye);
    Unscaled(w, target);
    w.F32(0.0f);   // bank
    w.F32(25.0f);  // lens
    w.End();
    w.End();
    w.End();  // kChunkScene

    w.Begin(kChunkKeyframer);
    w.Begin(kChunkKeyframerHeader);  // keyframer header: revision, file name, length
    w.U16(5);
    w.Name("crfighter");
    w.U32(100);
    w.End();
    w.Begin(kChunkKeyframeSegment);
    w.U32(0);
    w.U32(100);
    w.End();
    int id = 0;
    for (const Mesh& m : meshes) ObjectNode(w, m, id++);
    CameraNodes(w, "Chase", id, eye, target);
    LightNode(w, "Sun", id + 2, sun);
    w.End();  // kChunkKeyframer

    w.End();  // kChunkMain

    FILE* f = std::fopen(out, "wb");
    if (f == nullptr || std::fwrite(w.bytes.data(), 1, w.bytes.size(), f) != w.bytes.size()) {
        std::fprintf(stderr, "make_crfighter: cannot write %s\n", out);
        if (f != nullptr) std::fclose(f);
        return 1;
    }
    if (std::fclose(f) != 0) {
        std::fprintf(stderr, "make_crfighter: cannot write %s\n", out);
        return 1;
    }
    std::printf("%s: %d meshes, %d triangles, %zu bytes\n", out, (int)meshes.size(), triangles,
                w.bytes.size());
    return 0;
}
