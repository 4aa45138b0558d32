// The 3DS reader on files built in memory with our chunk writer, on files written by
// Assimp (an independent writer) and on the shipped crfighter.3ds.
#include "assets/model3ds.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "assets/chunk_ids_3ds.h"
#include "core/alloc_failure.h"
#include "tools/make_crfighter_chunks.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Children = std::function<void(ChunkWriter&)>;

// An id that no 3DS writer uses and the reader does not know.
const uint16_t kUnknownChunk = 0x1234;

struct V3 {
    float x, y, z;
};

int LoadBytes(Model3ds& m, const Bytes& b) {
    return m.LoadFromMemory(b.data(), b.size());
}

// ---------------------------------------------------------------------------------------
// Building files.

void Vertices(ChunkWriter& w, const std::vector<V3>& v) {
    w.Begin(kChunkVertexList);
    w.U16((uint16_t)v.size());
    for (const V3& p : v) {
        w.F32(p.x);
        w.F32(p.y);
        w.F32(p.z);
    }
    w.End();
}

void Faces(ChunkWriter& w, const std::vector<std::array<int, 3>>& f,
           const Children& children = nullptr) {
    w.Begin(kChunkFaceList);
    w.U16((uint16_t)f.size());
    for (const auto& t : f) {
        w.U16((uint16_t)t[0]);
        w.U16((uint16_t)t[1]);
        w.U16((uint16_t)t[2]);
        w.U16(7);
    }
    if (children) children(w);
    w.End();
}

void FaceMaterial(ChunkWriter& w, const std::string& name, const std::vector<int>& faces) {
    w.Begin(kChunkFaceMaterial);
    w.Name(name);
    w.U16((uint16_t)faces.size());
    for (int f : faces) w.U16((uint16_t)f);
    w.End();
}

// A named object holding a triangle mesh; `body` writes the mesh's chunks.
void Mesh(ChunkWriter& w, const std::string& name, const Children& body) {
    w.Begin(kChunkNamedObject);
    w.Name(name);
    w.Begin(kChunkTriangleMesh);
    body(w);
    w.End();
    w.End();
}

void Material(ChunkWriter& w, const std::string& name) {
    w.Begin(kChunkMaterial);
    w.Begin(kChunkMaterialName);
    w.Name(name);
    w.End();
    w.Begin(kChunkMaterialDiffuse);  // diffuse colour, a float colour chunk inside
    w.Begin(kChunkColourFloat);
    w.F32(0.5f);
    w.F32(0.5f);
    w.F32(0.5f);
    w.End();
    w.End();
    w.End();
}

void Light(ChunkWriter& w, const std::string& name, V3 pos, const Children& body = nullptr) {
    w.Begin(kChunkNamedObject);
    w.Name(name);
    w.Begin(kChunkLight);
    w.F32(pos.x);
    w.F32(pos.y);
    w.F32(pos.z);
    if (body) body(w);
    w.End();
    w.End();
}

void FloatColour(ChunkWriter& w, float r, float g, float b) {
    w.Begin(kChunkColourFloat);
    w.F32(r);
    w.F32(g);
    w.F32(b);
    w.End();
}

// Main { version, Scene { scene } [Keyframer { keyframer }] }
Bytes File(const Children& scene, const Children& keyframer = nullptr) {
    ChunkWriter w;
    w.Begin(kChunkMain);
    w.Begin(kChunkFileVersion);
    w.U32(3);
    w.End();
    w.Begin(kChunkScene);
    scene(w);
    w.End();
    if (keyframer) {
        w.Begin(kChunkKeyframer);
        keyframer(w);
        w.End();
    }
    w.End();
    return w.bytes;
}

const std::vector<V3> kOneFaceVertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};

Bytes OneFaceFile() {
    return File([](ChunkWriter& w) {
        Mesh(w, "tri", [](ChunkWriter& m) {
            Vertices(m, kOneFaceVertices);
            Faces(m, {{0, 1, 2}});
        });
    });
}

std::string Name(const Model3ds& m, int mesh) {
    return m.meshes[mesh].name != nullptr ? m.meshes[mesh].name : "<null>";
}

// Every face refers to vertices of its own mesh.
void ExpectFacesInsideVertices(const Model3ds& m) {
    for (int i = 0; i < m.meshCount; ++i) {
        const Mesh3ds& mesh = m.meshes[i];
        for (int j = 0; j < mesh.faceCount; ++j)
            for (int k = 0; k < 3; ++k) {
                const Vertex3ds* v = mesh.faces[j].vertex[k];
                ASSERT_TRUE(v >= mesh.vertices && v < mesh.vertices + mesh.vertexCount)
                    << "mesh " << i << " face " << j;
            }
    }
}

std::string DataFile(const char* name) { return std::string(ORV_DATA_DIR) + "/" + name; }
std::string FixtureFile(const char* name) {
    return std::string(ORV_TESTS_DIR) + "/assets/fixtures/3ds/" + name;
}

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class Model3dsAllocFailure : public ::testing::Test {
protected:
    void TearDown() override { SetAllocFailure(-1); }
};

// ---------------------------------------------------------------------------------------
// One face, the reader's basic sums.

TEST(Model3dsOneFace, StoresPositionsReferencesNormalOffsetCentreAndRadius) {
    Model3ds m;
    ASSERT_EQ(1, LoadBytes(m, OneFaceFile()));
    ASSERT_EQ(1, m.meshCount);
    const Mesh3ds& mesh = m.meshes[0];
    EXPECT_EQ("tri", Name(m, 0));
    ASSERT_EQ(3, mesh.vertexCount);
    ASSERT_EQ(1, mesh.faceCount);

    // y and z exchanged: the file's (0, 1, 0) is stored as (0, 0, 1).
    const float stored[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(stored[i][0], mesh.vertices[i].position.x) << i;
        EXPECT_EQ(stored[i][1], mesh.vertices[i].position.y) << i;
        EXPECT_EQ(stored[i][2], mesh.vertices[i].position.z) << i;
    }

    const Face3ds& f = mesh.faces[0];
    EXPECT_EQ(&mesh.vertices[0], f.vertex[0]);
    EXPECT_EQ(&mesh.vertices[2], f.vertex[1]);
    EXPECT_EQ(&mesh.vertices[1], f.vertex[2]);
    EXPECT_EQ(0.0f, f.normal.x);
    EXPECT_EQ(-1.0f, f.normal.y);
    EXPECT_EQ(0.0f, f.normal.z);
    EXPECT_EQ(0.0f, f.d);
    EXPECT_EQ(0.33333334f, f.centre.x);
    EXPECT_EQ(0.0f, f.centre.y);
    EXPECT_EQ(0.33333334f, f.centre.z);
    EXPECT_FLOAT_EQ(std::sqrt(0.6666666f * 0.6666666f + 0.33333334f * 0.33333334f), f.radius);
    // No material group names the face.
    EXPECT_EQ(-1, f.materialIndex);
    EXPECT_EQ(0, m.cameraCount);
    EXPECT_EQ(0, m.lightCount);
    EXPECT_EQ(0, m.materialCount);
}

