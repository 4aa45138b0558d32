// The collectibles on a real GL context: the state each Draw leaves, the geometry and
// colours each pass emits (recorded with GL feedback), and light on screen.
#include "tests/support/gl_fixture.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "objects/atom.h"
#include "objects/flower.h"
#include "objects/fractal.h"
#include "object_test_util.h"

namespace {

const float kPi = 3.14159265358979f;
const int kSize = 128;

// One primitive from the feedback buffer: its vertices in window coordinates and the
// colour of its first vertex.
struct FedPrimitive {
    std::vector<Vec3> points;
    float colour[4];
};

// Primitives of one draw: filled polygons (pass 1) and outlines (pass 2, one per
// polygon, rebuilt from its chain of line tokens).
struct Feedback {
    std::vector<FedPrimitive> filled;
    std::vector<FedPrimitive> outlines;
    int otherTokens = 0;
};

Feedback ParseFeedback(const std::vector<float>& buf, int n) {
    Feedback fb;
    auto vertex = [&](int at) { return Vec3{buf[at], buf[at + 1], buf[at + 2]}; };
    for (int i = 0; i < n;) {
        const int token = (int)buf[i++];
        if (token == GL_POLYGON_TOKEN) {
            const int count = (int)buf[i++];
            FedPrimitive p;
            for (int c = 0; c < 4; ++c) p.colour[c] = buf[i + 3 + c];
            for (int v = 0; v < count; ++v, i += 7) p.points.push_back(vertex(i));
            fb.filled.push_back(p);
        } else if (token == GL_LINE_RESET_TOKEN || token == GL_LINE_TOKEN) {
            if (token == GL_LINE_RESET_TOKEN || fb.outlines.empty()) {
                FedPrimitive p;
                for (int c = 0; c < 4; ++c) p.colour[c] = buf[i + 3 + c];
                fb.outlines.push_back(p);
            }
            // Each line ends where the next begins; the end points walk the polygon.
            fb.outlines.back().points.push_back(vertex(i + 7));
            i += 14;
        } else {
            ++fb.otherTokens;
            break;
        }
    }
    return fb;
}

// Object coordinates through the current modelview and the test's glOrtho to window
// coordinates, as feedback reports them.
struct WindowMap {
    Mat4 modelview;
    Vec3 operator()(const Vec3& p) const {
        const Vec3 e = modelview.TransformPoint(p);
        return Vec3{(e.x + 50.0f) * (kSize / 100.0f), (e.y + 50.0f) * (kSize / 100.0f),
                    0.5f - e.z / 400.0f};
    }
};

bool NearPoint(const Vec3& a, const Vec3& b) {
    return std::fabs(a.x - b.x) < 2e-3f && std::fabs(a.y - b.y) < 2e-3f &&
           std::fabs(a.z - b.z) < 1e-5f;
}

// The outline's vertex cycle equals `expected` in the same turning order (any start).
bool SameCycle(const std::vector<Vec3>& cycle, const std::vector<Vec3>& expected) {
    if (cycle.size() != expected.size()) return false;
    const size_t n = expected.size();
    for (size_t start = 0; start < n; ++start) {
        bool all = true;
        for (size_t k = 0; k < n && all; ++k) all = NearPoint(cycle[(start + k) % n], expected[k]);
        if (all) return true;
    }
    return false;
}

// Twice the signed area in window coordinates: > 0 for counter-clockwise.
float SignedArea(const std::vector<Vec3>& p) {
    float a = 0.0f;
    for (size_t k = 0; k < p.size(); ++k) {
        const Vec3& u = p[k];
        const Vec3& v = p[(k + 1) % p.size()];
        a += u.x * v.y - v.x * u.y;
    }
    return a;
}

class CollectibleGl : public GlWindowTest<kSize, kSize> {
protected:

    // Orthographic view of a 100 x 100 square, a slight turn so that no face is seen
    // edge-on, and light 0 giving half of the current colour whatever the normal: then a
    // fed-back colour shows both the colour that was set and that lighting was on.
    static WindowMap SetUpFeedbackScene() {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-50.0, 50.0, -50.0, 50.0, -200.0, 200.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotatef(25.0f, 1.0f, 0.0f, 0.0f);
        glRotatef(35.0f, 0.0f, 1.0f, 0.0f);
        UseHalfColourLight();
        glCullFace(GL_BACK);
        glFrontFace(GL_CCW);
        // The opposite of what the draw must set, so nothing passes by accident.
        glDisable(GL_CULL_FACE);
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glDisable(GL_LIGHTING);
        glDisable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ZERO);
        glEnable(GL_DEPTH_TEST);
        glLineWidth(4.0f);
        glColor3f(1.0f, 1.0f, 1.0f);

