// The ship: building from 3DS files (jet mesh, sort entries), the flame's sawtooth, and
// drawing on a real GL context (emitted geometry in feedback mode, the shipped model on
// screen through the game's camera and culling).
#include "objects/ship.h"

#include "tests/support/gl_fixture.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "assets/chunk_ids_3ds.h"
#include "tools/make_crfighter_chunks.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct V3 {
    float x, y, z;
};

struct MeshSpec {
    std::string name;
    std::vector<V3> vertices;  // file coordinates
    std::vector<std::array<int, 3>> faces;
};

Bytes ModelFile(const std::vector<MeshSpec>& meshes) {
    ChunkWriter w;
    w.Begin(kChunkMain);
    w.Begin(kChunkScene);
    for (const MeshSpec& m : meshes) {
        w.Begin(kChunkNamedObject);
        w.Name(m.name);
        w.Begin(kChunkTriangleMesh);
        w.Begin(kChunkVertexList);
        w.U16((uint16_t)m.vertices.size());
        for (const V3& v : m.vertices) {
            w.F32(v.x);
            w.F32(v.y);
            w.F32(v.z);
        }
        w.End();
        if (!m.faces.empty()) {
            w.Begin(kChunkFaceList);
            w.U16((uint16_t)m.faces.size());
            for (const auto& f : m.faces) {
                w.U16((uint16_t)f[0]);
                w.U16((uint16_t)f[1]);
                w.U16((uint16_t)f[2]);
                w.U16(7);
            }
            w.End();
        }
        w.End();
        w.End();
    }
    w.End();
    w.End();
    return w.bytes;
}

// A model file in the working directory for the length of a test.
class TempModel {
public:
    TempModel(const std::string& path, const Bytes& bytes) : path_(path) {
        FILE* f = std::fopen(path.c_str(), "wb");
        EXPECT_NE(nullptr, f);
        if (f == nullptr) return;
        EXPECT_EQ(bytes.size(), std::fwrite(bytes.data(), 1, bytes.size(), f));
        std::fclose(f);
    }
    ~TempModel() { std::remove(path_.c_str()); }
    const char* Path() const { return path_.c_str(); }

private:
    std::string path_;
};

std::string ShipModelPath() { return std::string(ORV_DATA_DIR) + "/crfighter.3ds"; }

bool Same(const Vec3& v, float x, float y, float z) { return v.x == x && v.y == y && v.z == z; }

// ---------------------------------------------------------------------------------------
// Build and Release.

const std::vector<V3> kTriangle = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};

TEST(ShipBuild, ListsEveryFaceOfEveryMeshAndResetsMatricesAndDirty) {
    TempModel file("ship_test_two_meshes.3ds",
                   ModelFile({{"body", {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}, {0, 0, 4}},
                               {{0, 1, 2}, {0, 3, 1}}},
                              {"__jet", {{1, 0, -1}, {2, 0, -1}, {1, 2, -1}}, {{0, 1, 2}}}}));
    Ship ship;
    Mat4 moved;
    moved.Identity();
    moved.m[12] = 5.0f;
    ship.SetModelMatrix(moved);
    ship.SetViewMatrix(moved);
    ASSERT_EQ(1, ship.Build(file.Path()));
    ASSERT_NE(nullptr, ship.model);
    ASSERT_EQ(2, ship.model->meshCount);

    // Mesh order, then face order; the jet mesh's own faces are drawn too.
    ASSERT_EQ(3, ship.sortEntries.count);
    const Face3ds* expected[3] = {&ship.model->meshes[0].faces[0],
                                  &ship.model->meshes[0].faces[1],
                                  &ship.model->meshes[1].faces[0]};
    for (int i = 0; i < 3; ++i) {
        const DepthSortEntry<Face3ds>& e = ship.sortEntries.items[i];
        EXPECT_EQ(expected[i], e.face) << i;
        EXPECT_TRUE(Same(e.worldCentre, e.face->centre.x, e.face->centre.y, e.face->centre.z));
        EXPECT_EQ(0.0f, e.key);
    }
    EXPECT_EQ(0, ship.dirty);
    for (int i = 0; i < 16; ++i) {
        const float identity = (i % 5 == 0) ? 1.0f : 0.0f;
        EXPECT_EQ(identity, ship.modelMatrix.m[i]) << i;
        EXPECT_EQ(identity, ship.viewMatrix.m[i]) << i;
    }

    ship.Release();
    EXPECT_EQ(nullptr, ship.model);
    EXPECT_EQ(0, ship.sortEntries.count);
    // The exhaust stays: it belongs to the ship, not the model.
    EXPECT_TRUE(Same(ship.jet[0], 2, -1, 0));
}