TEST(Model3dsOneFace, PlaneOffsetAndNormalOfATiltedFace) {
    // File corners (0,0,2), (2,0,2), (0,2,4): stored (0,2,0), (2,2,0), (0,4,2).
    Bytes b = File([](ChunkWriter& w) {
        Mesh(w, "tilt", [](ChunkWriter& m) {
            Vertices(m, {{0, 0, 2}, {2, 0, 2}, {0, 2, 4}});
            Faces(m, {{0, 1, 2}});
        });
    });
    Model3ds m;
    ASSERT_EQ(1, LoadBytes(m, b));
    const Face3ds& f = m.meshes[0].faces[0];
    // (B - A) x (C - A) = (2,0,0) x (0,2,2) = (0,-4,4).
    const float h = std::sqrt(0.5f);
    EXPECT_FLOAT_EQ(0.0f, f.normal.x);
    EXPECT_FLOAT_EQ(-h, f.normal.y);
    EXPECT_FLOAT_EQ(h, f.normal.z);
    // Every corner lies on the plane.
    for (const Vertex3ds* v : f.vertex) {
        const Vec3& p = v->position;
        EXPECT_NEAR(0.0f, f.normal.x * p.x + f.normal.y * p.y + f.normal.z * p.z + f.d, 1e-6f);
    }
    EXPECT_FLOAT_EQ(2.0f * h, f.d);
}

TEST(Model3dsLoad, FileAndMemoryAgreeAndAMissingFileFails) {
    const Bytes b = OneFaceFile();
    const char* path = "model3ds_test_one_face.3ds";
    FILE* f = std::fopen(path, "wb");
    ASSERT_NE(nullptr, f);
    ASSERT_EQ(b.size(), std::fwrite(b.data(), 1, b.size(), f));
    std::fclose(f);

    Model3ds m;
    ASSERT_EQ(1, m.Load(path));
    ASSERT_EQ(1, m.meshCount);
    EXPECT_EQ(0.33333334f, m.meshes[0].faces[0].centre.z);
    std::remove(path);

    EXPECT_EQ(0, m.Load("no_such_model.3ds"));
    EXPECT_EQ(0, m.meshCount);
    EXPECT_EQ(nullptr, m.meshes);
}

TEST(Model3dsLoad, ASecondLoadReplacesTheFirst) {
    Model3ds m;
    ASSERT_EQ(1, LoadBytes(m, ReadAll(DataFile("crfighter.3ds"))));
    ASSERT_GT(m.meshCount, 1);
    ASSERT_EQ(1, LoadBytes(m, OneFaceFile()));
    EXPECT_EQ(1, m.meshCount);
    EXPECT_EQ(0, m.materialCount);
    EXPECT_EQ(0, m.lightCount);
    EXPECT_EQ(0u, m.lastFrame);
}

TEST(Model3dsLoad, AnEmptyFileIsAnEmptyModel) {
    Model3ds m;
    EXPECT_EQ(1, m.LoadFromMemory(nullptr, 0));
    EXPECT_EQ(0, m.meshCount);
}

// Sizes no memory can hold (a caller's arithmetic gone wrong) fail before any byte is read.
TEST(Model3dsLoad, ASizeBeyondAnyRealDataFails) {
    const Bytes b = File([](ChunkWriter& w) {
        Mesh(w, "tri", [](ChunkWriter& m) { Vertices(m, kOneFaceVertices); });
    });
    for (size_t size : {SIZE_MAX, SIZE_MAX / 2, (size_t)1 << 62}) {
        Model3ds m;
        EXPECT_EQ(0, m.LoadFromMemory(b.data(), size)) << size;
        EXPECT_EQ(0, m.meshCount);
    }
}

// ---------------------------------------------------------------------------------------
// The chunk walk.

TEST(Model3dsChunks, UnknownChunksAreSkippedWhateverTheyHold) {
    // An unknown chunk whose contents look like a vertex list must not be read as one.
    auto unknown = [](ChunkWriter& w) {
        w.Begin(kUnknownChunk);
        Vertices(w, {{9, 9, 9}, {9, 9, 9}, {9, 9, 9}, {9, 9, 9}});
        w.U8(0xEE);
        w.End();
    };
    ChunkWriter w;
    w.Begin(kChunkMain);
    unknown(w);
    w.Begin(kChunkScene);
    unknown(w);
    Mesh(w, "tri", [&](ChunkWriter& m) {
        unknown(m);
        Vertices(m, kOneFaceVertices);
        unknown(m);
        Faces(m, {{0, 1, 2}}, unknown);
    });
    unknown(w);
    w.End();
    w.End();
    unknown(w);  // after the main chunk too

    Model3ds m;
    ASSERT_EQ(1, LoadBytes(m, w.bytes));
    ASSERT_EQ(1, m.meshCount);
    ASSERT_EQ(3, m.meshes[0].vertexCount);
    EXPECT_EQ(1.0f, m.meshes[0].vertices[2].position.z);
    ASSERT_EQ(1, m.meshes[0].faceCount);
}

TEST(Model3dsChunks, AChunkPastItsParentsEndEndsTheParentsWalk) {
    // Main { P=Scene { X, hidden } Q=Scene { first, deep } }, where the unknown chunk X runs
    // past P's end to where "deep" starts inside Q. P's walk ends after X ("hidden" is
    // never read); the walk goes on at P's end, so Q is read whole, "first" included.
    ChunkWriter w;
    w.Begin(kChunkMain);
    w.Begin(kChunkScene);
    const size_t xAt = w.bytes.size();
    w.Begin(kUnknownChunk);
    w.End();
    Mesh(w, "hidden", [](ChunkWriter& m) { Vertices(m, kOneFaceVertices); });
    w.End();
    w.Begin(kChunkScene);
    Mesh(w, "first", [](ChunkWriter& m) { Vertices(m, kOneFaceVertices); });
    const size_t deepAt = w.bytes.size();
    Mesh(w, "deep", [](ChunkWriter& m) { Vertices(m, kOneFaceVertices); });
    w.End();
    w.End();
    w.Patch32(xAt + 2, (uint32_t)(deepAt - xAt));

    Model3ds m;
    ASSERT_EQ(1, LoadBytes(m, w.bytes));
    ASSERT_EQ(2, m.meshCount);
    EXPECT_EQ("first", Name(m, 0));
    EXPECT_EQ("deep", Name(m, 1));
}