        WindowMap map;
        glGetFloatv(GL_MODELVIEW_MATRIX, map.modelview.m);
        return map;
    }

    static Feedback DrawInFeedback(SceneObject& object, float t) {
        std::vector<float> buf(400000);
        glFeedbackBuffer((GLsizei)buf.size(), GL_3D_COLOR, buf.data());
        glRenderMode(GL_FEEDBACK);
        object.Draw(t);
        const int n = glRenderMode(GL_RENDER);
        EXPECT_GT(n, 0) << "feedback buffer overflow or nothing drawn";
        return ParseFeedback(buf, n < 0 ? 0 : n);
    }
};

struct LeftState {
    GLboolean blend, cull, depth, lighting;
    GLint blendSrc, blendDst;
    GLint polygonMode[2];
    GLfloat lineWidth;
    GLfloat colour[4];
};

LeftState ReadState() {
    LeftState s;
    s.blend = glIsEnabled(GL_BLEND);
    s.cull = glIsEnabled(GL_CULL_FACE);
    s.depth = glIsEnabled(GL_DEPTH_TEST);
    s.lighting = glIsEnabled(GL_LIGHTING);
    glGetIntegerv(GL_BLEND_SRC, &s.blendSrc);
    glGetIntegerv(GL_BLEND_DST, &s.blendDst);
    glGetIntegerv(GL_POLYGON_MODE, s.polygonMode);
    glGetFloatv(GL_LINE_WIDTH, &s.lineWidth);
    glGetFloatv(GL_CURRENT_COLOR, s.colour);
    return s;
}

void ExpectOutlinePassLeftOver(const LeftState& s) {
    EXPECT_TRUE(s.blend);
    EXPECT_EQ(s.blendSrc, GL_SRC_ALPHA);
    EXPECT_EQ(s.blendDst, GL_ONE);
    EXPECT_EQ(s.polygonMode[0], GL_LINE);
    EXPECT_EQ(s.polygonMode[1], GL_LINE);
    EXPECT_FALSE(s.cull);
    EXPECT_FALSE(s.depth);
    EXPECT_FALSE(s.lighting);
    EXPECT_FLOAT_EQ(s.lineWidth, 1.5f);
}

void ExpectColour(const float* c, float r, float g, float b, const char* what) {
    EXPECT_NEAR(c[0], r, 1e-6f) << what;
    EXPECT_NEAR(c[1], g, 1e-6f) << what;
    EXPECT_NEAR(c[2], b, 1e-6f) << what;
}

// The state every kind leaves behind, built or released; the colour is the kind's
// outline colour, except the flower's, which sets colours only per face.
TEST_F(CollectibleGl, StateLeftByEachDraw) {
    struct Case {
        const char* kind;
        std::unique_ptr<SceneObject> object;
        float outline[3];  // r < 0: the last face's strand colour (flower)
    };
    Case cases[3];
    cases[0] = {"atom", std::unique_ptr<SceneObject>(new Atom), {0.24f, 0.04f, 0.16f}};
    cases[1] = {"flower", std::unique_ptr<SceneObject>(new Flower), {-1.0f, 0.0f, 0.0f}};
    cases[2] = {"fractal", std::unique_ptr<SceneObject>(new Fractal), {0.075f, 0.175f, 0.05f}};
    for (Case& c : cases) {
        for (bool released : {false, true}) {
            SCOPED_TRACE(::testing::Message() << c.kind << (released ? " released" : " built"));
            ASSERT_EQ(c.object->Build(), 1);
            if (released) c.object->Release();
            SetUpFeedbackScene();
            c.object->Draw(0.3f);
            const LeftState s = ReadState();
            ExpectOutlinePassLeftOver(s);
            if (c.outline[0] >= 0.0f) {
                ExpectColour(s.colour, c.outline[0], c.outline[1], c.outline[2], "outline colour");
            } else if (released) {
                ExpectColour(s.colour, 1.0f, 1.0f, 1.0f, "no faces, no colour");
            } else {
                const Flower& flower = static_cast<const Flower&>(*c.object);
                const int strand =
                    flower.sortEntries.items[flower.sortEntries.count - 1].face->strand;
                if (strand == 1) {
                    ExpectColour(s.colour, 0.04f, 0.08f, 0.2f, "blue");
                } else {
                    ExpectColour(s.colour, 0.2f, 0.04f, 0.04f, "red");
                }
            }
        }
    }
}