struct JetCase {
    const char* what;
    std::vector<MeshSpec> meshes;
    // Expected jet: the winning first face's vertices, reference 2, 1, 0 (stored).
    std::array<V3, 3> jet;
};

class ShipJet : public ::testing::TestWithParam<JetCase> {};

TEST_P(ShipJet, TakesTheFirstFaceOfTheLastMeshNamedJet) {
    const JetCase& c = GetParam();
    TempModel file("ship_test_jet.3ds", ModelFile(c.meshes));
    Ship ship;
    ASSERT_EQ(1, ship.Build(file.Path())) << c.what;
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(c.jet[k].x, ship.jet[k].x) << c.what << " corner " << k;
        EXPECT_EQ(c.jet[k].y, ship.jet[k].y) << c.what << " corner " << k;
        EXPECT_EQ(c.jet[k].z, ship.jet[k].z) << c.what << " corner " << k;
    }
}

// File corners a, b, c of the first face are stored as (x, z, y); reference 0 is a,
// reference 1 is c and reference 2 is b, so the jet is (b, c, a).
const std::vector<V3> kJetA = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {0, 0, 0}};
const std::vector<V3> kJetB = {{-1, -2, -3}, {-4, -5, -6}, {-7, -8, -9}};

INSTANTIATE_TEST_SUITE_P(
    Names, ShipJet,
    ::testing::Values(
        JetCase{"exact name",
                {{"body", kTriangle, {{0, 1, 2}}}, {"__jet", kJetA, {{0, 1, 2}, {3, 2, 1}}}},
                {V3{4, 6, 5}, V3{7, 9, 8}, V3{1, 3, 2}}},
        JetCase{
            "capitals", {{"__JET", kJetA, {{2, 0, 1}}}}, {V3{1, 3, 2}, V3{4, 6, 5}, V3{7, 9, 8}}},
        JetCase{"last one wins",
                {{"__jet", kJetA, {{0, 1, 2}}}, {"__Jet", kJetB, {{0, 1, 2}}}},
                {V3{-4, -6, -5}, V3{-7, -9, -8}, V3{-1, -3, -2}}},
        JetCase{"a later jet mesh without faces changes nothing",
                {{"__jet", kJetA, {{0, 1, 2}}}, {"__jet", kJetB, {}}},
                {V3{4, 6, 5}, V3{7, 9, 8}, V3{1, 3, 2}}},
        JetCase{"similar names are not the jet",
                {{"__jet_", kJetA, {{0, 1, 2}}},
                 {"x__jet", kJetA, {{0, 1, 2}}},
                 {"__je", kJetA, {{0, 1, 2}}},
                 {"_jet", kJetA, {{0, 1, 2}}}},
                {V3{0, 0, 0}, V3{0, 0, 0}, V3{0, 0, 0}}}));

TEST(ShipBuild, AMissingOrBrokenModelFailsAndLeavesNoFaces) {
    TempModel broken("ship_test_broken.3ds", Bytes{0x4D, 0x4D, 0, 0, 0, 0});  // length 0
    for (const char* path : {"ship_test_no_such_file.3ds", broken.Path()}) {
        Ship ship;
        EXPECT_EQ(0, ship.Build(path)) << path;
        EXPECT_EQ(0, ship.sortEntries.count);
        EXPECT_TRUE(Same(ship.jet[0], 0, 0, 0));
    }
    // A failed rebuild drops the faces of the model before.
    Ship ship;
    ASSERT_EQ(1, ship.Build(ShipModelPath().c_str()));
    EXPECT_GT(ship.sortEntries.count, 100);
    EXPECT_EQ(0, ship.Build("ship_test_no_such_file.3ds"));
    EXPECT_EQ(0, ship.sortEntries.count);
}