struct BadLengthCase {
    const char* what;
    bool nested;  // inside the main chunk rather than the first chunk
    uint32_t length;
};

class Model3dsBadLength : public ::testing::TestWithParam<BadLengthCase> {};

TEST_P(Model3dsBadLength, FailsTheLoad) {
    const BadLengthCase& c = GetParam();
    ChunkWriter w;
    if (c.nested) {
        w.Begin(kChunkMain);
        w.Begin(kChunkScene);
        Mesh(w, "tri", [](ChunkWriter& m) { Vertices(m, kOneFaceVertices); });
        w.RawChunk(kChunkScene, c.length, Bytes(16, 0));
        w.End();
        w.End();
    } else {
        w.RawChunk(kChunkMain, c.length, Bytes(16, 0));
    }
    Model3ds m;
    EXPECT_EQ(0, LoadBytes(m, w.bytes)) << c.what;
    EXPECT_EQ(0, m.meshCount);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, Model3dsBadLength,
    ::testing::Values(BadLengthCase{"zero, first chunk", false, 0},
                      BadLengthCase{"zero, nested", true, 0},
                      BadLengthCase{"2^31, first chunk", false, 0x80000000u},
                      BadLengthCase{"2^31, nested", true, 0x80000000u},
                      BadLengthCase{"2^32 - 1, nested", true, 0xFFFFFFFFu},
                      BadLengthCase{"2^31 + 6, first chunk", false, 0x80000006u}));

TEST(Model3dsChunks, ALengthJustBelow2To31SkipsToTheEnd) {
    // Far past the data but a forward move: the walk simply ends.
    ChunkWriter w;
    w.Begin(kChunkMain);
    w.Begin(kChunkScene);
    Mesh(w, "tri", [](ChunkWriter& m) { Vertices(m, kOneFaceVertices); });
    w.RawChunk(kUnknownChunk, 0x7FFFFFFFu, Bytes(4, 0));
    w.End();
    w.End();
    Model3ds m;
    EXPECT_EQ(1, LoadBytes(m, w.bytes));
    EXPECT_EQ(1, m.meshCount);
}

TEST(Model3dsChunks, NestingDeeperThanAnyRealFileFails) {
    ChunkWriter w;
    for (int i = 0; i < 100000; ++i) w.Begin(kChunkMain);
    for (int i = 0; i < 100000; ++i) w.End();
    Model3ds m;
    EXPECT_EQ(0, LoadBytes(m, w.bytes));

    // The real depth of a 3DS file is fine.
    ChunkWriter ok;
    for (int i = 0; i < 20; ++i) ok.Begin(kChunkMain);
    for (int i = 0; i < 20; ++i) ok.End();
    EXPECT_EQ(1, LoadBytes(m, ok.bytes));
}

// ---------------------------------------------------------------------------------------
// Names.

TEST(Model3dsNames, SixtyThreeCharactersAreReadWholeAndTheNextChunkFollows) {
    const std::string name(63, 'n');
    Model3ds m;
    ASSERT_EQ(1, LoadBytes(m, File([&](ChunkWriter& w) {
                  Mesh(w, name, [](ChunkWriter& mw) {
                      Vertices(mw, kOneFaceVertices);
                      Faces(mw, {{0, 1, 2}});
                  });
              })));
    ASSERT_EQ(1, m.meshCount);
    EXPECT_EQ(name, Name(m, 0));
    EXPECT_EQ(3, m.meshes[0].vertexCount);
    EXPECT_EQ(1, m.meshes[0].faceCount);
}

TEST(Model3dsNames, SeventyCharactersAreCutTo63AndTheChildrenStartInsideTheRest) {
    // Characters 64 and 65 read as the id of a keyframe segment and 66..69 as its
    // length: the walk of the children starts inside the name, reads the segment from
    // the name's NUL onwards and is sent far past the data, so the mesh chunk inside is
    // never read. A later object with a 63-character name is read normally.
    std::string name(63, 'a');
    name += 'Z';  // the 64th character, lost
    name += (char)(kChunkKeyframeSegment & 0xFF);
    name += (char)(kChunkKeyframeSegment >> 8);
    name += "\x01\x01\x01\x01";
    ASSERT_EQ(70u, name.size());
    size_t nulAt = 0;
    Bytes b = File([&](ChunkWriter& w) {
        w.Begin(kChunkNamedObject);
        w.Name(name);
        nulAt = w.bytes.size() - 1;
        w.Begin(kChunkTriangleMesh);
        Vertices(w, kOneFaceVertices);
        w.End();
        w.End();
        Mesh(w, std::string(63, 'b'), [](ChunkWriter& mw) { Vertices(mw, kOneFaceVertices); });
    });
    auto u32At = [&](size_t at) {
        return (uint32_t)b[at] | ((uint32_t)b[at + 1] << 8) | ((uint32_t)b[at + 2] << 16) |
               ((uint32_t)b[at + 3] << 24);
    };
    Model3ds m;
    ASSERT_EQ(1, LoadBytes(m, b));
    EXPECT_EQ(u32At(nulAt), m.firstFrame);
    EXPECT_EQ(u32At(nulAt + 4), m.lastFrame);
    ASSERT_EQ(1, m.meshCount);
    EXPECT_EQ(std::string(63, 'b'), Name(m, 0));
    EXPECT_EQ(3, m.meshes[0].vertexCount);
}

TEST(Model3dsNames, AnOrdinarySeventyCharacterNameLosesTheObjectsChildren) {
    // The tail reads as an unknown chunk running far past the data: the walk of the
    // object's children ends there and the mesh inside is never read.
    Model3ds m;
    std::string name(70, 'q');
    ASSERT_EQ(1, LoadBytes(m, File([&](ChunkWriter& w) {
                  Mesh(w, name, [](ChunkWriter& mw) { Vertices(mw, kOneFaceVertices); });
              })));
    EXPECT_EQ(0, m.meshCount);
}

// ---------------------------------------------------------------------------------------
// Materials.