// Pass 1 fills only the faces turned to the viewer (culling on, GL_FILL), pass 2 outlines
// every face in sorted order, corners 3, 2, 1, 0; both lit, each with its colour.
TEST_F(CollectibleGl, AtomPassesInSortedOrderWithTheirColours) {
    Atom atom;
    ASSERT_EQ(atom.Build(), 1);
    const WindowMap map = SetUpFeedbackScene();
    const Feedback fb = DrawInFeedback(atom, 0.1f);
    EXPECT_EQ(fb.otherTokens, 0);

    ASSERT_EQ(fb.outlines.size(), 48u);
    int turnedToViewer = 0;
    for (int i = 0; i < 48; ++i) {
        const QuadFace* face = atom.sortEntries.items[i].face;
        const std::vector<Vec3> expected = {map(*face->corner3), map(*face->corner2),
                                            map(*face->corner1), map(*face->corner0)};
        EXPECT_TRUE(SameCycle(fb.outlines[i].points, expected)) << "outline " << i;
        ExpectColour(fb.outlines[i].colour, 0.12f, 0.02f, 0.08f, "lit outline colour");
        if (SignedArea(expected) > 0.0f) ++turnedToViewer;
    }
    // Quads are filled as two triangles each.
    EXPECT_GT(turnedToViewer, 0);
    EXPECT_LT(turnedToViewer, 48);
    EXPECT_EQ(fb.filled.size(), 2u * (size_t)turnedToViewer);
    for (const FedPrimitive& p : fb.filled) ExpectColour(p.colour, 0.06f, 0.01f, 0.04f, "lit fill");
}

// The flower sets the colour for the first face and wherever the strand changes in sorted
// order; outlines and fills come out in the strand colours.
TEST_F(CollectibleGl, FlowerColoursFollowTheStrandsInSortedOrder) {
    Flower flower;
    ASSERT_EQ(flower.Build(), 1);
    Mat4 model;
    model.Identity();
    model.m[12] = 3.0f;
    model.m[14] = -8.0f;
    flower.SetModelMatrix(model);  // mixes the strands in the sorted order
    const WindowMap map = SetUpFeedbackScene();
    const Feedback fb = DrawInFeedback(flower, 0.7f);

    ASSERT_EQ(fb.outlines.size(), 240u);
    int strandChanges = 0;
    int colourChanges = 0;
    for (int i = 0; i < 240; ++i) {
        const QuadFace* face = flower.sortEntries.items[i].face;
        const std::vector<Vec3> expected = {map(*face->corner3), map(*face->corner2),
                                            map(*face->corner1), map(*face->corner0)};
        EXPECT_TRUE(SameCycle(fb.outlines[i].points, expected)) << "outline " << i;
        if (face->strand == 1) {
            ExpectColour(fb.outlines[i].colour, 0.02f, 0.04f, 0.1f, "blue, lit");
        } else {
            ExpectColour(fb.outlines[i].colour, 0.1f, 0.02f, 0.02f, "red, lit");
        }
        if (i > 0) {
            if (face->strand != flower.sortEntries.items[i - 1].face->strand) ++strandChanges;
            if (fb.outlines[i].colour[0] != fb.outlines[i - 1].colour[0]) ++colourChanges;
        }
    }
    EXPECT_GT(strandChanges, 1) << "the sorted order should interleave the strands";
    EXPECT_EQ(colourChanges, strandChanges);
    for (const FedPrimitive& p : fb.filled) {
        const bool red = std::fabs(p.colour[0] - 0.1f) < 1e-6f;
        if (red) {
            ExpectColour(p.colour, 0.1f, 0.02f, 0.02f, "red fill");
        } else {
            ExpectColour(p.colour, 0.02f, 0.04f, 0.1f, "blue fill");
        }
    }
}

