// What the ring draws, on a real GL context: the vertices it emits (recorded in feedback
// mode), the GL state it leaves, and the picture under the game's camera.
#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/game_random.h"
#include "landscape/contour_landscape.h"
#include "tests/support/gl_test_window.h"

namespace {

const int kWidth = 160;
const int kHeight = 120;

// An orthographic box in which feedback window coordinates map back to object
// coordinates: x, y in -5000..5000 and z from 6000 (depth 0) to -100 (depth 1).
void OrthoBox() {
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-5000, 5000, -5000, 5000, -6000, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// Every line vertex the call emits, back in object coordinates, in drawing order.
std::vector<Vec3> RecordLines(ContourLandscape& land, float x) {
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer((GLsizei)buffer.size(), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    land.AdvanceAndDraw(x);
    const int used = glRenderMode(GL_RENDER);
    EXPECT_GE(used, 0) << "feedback buffer overflow";

    std::vector<Vec3> vertices;
    for (int i = 0; i < used;) {
        const GLfloat token = buffer[i++];
        if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            for (int v = 0; v < 2; ++v, i += 3) {
                Vec3 p;
                p.Set(buffer[i] / kWidth * 10000.0f - 5000.0f,
                      buffer[i + 1] / kHeight * 10000.0f - 5000.0f,
                      6000.0f - buffer[i + 2] * 6100.0f);
                vertices.push_back(p);
            }
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        } else {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
    }
    return vertices;
}

SliceSegment Line(float x0, float y0, float x1, float y1, float bright) {
    SliceSegment s;
    s.start.Set(x0, y0, 0.0f);
    s.end.Set(x1, y1, 0.0f);
    s.startColour.Set(bright, bright, bright);
    s.endColour.Set(bright, bright, bright);
    return s;
}

class LandscapeRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = GameRandState();
        if (!gl.Ok()) GTEST_SKIP() << "no display";
    }
    void TearDown() override { SetGameRandState(saved_); }
    uint32_t saved_ = 0;
    GlTestWindow gl{kWidth, kHeight};
    ContourLandscape land;
};

TEST_F(LandscapeRenderTest, NewestSlotWaitsForTheNextAdvance) {
    OrthoBox();
    // The first advance makes slot 1; every other slot is still empty.
    EXPECT_TRUE(RecordLines(land, 0.01f).empty());
    ASSERT_EQ(1, land.head);
    const int count1 = land.slots[1]->count;
    ASSERT_GT(count1, 0);

    // The second makes slot 2 (not drawn) and draws slot 1 as the farthest, n = 74.
    std::vector<Vec3> v = RecordLines(land, 0.02f);
    ASSERT_EQ(2, land.head);
    ASSERT_EQ((size_t)(2 * count1), v.size());
    const float depth = 5550.0f - (land.stamps[2] - land.stamps[1]) * 25.0f;
    const ContourSlice& slice1 = *land.slots[1];
    for (int i = 0; i < count1; ++i) {
        EXPECT_NEAR(slice1.items[i].start.z + depth, v[2 * i].z, 0.5f) << i;
        EXPECT_NEAR(slice1.items[i].end.z + depth, v[2 * i + 1].z, 0.5f) << i;
        EXPECT_NEAR(slice1.items[i].start.x, v[2 * i].x, 1.0f) << i;
        EXPECT_NEAR(slice1.items[i].start.y, v[2 * i].y, 1.0f) << i;
    }
}

TEST_F(LandscapeRenderTest, NeighbouringSlicesStandSeventyFivePlusTheirAgeApart) {
    OrthoBox();
    struct SpacingCase {
        float delta, spacing;
    };
    const SpacingCase cases[] = {{0.015f, 75.375f}, {0.0f, 75.0f}, {0.2f, 80.0f}};
    for (const SpacingCase& c : cases) {
        ContourLandscape ring;
        // Slots 1 and 2 hold one line each; head 3 is the newest (empty, not drawn).
        ASSERT_EQ(1, ring.slots[1]->Push(Line(100, 0, 100, 50, 1)));
        ASSERT_EQ(1, ring.slots[2]->Push(Line(200, 0, 200, 50, 1)));
        ring.head = 3;
        ring.stamps[1] = 1.0f;
        ring.stamps[2] = 1.0f + c.delta;
        ring.stamps[3] = 1.0f + c.delta;
        std::vector<Vec3> v = RecordLines(ring, (1.0f + c.delta) / 1.6666666f);
        ASSERT_EQ(3, ring.head) << "no advance";
        ASSERT_EQ(4u, v.size());
        // Slot 1 (n = 73) first, then slot 2 (n = 74).
        EXPECT_NEAR(100.0f, v[0].x, 1.0f);
        EXPECT_NEAR(200.0f, v[2].x, 1.0f);
        EXPECT_NEAR(c.spacing, v[2].z - v[0].z, 0.05f) << "delta " << c.delta;
        EXPECT_NEAR(5475.0f - 25.0f * c.delta, v[0].z, 0.3f);
    }
}

TEST_F(LandscapeRenderTest, OldestSliceIsDrawnFirstAndNearest) {
    OrthoBox();
    float x = 0.0f;
    for (int i = 0; i < 80; ++i) {
        x += 0.01f;
        land.AdvanceAndDraw(x);
    }
    std::vector<Vec3> v = RecordLines(land, x);
    size_t expected = 0;
    for (int i = 0; i < kRingSlots; ++i)
        if (i != land.head) expected += 2 * (size_t)land.slots[i]->count;
    ASSERT_EQ(expected, v.size());
    const int oldest = (land.head + 1) % kRingSlots;
    const float b = x * 1.6666666f;
    EXPECT_NEAR(75.0f - (b - land.stamps[oldest]) * 25.0f, v[0].z, 0.5f);
    // Contour vertices (every even one starts at slice z = 0) never come nearer again.
    float last = -1e9f;
    for (size_t i = 0; i < v.size(); i += 2) {
        EXPECT_GE(v[i].z, last - 0.5f) << i;
        if (v[i].z > last) last = v[i].z;
    }
    EXPECT_NEAR(5550.0f, last, 1.0f);
    EXPECT_EQ(land.slots[(land.head + 74) % kRingSlots], land.current);
}

TEST_F(LandscapeRenderTest, LeavesTheStateTheFrameExpects) {
    OrthoBox();
    glEnable(GL_BLEND);
    glShadeModel(GL_SMOOTH);
    land.AdvanceAndDraw(0.5f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    GLint value = 0;
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(GL_FLAT, value);
    glGetIntegerv(GL_FOG_MODE, &value);
    EXPECT_EQ(GL_EXP2, value);
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(GL_SRC_ALPHA, value);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(GL_ONE, value);
    GLfloat density = 0.0f, colour[4] = {1, 1, 1, 0};
    glGetFloatv(GL_FOG_DENSITY, &density);
    EXPECT_FLOAT_EQ(0.00035f, density);
    glGetFloatv(GL_FOG_COLOR, colour);
    EXPECT_EQ(0.0f, colour[0] + colour[1] + colour[2]);
    EXPECT_EQ(1.0f, colour[3]);
    glGetIntegerv(GL_FOG_HINT, &value);
    EXPECT_EQ(GL_NICEST, value);
    EXPECT_EQ(GL_NO_ERROR, (int)glGetError());

    // Not ready: only the fog state is set, and it stays set.
    land.ready = 0;
    EXPECT_TRUE(RecordLines(land, 5.0f).empty());
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    land.ready = 1;
}

// The game's frame: perspective, camera from (0, 10, -30) looking along +z, and the
// landscape pushed back by 50.
void GameCamera() {
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(80.0, 1.33, 0.3, 6000.0);
    gluLookAt(0.0, 10.0, -30.0, 0.0, 10.0, 1000.0, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -50.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

int BrightestPixel(const std::vector<unsigned char>& rgba) {
    int best = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        const int sum = rgba[i] + rgba[i + 1] + rgba[i + 2];
        if (sum > best) best = sum;
    }
    return best;
}

TEST_F(LandscapeRenderTest, TheRunningLandscapeLightsTheScreen) {
    SetGameRandState(1);
    float x = 0.0f;
    for (int frame = 0; frame < 100; ++frame) {
        GameCamera();
        land.AdvanceAndDraw(x);
        gl.Present();
        x += 0.011f;
    }
    GameCamera();
    land.AdvanceAndDraw(x);
    std::vector<unsigned char> rgba = gl.ReadPixels();
    int lit = 0;
    for (size_t i = 0; i < rgba.size(); i += 4)
        if (rgba[i] + rgba[i + 1] + rgba[i + 2] > 60) ++lit;
    EXPECT_GT(lit, 100);
    EXPECT_GT(BrightestPixel(rgba), 300);
}

TEST_F(LandscapeRenderTest, FarSlicesFadeIntoTheFog) {
    // One long white line, first in the nearest slot (n = 1), then in the farthest
    // drawn one (n = 74). It crosses the screen both times; only the fog dims it.
    const SliceSegment line = Line(-3000.0f, 12.0f, 3000.0f, 12.0f, 1.0f);
    int brightest[2];
    const int slotOf[2] = {1, 74};
    for (int pass = 0; pass < 2; ++pass) {
        ContourLandscape ring;
        ASSERT_EQ(1, ring.slots[slotOf[pass]]->Push(line));
        GameCamera();
        ring.AdvanceAndDraw(0.005f);  // no advance: head stays 0
        ASSERT_EQ(0, ring.head);
        std::vector<unsigned char> rgba = gl.ReadPixels();
        brightest[pass] = BrightestPixel(rgba);
        long lit = 0;
        for (size_t i = 0; i < rgba.size(); i += 4)
            if (rgba[i] + rgba[i + 1] + rgba[i + 2] > 0) ++lit;
        EXPECT_GT(lit, kWidth / 3) << "pass " << pass;  // the line is on screen
    }
    EXPECT_GT(brightest[0], 600);            // near: barely any fog
    EXPECT_LT(brightest[1], brightest[0] / 8);  // far: exp(-(0.00035 * 5500)^2) ~ 2.5%
}

}  // namespace