TEST(ShipBuild, BuildReadsCrfighterFromTheWorkingDirectory) {
    // Keep whatever crfighter.3ds the working directory holds.
    std::ifstream in("crfighter.3ds", std::ios::binary);
    const bool existed = in.good();
    const Bytes old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    {
        TempModel file("crfighter.3ds", ModelFile({{"only", kTriangle, {{0, 1, 2}}}}));
        Ship ship;
        ASSERT_EQ(1, ship.Build());
        ASSERT_EQ(1, ship.model->meshCount);
        EXPECT_STREQ("only", ship.model->meshes[0].name);
    }
    if (existed) {
        FILE* f = std::fopen("crfighter.3ds", "wb");
        ASSERT_NE(nullptr, f);
        std::fwrite(old.data(), 1, old.size(), f);
        std::fclose(f);
    }
}

TEST(ShipBuild, TheShippedModelHasAJetAtTheTail) {
    Ship ship;
    ASSERT_EQ(1, ship.Build(ShipModelPath().c_str()));
    // The exhaust stands upright behind the ship; the flame recedes along -z from it.
    EXPECT_LT(ship.jet[0].z, -20.0f);
    EXPECT_EQ(ship.jet[0].z, ship.jet[1].z);
    EXPECT_EQ(ship.jet[0].z, ship.jet[2].z);
    float xs = 0.0f;
    for (const Vec3& v : ship.jet) xs += v.x;
    EXPECT_NEAR(0.0f, xs, 1e-5f);  // centred on the axis the flame shrinks towards
}

// ---------------------------------------------------------------------------------------
// The flame.

TEST(ShipFlame, AtTimeZeroTheCopiesRunFromZeroDownwardsAndAreBlack) {
    FlameCopy c[8];
    ComputeFlame(0.0f, c);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(-5.0f * (float)i, c[i].u) << i;
        EXPECT_FLOAT_EQ(1.0f + 0.1f * (float)i, c[i].scale) << i;
        EXPECT_FLOAT_EQ(-(float)i / 3.0f, c[i].brightness) << i;
        EXPECT_LE(c[i].brightness, 0.0f);
    }
}

TEST(ShipFlame, AtTwoSecondsTheCopiesRunFromFortyToFive) {
    FlameCopy c[8];
    ComputeFlame(2.0f, c);
    const float brightness[8] = {0.075f, 0.2f, 0.325f, 0.45f, 0.575f, 1.0f, 0.6666667f,
                                 0.33333334f};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(40.0f - 5.0f * (float)i, c[i].u) << i;
        EXPECT_FLOAT_EQ(0.2f + 0.1f * (float)i, c[i].scale) << i;
        EXPECT_FLOAT_EQ(brightness[i], c[i].brightness) << i;
    }
    EXPECT_EQ(1.0f, c[5].brightness);  // u = 15: exactly 1
    EXPECT_EQ(0.33333334f, c[7].brightness);
}

// The sawtooth as a loop of float subtractions.
float LoopedU(float t) {
    float u = 30.0f * t;
    while (u > 40.0f) u = u - 5.0f;
    return u;
}

TEST(ShipFlame, TheOneStepSawtoothMatchesTheLoopOfSubtractions) {
    for (float t : {0.1f, 1.0f, 1.3333333f, 1.3333334f, 1.3666667f, 1.5f, 2.0f, 2.0333333f,
                    7.77f, 123.456f, 1000.001f, 3600.5f, 86399.99f, 400000.3f, 559000.0f}) {
        FlameCopy c[8];
        ComputeFlame(t, c);
        const float u = LoopedU(t);
        EXPECT_EQ(u, c[0].u) << t;
        for (int i = 1; i < 8; ++i) EXPECT_EQ(c[i - 1].u - 5.0f, c[i].u) << t;
    }
}