// Only faces of the selected level are drawn, corners 0, 2, 1, in sorted order.
TEST_F(CollectibleGl, FractalDrawsOnlyTheSelectedLevel) {
    struct Case {
        float t;
        int level;
        size_t faces;
    };
    const Case cases[] = {{0.0f, 0, 4}, {kPi / 12, 2, 64}, {kPi / 4, 4, 1024}};
    Fractal fractal;
    ASSERT_EQ(fractal.Build(), 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t);
        const WindowMap map = SetUpFeedbackScene();
        const Feedback fb = DrawInFeedback(fractal, c.t);
        ASSERT_EQ(fb.outlines.size(), c.faces);
        size_t next = 0;
        int turnedToViewer = 0;
        for (int i = 0; i < fractal.sortEntries.count; ++i) {
            const TriFace* face = fractal.sortEntries.items[i].face;
            if (face->level != c.level) continue;
            ASSERT_LT(next, fb.outlines.size());
            const std::vector<Vec3> expected = {map(face->corner0->position),
                                                map(face->corner2->position),
                                                map(face->corner1->position)};
            EXPECT_TRUE(SameCycle(fb.outlines[next].points, expected)) << "outline " << next;
            ExpectColour(fb.outlines[next].colour, 0.0375f, 0.0875f, 0.025f, "lit outline");
            if (SignedArea(expected) > 0.0f) ++turnedToViewer;
            ++next;
        }
        EXPECT_EQ(next, c.faces);
        EXPECT_EQ(fb.filled.size(), (size_t)turnedToViewer);
        EXPECT_LT(fb.filled.size(), c.faces);
    }
}

// As the game draws: perspective, light 0 with colour material, depth test on, over a
// dark grey background. Each kind lights up the middle in its own hues and, blending
// additively, never darkens a pixel.
TEST_F(CollectibleGl, EachKindPutsLightOnScreen) {
    struct Case {
        const char* kind;
        std::unique_ptr<SceneObject> object;
        int brightest;  // channel with the largest sum: 0 red, 1 green, 2 blue
        int dimmest;
    };
    Case cases[3];
    cases[0] = {"atom", std::unique_ptr<SceneObject>(new Atom), 0, 1};
    cases[1] = {"flower", std::unique_ptr<SceneObject>(new Flower), -1, 1};
    cases[2] = {"fractal", std::unique_ptr<SceneObject>(new Fractal), 1, 2};
    const unsigned char background = 40;
    for (Case& c : cases) {
        SCOPED_TRACE(c.kind);
        ASSERT_EQ(c.object->Build(), 1);
        glClearColor(background / 255.0f, background / 255.0f, background / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, 1.0, 1.0, 1000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, -70.0f);
        const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        const GLfloat dark[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        const GLfloat towardsViewer[4] = {0.0f, 0.0f, 1.0f, 0.0f};
        glLightfv(GL_LIGHT0, GL_AMBIENT, dark);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        glLightfv(GL_LIGHT0, GL_POSITION, towardsViewer);
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, dark);
        glEnable(GL_LIGHT0);
        glEnable(GL_COLOR_MATERIAL);
        glEnable(GL_DEPTH_TEST);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

        c.object->Draw(kPi / 8);  // fractal at level 3
        const std::vector<unsigned char> px = window->ReadPixels();
        long sum[3] = {0, 0, 0};
        int darker = 0;
        for (size_t p = 0; p < px.size(); p += 4)
            for (int ch = 0; ch < 3; ++ch) {
                sum[ch] += px[p + ch] - background;
                if (px[p + ch] < background) ++darker;
            }
        EXPECT_EQ(darker, 0);
        EXPECT_GT(sum[0] + sum[1] + sum[2], 1000);
        EXPECT_GT(window->RegionBrightness(kSize / 4, kSize / 4, 3 * kSize / 4, 3 * kSize / 4),
                  (long)(kSize / 2) * (kSize / 2) * 3 * background);
        // Corners stay background: the object is in the middle.
        EXPECT_EQ(window->RegionBrightness(0, 0, 4, 4), 4L * 4 * 3 * background);
        if (c.brightest >= 0) {
            for (int ch = 0; ch < 3; ++ch) {
                if (ch != c.brightest) {
                    EXPECT_GT(sum[c.brightest], sum[ch]) << "channel " << ch;
                }
            }
        } else {
            // Red and blue strands: both outshine green.
            EXPECT_GT(sum[0], sum[1]);
            EXPECT_GT(sum[2], sum[1]);
        }
        EXPECT_LT(sum[c.dimmest], sum[c.brightest >= 0 ? c.brightest : 0]);
        window->Present();
    }
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

}  // namespace