TEST(Model3dsMaterials, FaceGroupsNameMaterialsByIndexAndUnknownNamesGiveMinusOne) {
    Bytes b = File([](ChunkWriter& w) {
        Material(w, "steel");
        Material(w, "glass");
        Mesh(w, "box", [](ChunkWriter& m) {
            Vertices(m, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
            Faces(m, {{0, 1, 2}, {0, 3, 1}, {1, 3, 2}, {2, 3, 0}, {0, 2, 3}},
                  [](ChunkWriter& f) {
                      FaceMaterial(f, "glass", {0, 2});
                      FaceMaterial(f, "steel", {1, 999});  // 999: no such face, ignored
                      FaceMaterial(f, "paper", {3});       // no such material
                      FaceMaterial(f, "late", {4});        // defined after the mesh
                  });
        });
        Material(w, "late");
    });
    Model3ds m;
    ASSERT_EQ(1, LoadBytes(m, b));
    ASSERT_EQ(3, m.materialCount);
    EXPECT_STREQ("steel", m.materials[0].name);
    EXPECT_STREQ("glass", m.materials[1].name);
    EXPECT_STREQ("late", m.materials[2].name);
    ASSERT_EQ(5, m.meshes[0].faceCount);
    const int expected[5] = {1, 0, 1, -1, -1};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(expected[i], m.meshes[0].faces[i].materialIndex) << i;
    // A material's name becomes the current name: the mesh after it is named as before.
    EXPECT_EQ("box", Name(m, 0));
}

TEST(Model3dsMaterials, AMaterialNameCutByTheEndOfTheDataFails) {
    ChunkWriter w;
    w.Begin(kChunkMain);
    w.Begin(kChunkMaterial);
    w.Begin(kChunkMaterialName);
    w.U8('x');
    w.U8('y');  // no NUL before the end
    w.End();
    w.End();
    w.End();
    Model3ds m;
    EXPECT_EQ(0, LoadBytes(m, w.bytes));
}

// ---------------------------------------------------------------------------------------
// Lights and cameras.

TEST(Model3dsLights, AColourGoesToTheFirstLightOfThatNameOnly) {
    Bytes b = File([](ChunkWriter& w) {
        Light(w, "lamp", {1, 2, 3});
        Light(w, "lamp", {4, 5, 6}, [](ChunkWriter& l) {
            FloatColour(l, 0.5f, 1.0f, 0.2f);
            l.Begin(kChunkSpotlight);  // spotlight
            for (float f : {7.0f, 8.0f, 9.0f, 30.0f, 45.0f}) l.F32(f);
            l.End();
            l.Begin(kChunkLightOff);
            l.End();
            l.Begin(kChunkLightOuterRange);
            l.F32(2.5f);
            l.End();
        });
        Light(w, "other", {0, 0, 0}, [](ChunkWriter& l) {
            l.Begin(kChunkLightRayShadows);
            l.End();
            l.Begin(kChunkLightInnerRange);
            l.F32(1.5f);
            l.End();
            l.Begin(kChunkLightMultiplier);
            l.F32(3.5f);
            l.End();
        });
    });
    Model3ds m;
    ASSERT_EQ(1, LoadBytes(m, b));
    ASSERT_EQ(3, m.lightCount);
    const Light3ds& first = m.lights[0];
    const Light3ds& second = m.lights[1];
    const Light3ds& third = m.lights[2];
    EXPECT_STREQ("lamp", first.name);
    EXPECT_STREQ("lamp", second.name);
    EXPECT_EQ(0.5f, first.red);
    EXPECT_EQ(1.0f, first.green);
    EXPECT_EQ(0.2f, first.blue);
    EXPECT_EQ(127, first.redInt);  // 127.5 truncated
    EXPECT_EQ(255, first.greenInt);
    EXPECT_EQ(51, first.blueInt);
    EXPECT_EQ(0.0f, second.red);
    EXPECT_EQ(0, second.redInt);

    // Positions and targets exchanged; the flags and values land on the light they follow.
    EXPECT_EQ(1.0f, first.position.x);
    EXPECT_EQ(3.0f, first.position.y);
    EXPECT_EQ(2.0f, first.position.z);
    EXPECT_EQ(1, second.spot);
    EXPECT_EQ(9.0f, second.spotTarget.y);
    EXPECT_EQ(8.0f, second.spotTarget.z);
    EXPECT_EQ(30.0f, second.hotspot);
    EXPECT_EQ(45.0f, second.falloff);
    EXPECT_EQ(1, second.off);
    EXPECT_EQ(2.5f, second.value465A);
    EXPECT_EQ(0, first.spot);
    EXPECT_EQ(0, first.off);
    EXPECT_EQ(1, third.secondFlag);
    EXPECT_EQ(1.5f, third.value4659);
    EXPECT_EQ(3.5f, third.value465B);
}

TEST(Model3dsLights, OutOfRangeColoursSaturateTheIntegerCopy) {
    Bytes b = File([](ChunkWriter& w) {
        Light(w, "hot", {0, 0, 0}, [](ChunkWriter& l) { FloatColour(l, 1e30f, -1e30f, NAN); });
    });
    Model3ds m;
    ASSERT_EQ(1, LoadBytes(m, b));
    EXPECT_EQ(2147483647, m.lights[0].redInt);
    EXPECT_EQ(-2147483647 - 1, m.lights[0].greenInt);
    EXPECT_EQ(0, m.lights[0].blueInt);
}

void Camera(ChunkWriter& w, const std::string& name, V3 eye, V3 target) {
    w.Begin(kChunkNamedObject);
    w.Name(name);
    w.Begin(kChunkCamera);
    for (float f : {eye.x, eye.y, eye.z, target.x, target.y, target.z, 5.0f, 35.0f}) w.F32(f);
    w.End();
    w.End();
}

void NodeHeader(ChunkWriter& w, const std::string& name, int16_t parent) {
    w.Begin(kChunkNodeHeader);
    w.Name(name);
    w.U16(0x4000);  // node flags
    w.U16(0);
    w.U16((uint16_t)parent);
    w.End();
}

void NodeId(ChunkWriter& w, uint16_t id) {
    w.Begin(kChunkNodeId);
    w.U16(id);
    w.End();
}

void PositionTrack(ChunkWriter& w, const std::vector<std::pair<uint32_t, V3>>& keys,
                   uint16_t flags = 0) {
    w.Begin(kChunkPositionTrack);
    w.TrackHeader((uint32_t)keys.size());
    for (const auto& k : keys) {
        w.KeyHeader(k.first, flags);
        w.F32(k.second.x);
        w.F32(k.second.y);
        w.F32(k.second.z);
    }
    w.End();
}

TEST(Model3dsCameras, OrientationLooksFromTheFirstPositionKeyToTheFirstTargetKey) {
    Bytes b = File(
        [](ChunkWriter& w) {
            Camera(w, "aimed", {1, 2, 3}, {4, 5, 6});
            Camera(w, "placed", {0, 0, 0}, {0, 0, 1});
            Camera(w, "bare", {0, 0, 0}, {0, 0, 1});
        },
        [](ChunkWriter& k) {
            k.Begin(kChunkCameraNode);
            NodeHeader(k, "aimed", -1);
            // File (0, -30, 10) is stored (0, 10, -30): the game's camera at rest.
            PositionTrack(k, {{0, {0, -30, 10}}, {50, {9, 9, 9}}});
            k.End();
            k.Begin(kChunkCameraTargetNode);
            NodeHeader(k, "aimed", -1);
            PositionTrack(k, {{0, {0, 0, 0}}});
            k.End();
            k.Begin(kChunkCameraNode);
            NodeHeader(k, "placed", -1);
            PositionTrack(k, {{0, {7, 8, 9}}});
            k.End();
        });
    Model3ds m;
    ASSERT_EQ(1, LoadBytes(m, b));
    ASSERT_EQ(3, m.cameraCount);

    const Camera3ds& aimed = m.cameras[0];
    EXPECT_STREQ("aimed", aimed.name);
    EXPECT_EQ(1.0f, aimed.position.x);  // camera chunk values are kept as in the file
    EXPECT_EQ(2.0f, aimed.position.y);
    EXPECT_EQ(6.0f, aimed.target.z);
    EXPECT_EQ(5.0f, aimed.bank);
    EXPECT_EQ(35.0f, aimed.lens);
    ASSERT_EQ(2, aimed.positionKeyCount);
    ASSERT_EQ(1, aimed.targetKeyCount);
    EXPECT_EQ(50.0f, aimed.positionKeys[0][1]);
    EXPECT_EQ(10.0f, aimed.positionKeys[2][0]);
    EXPECT_EQ(-30.0f, aimed.positionKeys[3][0]);

    // dir = unit(0, -10, 30); side = unit((0,1,0) x dir) = (1, 0, 0);
    // up = unit(side x dir) = unit(0, -30, -10).
    const float* o = aimed.orientation.m;
    const float n = std::sqrt(1000.0f);
    const float expected[16] = {1, 0, 0, 0, 0, -30 / n, -10 / n, 0,
                                0, -10 / n, 30 / n, 0, 0, 10, -30, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(expected[i], o[i], 1e-6f) << i;

    // Position keys only: identity columns and the position.
    const float* p = m.cameras[1].orientation.m;
    const float placed[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 7, 9, 8, 1};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(placed[i], p[i]) << i;

    // No keys at all: the identity.
    Mat4 identity;
    identity.Identity();
    for (int i = 0; i < 16; ++i) EXPECT_EQ(identity.m[i], m.cameras[2].orientation.m[i]) << i;
}

// ---------------------------------------------------------------------------------------
// Keyframer.

TEST(Model3dsNodes, AnObjectNodeNamesItsMeshAndCarriesItsTracks) {
    Bytes b = File(
        [](ChunkWriter& w) {
            Mesh(w, "hull", [](ChunkWriter& m) { Vertices(m, kOneFaceVertices); });
            Mesh(w, "wing", [](ChunkWriter& m) {
                Vertices(m, kOneFaceVertices);
                m.Begin(kChunkMeshMatrix);
                for (int i = 1; i <= 12; ++i) m.F32((float)i);
                m.End();
            });
        },
        [](ChunkWriter& k) {
            k.Begin(kChunkKeyframeSegment);
            k.U32(10);
            k.U32(90);
            k.End();
            k.Begin(kChunkObjectNode);
            NodeId(k, 7);
            NodeHeader(k, "wing", 3);
            PositionTrack(k, {{0x00010005u, {1, 2, 3}}});  // frame's high half ignored
            k.Begin(kChunkRotationTrack);
            k.TrackHeader(1);
            k.KeyHeader(4, 0);
            for (float f : {0.5f, 0.0f, 0.0f, 1.0f}) k.F32(f);
            k.End();
            k.End();
            k.Begin(kChunkObjectNode);
            NodeId(k, 8);
            NodeHeader(k, "nobody", -1);
            PositionTrack(k, {{0, {5, 5, 5}}});
            k.End();
        });
    Model3ds m;
    ASSERT_EQ(1, LoadBytes(m, b));
    EXPECT_EQ(10u, m.firstFrame);
    EXPECT_EQ(90u, m.lastFrame);
    ASSERT_EQ(2, m.meshCount);
    const Mesh3ds& hull = m.meshes[0];
    const Mesh3ds& wing = m.meshes[1];
    EXPECT_EQ(0, hull.nodeId);
    EXPECT_EQ(0, hull.positionKeyCount);
    EXPECT_EQ(7, wing.nodeId);
    EXPECT_EQ(3, wing.parentNodeId);
    ASSERT_EQ(1, wing.positionKeyCount);
    EXPECT_EQ(5.0f, wing.positionKeys[0][0]);
    EXPECT_EQ(1.0f, wing.positionKeys[1][0]);
    EXPECT_EQ(3.0f, wing.positionKeys[2][0]);
    EXPECT_EQ(2.0f, wing.positionKeys[3][0]);
    ASSERT_EQ(1, wing.rotationKeyCount);
    EXPECT_EQ(4.0f, wing.rotationKeys[0][0]);
    EXPECT_EQ(0.5f, wing.rotationKeys[1][0]);
    EXPECT_EQ(0.0f, wing.rotationKeys[2][0]);
    EXPECT_EQ(1.0f, wing.rotationKeys[3][0]);  // the axis's file z
    EXPECT_EQ(0.0f, wing.rotationKeys[4][0]);

    // The mesh matrix: four axes of three floats, w row 0 0 0 1.
    const float matrix[16] = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 1};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(matrix[i], wing.matrix.m[i]) << i;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(0.0f, hull.matrix.m[i]) << i;
}

class Model3dsKeyFlags : public ::testing::TestWithParam<uint16_t> {};

TEST_P(Model3dsKeyFlags, OnlyBitsZeroToTwoAddAFloatToTheKeyHeader) {
    const uint16_t flags = GetParam();
    Bytes b = File(
        [](ChunkWriter& w) {
            Mesh(w, "m", [](ChunkWriter& mw) { Vertices(mw, kOneFaceVertices); });
        },
        [&](ChunkWriter& k) {
            k.Begin(kChunkObjectNode);
            NodeHeader(k, "m", -1);
            PositionTrack(k, {{1, {1, 2, 3}}, {2, {4, 5, 6}}, {3, {7, 8, 9}}}, flags);
            k.End();
        });
    Model3ds m;
    ASSERT_EQ(1, LoadBytes(m, b));
    const Mesh3ds& mesh = m.meshes[0];
    ASSERT_EQ(3, mesh.positionKeyCount);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ((float)(i + 1), mesh.positionKeys[0][i]) << i;
        EXPECT_EQ((float)(3 * i + 1), mesh.positionKeys[1][i]) << i;
        EXPECT_EQ((float)(3 * i + 3), mesh.positionKeys[2][i]) << i;
        EXPECT_EQ((float)(3 * i + 2), mesh.positionKeys[3][i]) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Flags, Model3dsKeyFlags,
                         ::testing::Values(0x0000, 0x0001, 0x0002, 0x0004, 0x0005, 0x0007,
                                           0x0008, 0x0018, 0xFFF8, 0xFFFF));

// ---------------------------------------------------------------------------------------
// Bad data.

TEST(Model3dsRobustness, AFaceIndexPastTheVerticesFailsTheLoad) {
    for (int bad : {3, 4, 65535}) {
        Bytes b = File([&](ChunkWriter& w) {
            Mesh(w, "tri", [&](ChunkWriter& m) {
                Vertices(m, kOneFaceVertices);
                Faces(m, {{0, 1, 2}, {0, bad, 1}});
            });
        });
        Model3ds m;
        EXPECT_EQ(0, LoadBytes(m, b)) << bad;
        EXPECT_EQ(0, m.meshCount);
    }
}

TEST(Model3dsRobustness, AFaceListBeforeTheVertexListFailsTheLoad) {
    Bytes b = File([](ChunkWriter& w) {
        Mesh(w, "tri", [](ChunkWriter& m) {
            Faces(m, {{0, 1, 2}});
            Vertices(m, kOneFaceVertices);
        });
    });
    Model3ds m;
    EXPECT_EQ(0, LoadBytes(m, b));
}

void Mapping(ChunkWriter& w, int n) {
    w.Begin(kChunkMappingCoordinates);
    w.U16((uint16_t)n);
    for (int i = 0; i < n; ++i) {
        w.F32(0.25f * (float)(i + 1));
        w.F32(-1.0f * (float)(i + 1));
    }
    w.End();
}

TEST(Model3dsRobustness, MappingCoordinatesGoOnlyToVerticesThatExist) {
    // Before the vertex list: ignored. More pairs than vertices: the extra ones ignored.
    // Fewer: the rest stay 0.
    struct Case {
        bool before;
        int pairs;
        std::vector<float> u;
    };
    const Case cases[] = {{true, 3, {0, 0, 0}},
                          {false, 5, {0.25f, 0.5f, 0.75f}},
                          {false, 2, {0.25f, 0.5f, 0.0f}},
                          {false, 0, {0, 0, 0}}};
    for (const Case& c : cases) {
        Bytes b = File([&](ChunkWriter& w) {
            Mesh(w, "tri", [&](ChunkWriter& m) {
                if (c.before) Mapping(m, c.pairs);
                Vertices(m, kOneFaceVertices);
                if (!c.before) Mapping(m, c.pairs);
                Faces(m, {{0, 1, 2}});
            });
        });
        Model3ds m;
        ASSERT_EQ(1, LoadBytes(m, b)) << c.pairs;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(c.u[i], m.meshes[0].vertices[i].u) << c.pairs << " " << i;
            EXPECT_EQ(c.u[i] == 0 ? 0.0f : -4.0f * c.u[i], m.meshes[0].vertices[i].v);
        }
    }
}