TEST(ShipFlame, StaysInItsRangeHoweverLongTheGameRuns) {
    // Where u - 5 rounds back to u a loop would never end.
    for (float t : {1.0e7f, 3.0e38f, INFINITY}) {
        FlameCopy c[8];
        ComputeFlame(t, c);
        EXPECT_GT(c[0].u, 35.0f) << t;
        EXPECT_LE(c[0].u, 40.0f) << t;
    }
}

// ---------------------------------------------------------------------------------------
// Drawing on a real context.

const int kWidth = 320;
const int kHeight = 240;

class ShipGl : public GlWindowTest<kWidth, kHeight> {};

// Feedback of one Draw, split into pass 1 (polygons), pass 2 and the flame (outlines:
// each polygon in line mode comes as a chain of lines; their start points are its
// vertices).
struct Fed {
    std::vector<float> p;  // x, y, z, r, g, b, a
};
struct FedPolygon {
    std::vector<Fed> v;
};

std::vector<FedPolygon> ParseFeedback(const std::vector<float>& buf, int n, bool lines) {
    std::vector<FedPolygon> out;
    auto vertex = [&](int at) { return Fed{std::vector<float>(&buf[at], &buf[at] + 7)}; };
    for (int i = 0; i < n;) {
        const int token = (int)buf[i++];
        if (token == GL_POLYGON_TOKEN) {
            const int count = (int)buf[i++];
            FedPolygon p;
            for (int k = 0; k < count; ++k, i += 7) p.v.push_back(vertex(i));
            if (!lines) out.push_back(p);
        } else if (token == GL_LINE_RESET_TOKEN || token == GL_LINE_TOKEN) {
            if (lines) {
                if (token == GL_LINE_RESET_TOKEN || out.empty()) out.push_back(FedPolygon());
                out.back().v.push_back(vertex(i));
            }
            i += 14;
        } else if (token == GL_POINT_TOKEN) {
            i += 7;
        } else {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
    }
    return out;
}

// Orthographic 1:1 view of x, y in [-50, 50] and z in [-200, 200]: window x = x + 50
// scaled to the window, depth = 0.5 - z / 400.
void OrthoScene() {
    glViewport(0, 0, 100, 100);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-50.0, 50.0, -50.0, 50.0, -200.0, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Light 0 gives half the current colour whatever the normal, so a fed-back colour
    // shows both the colour set and that lighting was on.
    UseHalfColourLight();
    // What the frame driver sets; the ship must draw with it and not set its own.
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
}

struct Drawn {
    std::vector<FedPolygon> filled;
    std::vector<FedPolygon> outlines;  // pass 2, then the eight flame copies
};

Drawn DrawInFeedback(Ship& ship, float t) {
    std::vector<float> buf(200000);
    glFeedbackBuffer((GLsizei)buf.size(), GL_3D_COLOR, buf.data());
    glRenderMode(GL_FEEDBACK);
    ship.Draw(t);
    const int n = glRenderMode(GL_RENDER);
    EXPECT_GE(n, 0) << "feedback buffer overflow";
    Drawn d;
    d.filled = ParseFeedback(buf, n < 0 ? 0 : n, false);
    d.outlines = ParseFeedback(buf, n < 0 ? 0 : n, true);
    return d;
}

bool Near(float a, float b, float tol) { return std::fabs(a - b) <= tol; }

// The window position and depth of a point in the ortho scene.
std::array<float, 3> Window(float x, float y, float z) {
    return {x + 50.0f, y + 50.0f, 0.5f - z / 400.0f};
}

bool AtWindow(const Fed& f, float x, float y, float z) {
    const std::array<float, 3> w = Window(x, y, z);
    return Near(f.p[0], w[0], 2e-3f) && Near(f.p[1], w[1], 2e-3f) && Near(f.p[2], w[2], 1e-5f);
}

void ExpectVertex(const Fed& f, float x, float y, float z, const char* what) {
    EXPECT_TRUE(AtWindow(f, x, y, z)) << what << ": got (" << f.p[0] << ", " << f.p[1] << ", "
                                      << f.p[2] << ")";
}

// An outline comes as a closed chain of lines that may start at any corner; the corners
// must follow in the given order.
void ExpectOutline(const FedPolygon& p, const float corners[3][3], const char* what) {
    ASSERT_EQ(3u, p.v.size()) << what;
    bool found = false;
    for (int start = 0; start < 3 && !found; ++start) {
        found = true;
        for (int k = 0; k < 3 && found; ++k) {
            const float* c = corners[k];
            found = AtWindow(p.v[(start + k) % 3], c[0], c[1], c[2]);
        }
    }
    EXPECT_TRUE(found) << what << ": corners (" << p.v[0].p[0] << ", " << p.v[0].p[1] << "), ("
                       << p.v[1].p[0] << ", " << p.v[1].p[1] << "), (" << p.v[2].p[0] << ", "
                       << p.v[2].p[1] << ")";
}

void ExpectColour(const Fed& f, float r, float g, float b, const char* what) {
    EXPECT_NEAR(r, f.p[3], 2e-3f) << what;
    EXPECT_NEAR(g, f.p[4], 2e-3f) << what;
    EXPECT_NEAR(b, f.p[5], 2e-3f) << what;
}

TEST_F(ShipGl, DrawsBothMeshesNearestFirstInFileOrderThenTheFlame) {
    // Stored positions (x, file z, file y). Faces: "body" 0 at z = 10 and 1 at z = -20,
    // the jet's face at z = -5. Eye at z = -100: nearest is body 1, then the jet, then
    // body 0.
    TempModel file("ship_test_draw.3ds",
                   ModelFile({{"body",
                               {{-10, 10, 0}, {10, 10, 0}, {0, 10, 20},
                                {-10, -20, 0}, {10, -20, 0}, {0, -20, 20}},
                               {{0, 1, 2}, {3, 4, 5}}},
                              {"__jet", {{-2, -5, -2}, {2, -5, -2}, {0, -5, 3}}, {{0, 1, 2}}}}));
    Ship ship;
    ASSERT_EQ(1, ship.Build(file.Path()));
    OrthoScene();
    Mat4 view;
    view.Identity();
    view.m[14] = -100.0f;
    ship.SetViewMatrix(view);
    Mat4 model;
    model.Identity();
    ship.SetModelMatrix(model);

    const Drawn d = DrawInFeedback(ship, 2.0f);

    // File order of each face, stored coordinates.
    const float faces[3][3][3] = {
        {{-10, 0, -20}, {10, 0, -20}, {0, 20, -20}},  // body face 1
        {{-2, -2, -5}, {2, -2, -5}, {0, 3, -5}},      // jet face
        {{-10, 0, 10}, {10, 0, 10}, {0, 20, 10}},     // body face 0
    };
    ASSERT_EQ(3u, d.filled.size());
    ASSERT_EQ(3u + 8u, d.outlines.size());
    for (int f = 0; f < 3; ++f) {
        ASSERT_EQ(3u, d.filled[f].v.size());
        for (int k = 0; k < 3; ++k)
            ExpectVertex(d.filled[f].v[k], faces[f][k][0], faces[f][k][1], faces[f][k][2],
                         "filled");
        ExpectOutline(d.outlines[f], faces[f], "outline");
        // Both passes lit, in the violet tint.
        ExpectColour(d.filled[f].v[0], 0.0375f, 0.025f, 0.0875f, "fill colour");
        ExpectColour(d.outlines[f].v[0], 0.0375f, 0.025f, 0.0875f, "outline colour");
    }

    // The flame at t = 2: u = 40, 35, ... 5; the jet is (file second, third, first).
    const float jet[3][3] = {{2, -2, -5}, {0, 3, -5}, {-2, -2, -5}};
    const float brightness[8] = {0.075f, 0.2f, 0.325f, 0.45f, 0.575f, 1.0f, 0.6666667f,
                                 0.33333334f};
    for (int i = 0; i < 8; ++i) {
        const FedPolygon& copy = d.outlines[3 + i];
        ASSERT_EQ(3u, copy.v.size());
        const float u = 40.0f - 5.0f * (float)i;
        const float s = 1.0f - u / 50.0f;
        float corners[3][3];
        for (int k = 0; k < 3; ++k) {
            corners[k][0] = s * jet[k][0];
            corners[k][1] = s * jet[k][1];
            corners[k][2] = jet[k][2] - u;
        }
        ExpectOutline(copy, corners, "flame");
        // Unlit.
        ExpectColour(copy.v[0], 0.4f * brightness[i], 0.3f * brightness[i], brightness[i],
                     "flame colour");
    }

    // What Draw leaves: the outline pass's state, thick lines and depth testing back on.
    GLint mode[2], src, dst;
    GLfloat width;
    glGetIntegerv(GL_POLYGON_MODE, mode);
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(GL_LINE, mode[0]);
    EXPECT_EQ(GL_SRC_ALPHA, src);
    EXPECT_EQ(GL_ONE, dst);
    EXPECT_EQ(5.0f, width);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));

    // Without a matrix change the order stays; moving the eye behind reverses it.
    view.m[14] = 100.0f;
    ship.SetViewMatrix(view);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    const Drawn back = DrawInFeedback(ship, 2.0f);
    ASSERT_EQ(3u, back.filled.size());
    ExpectVertex(back.filled[0].v[0], -10, 0, 10, "nearest from behind");
    ExpectVertex(back.filled[2].v[0], -10, 0, -20, "farthest from behind");
}

