// The landscape's own drawing state and colours, each test starting from the state
// opposite to the one the ring must set for itself (blending off, flat shading), so a
// missing glEnable(GL_BLEND) or glShadeModel(GL_SMOOTH) shows: each end of a segment keeps
// its own colour, and the lines add onto what is already on screen.
#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <gtest/gtest.h>

#include <vector>

#include "landscape/contour_landscape.h"
#include "tests/support/gl_feedback.h"
#include "tests/support/gl_fixture.h"

namespace {

const int kWidth = 160;
const int kHeight = 120;

// A flat camera: x, y in -100..100 straight onto the window, z from 1000 (near) to -1000.
void FlatCamera() {
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-100, 100, -100, 100, -1000, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The slot at n = 1 stands at depth 75; bring it back to z = 0, where the fog of
    // density 0.00035 takes nothing worth counting.
    glTranslatef(0.0f, 0.0f, -75.0f);
}

// The state the landscape must not rely on.
void OppositeState() {
    glDisable(GL_BLEND);
    glShadeModel(GL_FLAT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LINE_SMOOTH);
}

// A ring whose only drawn segment is `seg`, in the nearest slot (n = 1), that does not
// advance when drawn at x = 0.
struct OneSegmentRing {
    ContourLandscape ring;
    explicit OneSegmentRing(const SliceSegment& seg) { ring.slots[1]->Push(seg); }
};

SliceSegment Segment(float x0, float y0, Vec3 c0, float x1, float y1, Vec3 c1) {
    SliceSegment s;
    s.start.Set(x0, y0, 0.0f);
    s.end.Set(x1, y1, 0.0f);
    s.startColour = c0;
    s.endColour = c1;
    return s;
}

using LandscapeBlendShade = GlWindowTest<kWidth, kHeight>;

TEST_F(LandscapeBlendShade, EachEndOfASegmentKeepsItsOwnColour) {
    struct Case {
        Vec3 start, end;
    };
    const Case cases[] = {
        {{1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}},
        {{0.2f, 0.9f, 0.1f}, {0.6f, 0.3f, 0.8f}},
        {{0.0f, 0.0f, 0.0f}, {0.8f, 0.8f, 1.0f}},  // a star: dark at its near end
    };
    for (const Case& c : cases) {
        OneSegmentRing r(Segment(-50.0f, 0.0f, c.start, 50.0f, 0.0f, c.end));
        FlatCamera();
        OppositeState();
        std::vector<FedPrimitive> fed =
            RecordColouredFeedback([&] { r.ring.AdvanceAndDraw(0.0f); });
        ASSERT_EQ(0, r.ring.head) << "no advance";
        ASSERT_EQ(1u, fed.size());
        ASSERT_EQ(GL_LINE_TOKEN, fed[0].token);
        ASSERT_EQ(8u, fed[0].rgba.size());
        EXPECT_LT(fed[0].xy[0], fed[0].xy[2]) << "the start is drawn first";
        const float expected[8] = {c.start.x, c.start.y, c.start.z, 1.0f,
                                   c.end.x,   c.end.y,   c.end.z,   1.0f};
        for (int k = 0; k < 8; ++k)
            EXPECT_NEAR(expected[k], fed[0].rgba[(size_t)k], 1e-4) << "component " << k;
    }
}

// Halfway along a segment the colour is the mean of its ends (smooth shading; flat
// shading would give the end colour all along), added onto the background (blending
// with GL_SRC_ALPHA, GL_ONE; without blending the background would be gone).
TEST_F(LandscapeBlendShade, LinesAddSmoothlyShadedOntoThePictureBehindThem) {
    struct Case {
        float background;  // grey level already on screen
        Vec3 start, end;
    };
    const Case cases[] = {
        {0.25f, {0.5f, 0.0f, 0.0f}, {0.5f, 0.0f, 0.0f}},
        {0.5f, {0.0f, 0.25f, 0.25f}, {0.0f, 0.25f, 0.25f}},
        {0.0f, {0.6f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.6f}},
        {0.2f, {0.0f, 0.6f, 0.2f}, {0.4f, 0.0f, 0.2f}},
    };
    for (const Case& c : cases) {
        // A horizontal line across the whole window: its middle column is halfway.
        OneSegmentRing r(Segment(-100.0f, 0.0f, c.start, 100.0f, 0.0f, c.end));
        FlatCamera();
        glClearColor(c.background, c.background, c.background, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        OppositeState();
        r.ring.AdvanceAndDraw(0.0f);
        std::vector<unsigned char> rgba = window->ReadPixels();
        // The brightest pixel of the middle column is the line.
        int best = -1;
        size_t at = 0;
        for (int y = 0; y < kHeight; ++y) {
            const size_t i = ((size_t)y * kWidth + kWidth / 2) * 4;
            const int sum = rgba[i] + rgba[i + 1] + rgba[i + 2];
            if (sum > best) {
                best = sum;
                at = i;
            }
        }
        const float expected[3] = {c.background + 0.5f * (c.start.x + c.end.x),
                                   c.background + 0.5f * (c.start.y + c.end.y),
                                   c.background + 0.5f * (c.start.z + c.end.z)};
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(expected[k] * 255.0f, (float)rgba[at + (size_t)k], 4.0f)
                << "component " << k << " over background " << c.background;
    }
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

}  // namespace