TEST(Model3dsRobustness, ASecondVertexListInAMeshIsIgnored) {
    Bytes b = File([](ChunkWriter& w) {
        Mesh(w, "tri", [](ChunkWriter& m) {
            Vertices(m, kOneFaceVertices);
            Faces(m, {{0, 1, 2}});
            Vertices(m, {{5, 5, 5}});
        });
    });
    Model3ds m;
    ASSERT_EQ(1, LoadBytes(m, b));
    ASSERT_EQ(3, m.meshes[0].vertexCount);
    EXPECT_EQ(1.0f, m.meshes[0].vertices[2].position.z);
    ExpectFacesInsideVertices(m);
}

TEST(Model3dsRobustness, MeshAndLightChunksOutsideTheirParentsAreIgnored) {
    // A vertex list, face list, spotlight and track with no mesh, light or node before
    // them have nothing to fill.
    ChunkWriter w;
    w.Begin(kChunkMain);
    Vertices(w, kOneFaceVertices);
    Faces(w, {{0, 1, 2}}, [](ChunkWriter& f) { FaceMaterial(f, "x", {0}); });
    Mapping(w, 3);
    w.Begin(kChunkMeshMatrix);
    for (int i = 0; i < 12; ++i) w.F32(1.0f);
    w.End();
    w.Begin(kChunkSpotlight);
    for (int i = 0; i < 5; ++i) w.F32(1.0f);
    w.End();
    w.Begin(kChunkLightOff);
    w.End();
    PositionTrack(w, {{0, {1, 1, 1}}});
    w.End();
    Model3ds m;
    EXPECT_EQ(1, LoadBytes(m, w.bytes));
    EXPECT_EQ(0, m.meshCount);
    EXPECT_EQ(0, m.lightCount);
}