TEST_F(ShipGl, WithoutAModelOnlyTheFlameIsDrawn) {
    Ship ship;
    EXPECT_EQ(0, ship.Build("ship_test_no_such_file.3ds"));
    OrthoScene();
    Mat4 m;
    m.Identity();
    ship.SetModelMatrix(m);
    const Drawn d = DrawInFeedback(ship, 2.0f);
    EXPECT_TRUE(d.filled.empty());
    // Eight degenerate triangles on the axis, if anything reaches the feedback at all.
    EXPECT_LE(d.outlines.size(), 8u);
    for (const FedPolygon& p : d.outlines)
        for (const Fed& v : p.v) {
            EXPECT_NEAR(50.0f, v.p[0], 2e-3f);
            EXPECT_NEAR(50.0f, v.p[1], 2e-3f);
        }
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
}

// The game at rest: camera at (0, 10, -30) looking at the origin, ship matrix a 0.15
// scale, light 0 from +z, GL_FRONT culled, depth test on.
void GameScene(int width, int height) {
    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(80.0, (double)1.33f, (double)0.3f, 6000.0);
    gluLookAt(0.0, 10.0, -30.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    const GLfloat position[4] = {0.0f, 0.0f, 100.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glCullFace(GL_FRONT);
    glFrontFace(GL_CCW);
    glEnable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDisable(GL_BLEND);
}

Mat4 ShipMatrix() {
    Mat4 m;
    m.Identity();
    m.ScaleBasis(0.15f);
    return m;
}

// Bounding box and brightness of everything not black.
struct Lit {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
    long pixels = 0, sum = 0;
};

Lit LitPixels(const std::vector<unsigned char>& rgba, int width, int height) {
    Lit lit;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = &rgba[4 * ((size_t)y * width + x)];
            const int b = p[0] + p[1] + p[2];
            if (b == 0) continue;
            ++lit.pixels;
            lit.sum += b;
            if (x < lit.x0) lit.x0 = x;
            if (x > lit.x1) lit.x1 = x;
            if (y < lit.y0) lit.y0 = y;
            if (y > lit.y1) lit.y1 = y;
        }
    return lit;
}

TEST_F(ShipGl, TheShipIsSeenAtTheOriginFromTheGamesCamera) {
    Ship ship;
    ASSERT_EQ(1, ship.Build(ShipModelPath().c_str()));
    GameScene(kWidth, kHeight);
    const Mat4 shipMatrix = ShipMatrix();
    glLoadMatrixf(shipMatrix.m);
    ship.SetViewMatrix(LookAtFrame(Vec3{0.0f, 10.0f, -30.0f}, Vec3{0.0f, 0.0f, 0.0f}));
    ship.SetModelMatrix(shipMatrix);
    // At t = 0 the flame is black (and pointing into the ship): only the hull shows.
    ship.Draw(0.0f);
    const Lit hull = LitPixels(window->ReadPixels(), kWidth, kHeight);

    // A real picture of the ship: a few percent of the screen around the middle,
    // left-right symmetric, bright enough to see.
    ASSERT_GT(hull.pixels, kWidth * kHeight / 200);
    EXPECT_LT(hull.pixels, kWidth * kHeight / 3);
    const int cx = (hull.x0 + hull.x1) / 2;
    EXPECT_NEAR(kWidth / 2, cx, 3);
    EXPECT_GT(hull.x1 - hull.x0, kWidth / 10);
    EXPECT_LT(hull.x1 - hull.x0, kWidth / 2);
    EXPECT_GT(hull.y1, kHeight / 3);
    EXPECT_LT(hull.y0, 2 * kHeight / 3);
    EXPECT_GT(hull.sum / hull.pixels, 20);
    // Violet (0.075, 0.05, 0.175) wherever the lines have not piled up to saturation.
    const std::vector<unsigned char> px = window->ReadPixels();
    long r = 0, g = 0, b = 0;
    for (size_t i = 0; i < px.size(); i += 4) {
        if (px[i + 2] >= 250) continue;
        r += px[i];
        g += px[i + 1];
        b += px[i + 2];
    }
    EXPECT_GT(b, 2 * r) << r << " " << g << " " << b;
    EXPECT_GT(4 * r, 5 * g) << r << " " << g << " " << b;
    window->Present();

    // Later the flame burns behind it, below the middle of the screen (the camera looks
    // down on the ship's tail).
    GameScene(kWidth, kHeight);
    glLoadMatrixf(shipMatrix.m);
    ship.SetModelMatrix(shipMatrix);
    ship.Draw(2.0f);
    const Lit withFlame = LitPixels(window->ReadPixels(), kWidth, kHeight);
    EXPECT_GT(withFlame.sum, hull.sum + hull.sum / 10);
    EXPECT_LT(withFlame.y0, hull.y0);
    window->Present();
}

TEST_F(ShipGl, TheGamesCullingShowsTheOutsideOfTheModel) {
    // Every face in the ship's vertex order (the file's) with its own flat colour; with
    // GL_FRONT culled, each pixel must show the face nearest the camera, the same face
    // as when nothing is culled. A model wound the other way would show its far side.
    Model3ds model;
    ASSERT_EQ(1, model.Load(ShipModelPath().c_str()));
    auto render = [&](bool cull) {
        GameScene(kWidth, kHeight);
        glDisable(GL_LIGHTING);
        glDisable(GL_DITHER);
        if (!cull) glDisable(GL_CULL_FACE);
        const Mat4 shipMatrix = ShipMatrix();
        glLoadMatrixf(shipMatrix.m);
        glBegin(GL_TRIANGLES);
        int id = 1;
        for (int i = 0; i < model.meshCount; ++i)
            for (int j = 0; j < model.meshes[i].faceCount; ++j, ++id) {
                glColor3ub((GLubyte)(id & 0xFF), (GLubyte)((id >> 8) & 0xFF), 0x80);
                const Face3ds& f = model.meshes[i].faces[j];
                for (int k : {0, 2, 1}) {
                    const Vec3& p = f.vertex[k]->position;
                    glVertex3f(p.x, p.y, p.z);
                }
            }
        glEnd();
        std::vector<unsigned char> pixels = window->ReadPixels();
        glEnable(GL_DITHER);
        return pixels;
    };
    const std::vector<unsigned char> all = render(false);
    const std::vector<unsigned char> culled = render(true);
    long covered = 0, same = 0;
    for (size_t i = 0; i < all.size(); i += 4) {
        if (all[i + 2] == 0 && culled[i + 2] == 0) continue;
        ++covered;
        if (all[i] == culled[i] && all[i + 1] == culled[i + 1] && all[i + 2] == culled[i + 2])
            ++same;
    }
    ASSERT_GT(covered, kWidth * kHeight / 200);
    EXPECT_GT(same, covered * 98 / 100) << same << " of " << covered;
}

}  // namespace