TEST(Model3dsRobustness, EveryTruncationOfTheShipFailsOrLoadsConsistentData) {
    const Bytes full = ReadAll(DataFile("crfighter.3ds"));
    ASSERT_GT(full.size(), 1000u);
    Model3ds whole;
    ASSERT_EQ(1, LoadBytes(whole, full));
    int loaded = 0;
    for (size_t n = 0; n < full.size(); ++n) {
        // A copy of exactly n bytes, so that a read past the end is a read past the buffer.
        Bytes cut(full.begin(), full.begin() + (long)n);
        Model3ds m;
        if (m.LoadFromMemory(cut.data(), cut.size()) == 0) {
            ASSERT_EQ(0, m.meshCount) << n;
            continue;
        }
        ++loaded;
        ASSERT_LE(m.meshCount, whole.meshCount) << n;
        ExpectFacesInsideVertices(m);
    }
    // Cuts inside chunks that are skipped leave a loadable (smaller) file.
    EXPECT_GT(loaded, 0);
}

TEST(Model3dsRobustness, EverySingleByteChangeOfASmallFileIsSafe) {
    // A small file with every kind of chunk; each byte in turn set to a few values.
    const Bytes base = File(
        [](ChunkWriter& w) {
            Material(w, "mat");
            Mesh(w, "mesh", [](ChunkWriter& m) {
                Vertices(m, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
                Mapping(m, 4);
                Faces(m, {{0, 1, 2}, {0, 3, 1}}, [](ChunkWriter& f) {
                    FaceMaterial(f, "mat", {0, 1});
                });
            });
            Light(w, "light", {1, 2, 3}, [](ChunkWriter& l) { FloatColour(l, 1, 1, 1); });
            Camera(w, "cam", {0, 0, 0}, {0, 0, 1});
        },
        [](ChunkWriter& k) {
            k.Begin(kChunkObjectNode);
            NodeHeader(k, "mesh", -1);
            PositionTrack(k, {{0, {1, 2, 3}}}, 3);
            k.End();
            k.Begin(kChunkCameraNode);
            NodeHeader(k, "cam", -1);
            PositionTrack(k, {{0, {1, 2, 3}}});
            k.End();
            k.Begin(kChunkCameraTargetNode);
            NodeHeader(k, "cam", -1);
            PositionTrack(k, {{0, {4, 5, 6}}});
            k.End();
        });
    Model3ds check;
    ASSERT_EQ(1, LoadBytes(check, base));
    ASSERT_EQ(1, check.meshCount);
    ASSERT_EQ(1, check.cameraCount);
    EXPECT_EQ(1, check.cameras[0].targetKeyCount);

    for (size_t i = 0; i < base.size(); ++i) {
        for (int value : {0x00, 0x01, 0x7F, 0x80, 0xFF, (base[i] + 1) & 0xFF}) {
            Bytes b = base;
            b[i] = (unsigned char)value;
            Model3ds m;
            if (LoadBytes(m, b) == 1) ExpectFacesInsideVertices(m);
            else ASSERT_EQ(0, m.meshCount);
        }
    }
}

TEST_F(Model3dsAllocFailure, EveryFailedAllocationFailsTheLoadAndLeavesItEmpty) {
    const Bytes b = ReadAll(DataFile("crfighter.3ds"));
    int failures = 0;
    for (int n = 0;; ++n) {
        SetAllocFailure(n);
        Model3ds m;
        const int result = LoadBytes(m, b);
        SetAllocFailure(-1);
        if (result == 1) {
            EXPECT_EQ(8, m.meshCount);
            break;
        }
        ++failures;
        EXPECT_EQ(0, m.meshCount);
        EXPECT_EQ(nullptr, m.meshes);
        ASSERT_LT(n, 100000);
    }
    // Names, vertex and face arrays, key arrays: many allocation points.
    EXPECT_GT(failures, 50);
}

// ---------------------------------------------------------------------------------------
// Files written by Assimp from our OBJ fixtures.

struct ObjObject {
    std::string name;
    std::vector<std::array<int, 3>> faces;    // global 0-based vertex indices
    std::vector<std::array<int, 3>> texture;  // global 0-based vt indices, or -1
};

struct Obj {
    std::vector<V3> v;
    std::vector<std::pair<float, float>> vt;
    std::vector<ObjObject> objects;
};

Obj ReadObj(const std::string& path) {
    Obj obj;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream s(line);
        std::string tag;
        s >> tag;
        if (tag == "o") {
            obj.objects.push_back(ObjObject());
            s >> obj.objects.back().name;
        } else if (tag == "v") {
            V3 p;
            s >> p.x >> p.y >> p.z;
            obj.v.push_back(p);
        } else if (tag == "vt") {
            float u, v;
            s >> u >> v;
            obj.vt.push_back({u, v});
        } else if (tag == "f") {
            std::array<int, 3> f, t;
            for (int k = 0; k < 3; ++k) {
                std::string corner;
                s >> corner;
                f[k] = std::stoi(corner) - 1;
                const size_t slash = corner.find('/');
                t[k] = slash == std::string::npos ? -1 : std::stoi(corner.substr(slash + 1)) - 1;
            }
            obj.objects.back().faces.push_back(f);
            obj.objects.back().texture.push_back(t);
        }
    }
    return obj;
}

class Model3dsAssimp : public ::testing::TestWithParam<const char*> {};

TEST_P(Model3dsAssimp, ReadsTheGeometryThatWentIn) {
    const std::string base = GetParam();
    const Obj obj = ReadObj(FixtureFile((base + ".obj").c_str()));
    ASSERT_FALSE(obj.objects.empty());
    Model3ds m;
    ASSERT_EQ(1, m.Load(FixtureFile((base + ".3ds").c_str()).c_str()));
    ASSERT_EQ((int)obj.objects.size(), m.meshCount);
    ExpectFacesInsideVertices(m);
    for (int i = 0; i < m.meshCount; ++i) {
        const ObjObject& o = obj.objects[i];
        const Mesh3ds& mesh = m.meshes[i];
        EXPECT_NE(std::string::npos, Name(m, i).find(o.name)) << Name(m, i);
        ASSERT_EQ((int)o.faces.size(), mesh.faceCount) << o.name;
        // Assimp merges equal vertices: one per distinct position.
        std::map<std::array<float, 3>, int> distinct;
        for (const auto& f : o.faces)
            for (int k : f) distinct[{obj.v[k].x, obj.v[k].y, obj.v[k].z}] = 1;
        EXPECT_EQ((int)distinct.size(), mesh.vertexCount) << o.name;

        for (int j = 0; j < mesh.faceCount; ++j) {
            const Face3ds& face = mesh.faces[j];
            // File order is reference 0, 2, 1.
            const Vertex3ds* corners[3] = {face.vertex[0], face.vertex[2], face.vertex[1]};
            for (int k = 0; k < 3; ++k) {
                const V3& want = obj.v[o.faces[j][k]];
                const Vec3& got = corners[k]->position;
                EXPECT_EQ(want.x, got.x) << o.name << " face " << j << " corner " << k;
                EXPECT_EQ(want.z, got.y) << o.name << " face " << j << " corner " << k;
                EXPECT_EQ(want.y, got.z) << o.name << " face " << j << " corner " << k;
                const int t = o.texture[j][k];
                if (t >= 0) {
                    EXPECT_EQ(obj.vt[t].first, corners[k]->u);
                    EXPECT_EQ(obj.vt[t].second, corners[k]->v);
                }
            }
            // The normal is unit and the corners lie on the face's plane.
            EXPECT_NEAR(1.0f, face.normal.Length(), 1e-6f);
            for (const Vertex3ds* v : face.vertex) {
                const Vec3& p = v->position;
                EXPECT_NEAR(0.0f,
                            face.normal.x * p.x + face.normal.y * p.y + face.normal.z * p.z +
                                face.d,
                            1e-5f);
            }
        }
    }
    // Assimp writes a default material and groups every face under it.
    ASSERT_GE(m.materialCount, 1);
    EXPECT_EQ(0, m.meshes[0].faces[0].materialIndex);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, Model3dsAssimp, ::testing::Values("tetra", "two_parts"));

// ---------------------------------------------------------------------------------------
// The shipped model.

class Crfighter : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(1, m.Load(DataFile("crfighter.3ds").c_str())); }
    const Mesh3ds* Find(const char* name) const {
        for (int i = 0; i < m.meshCount; ++i)
            if (Name(m, i) == name) return &m.meshes[i];
        return nullptr;
    }
    Model3ds m;
};

TEST_F(Crfighter, HasTheFighterMeshesAndAJetAtTheTail) {
    const char* names[] = {"fuselage", "cockpit", "wing_l", "wing_r",
                           "fin_l",    "fin_r",   "engine", "__jet"};
    ASSERT_EQ(8, m.meshCount);
    int faces = 0;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(names[i], Name(m, i));
        faces += m.meshes[i].faceCount;
    }
    EXPECT_GE(faces, 200);
    EXPECT_LE(faces, 1000);
    ExpectFacesInsideVertices(m);

    const Mesh3ds* jet = Find("__jet");
    ASSERT_NE(nullptr, jet);
    ASSERT_GT(jet->faceCount, 0);
    // The exhaust triangle is the rearmost geometry; the nose points to +z.
    float tailZ = 1e9f, noseZ = -1e9f;
    for (int i = 0; i < m.meshCount; ++i) {
        if (&m.meshes[i] == jet) continue;
        for (int j = 0; j < m.meshes[i].vertexCount; ++j) {
            tailZ = std::fmin(tailZ, m.meshes[i].vertices[j].position.z);
            noseZ = std::fmax(noseZ, m.meshes[i].vertices[j].position.z);
        }
    }
    const Face3ds& exhaust = jet->faces[0];
    for (const Vertex3ds* v : exhaust.vertex) EXPECT_LT(v->position.z, tailZ);
    EXPECT_GT(noseZ, 20.0f);
    EXPECT_LT(tailZ, -20.0f);
    // Upright, facing along z: its corners share one z.
    EXPECT_EQ(exhaust.vertex[0]->position.z, exhaust.vertex[1]->position.z);
    EXPECT_EQ(exhaust.vertex[0]->position.z, exhaust.vertex[2]->position.z);
}

TEST_F(Crfighter, EveryMeshIsClosedAndWoundClockwiseFromOutside) {
    for (int i = 0; i < m.meshCount; ++i) {
        const Mesh3ds& mesh = m.meshes[i];
        std::map<std::pair<int, int>, int> edges;
        double volume = 0.0;
        for (int j = 0; j < mesh.faceCount; ++j) {
            const Face3ds& f = mesh.faces[j];
            const Vertex3ds* fileOrder[3] = {f.vertex[0], f.vertex[2], f.vertex[1]};
            for (int k = 0; k < 3; ++k) {
                const int a = (int)(fileOrder[k] - mesh.vertices);
                const int b = (int)(fileOrder[(k + 1) % 3] - mesh.vertices);
                ++edges[{a, b}];
            }
            const Vec3 a = fileOrder[0]->position, b = fileOrder[1]->position,
                       c = fileOrder[2]->position;
            const Vec3 bxc = c.Cross(b);  // b x c
            volume += (double)a.x * bxc.x + (double)a.y * bxc.y + (double)a.z * bxc.z;
        }
        // Closed and consistently wound: every directed edge once, and its reverse once.
        for (const auto& e : edges) {
            EXPECT_EQ(1, e.second) << Name(m, i);
            const auto back = edges.find({e.first.second, e.first.first});
            EXPECT_TRUE(back != edges.end() && back->second == 1) << Name(m, i);
        }
        // In the stored (game) space the file order runs clockwise seen from outside: a
        // negative signed volume. That is what glCullFace(GL_FRONT) keeps.
        EXPECT_LT(volume, 0.0) << Name(m, i);
    }
}

TEST_F(Crfighter, CarriesMaterialsALightACameraAndKeyframes) {
    ASSERT_EQ(2, m.materialCount);
    EXPECT_STREQ("HULL", m.materials[0].name);
    EXPECT_STREQ("EXHAUST", m.materials[1].name);
    for (int i = 0; i < m.meshCount; ++i) {
        const int material = Name(m, i) == "__jet" ? 1 : 0;
        for (int j = 0; j < m.meshes[i].faceCount; ++j)
            ASSERT_EQ(material, m.meshes[i].faces[j].materialIndex) << Name(m, i) << " " << j;
    }
    const Mesh3ds* fuselage = Find("fuselage");
    ASSERT_NE(nullptr, fuselage);
    for (int j = 0; j < fuselage->vertexCount; ++j) {
        EXPECT_GE(fuselage->vertices[j].u, 0.0f);
        EXPECT_LE(fuselage->vertices[j].u, 1.0f);
    }

    ASSERT_EQ(1, m.lightCount);
    EXPECT_STREQ("Sun", m.lights[0].name);
    EXPECT_EQ(600.0f, m.lights[0].position.z);  // in front of the ship, stored order
    EXPECT_EQ(229, m.lights[0].redInt);
    EXPECT_EQ(255, m.lights[0].blueInt);

    ASSERT_EQ(1, m.cameraCount);
    const Camera3ds& chase = m.cameras[0];
    EXPECT_STREQ("Chase", chase.name);
    ASSERT_EQ(1, chase.positionKeyCount);
    ASSERT_EQ(1, chase.targetKeyCount);
    // Behind and above, looking at the origin along +z.
    EXPECT_EQ(66.0f, chase.orientation.m[13]);
    EXPECT_EQ(-200.0f, chase.orientation.m[14]);
    EXPECT_GT(chase.orientation.m[10], 0.9f);

    EXPECT_EQ(0u, m.firstFrame);
    EXPECT_EQ(100u, m.lastFrame);
    for (int i = 0; i < m.meshCount; ++i) {
        EXPECT_EQ(i, m.meshes[i].nodeId);
        EXPECT_EQ(-1, m.meshes[i].parentNodeId);
        EXPECT_EQ(1, m.meshes[i].positionKeyCount);
        ASSERT_EQ(1, m.meshes[i].rotationKeyCount);
        EXPECT_EQ(1.0f, m.meshes[i].rotationKeys[3][0]);  // rotation axis: up in game space
        EXPECT_EQ(1.0f, m.meshes[i].matrix.m[0]);
        EXPECT_EQ(1.0f, m.meshes[i].matrix.m[15]);
    }
}

}  // namespace
