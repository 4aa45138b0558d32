// The browser's GL builds its projection and camera matrices as the desktop's GLU does: the
// same calls through the system's GL and GLU and through orvgl::Context leave the same
// matrices, to float rounding.
#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>

#include "platform/web/gl/gl_context.h"
#include "tests/support/gl_test_window.h"

namespace {

struct MatrixCase {
    const char* name;
    float translate[3];  // applied before the projection, to show the multiplication order
    double perspective[4];
    double lookAt[9];
};

// The game's three projections, with cameras like its own (one looking straight down the
// axis, one from an odd place with a tilted view) and one degenerate case GLU refuses.
const MatrixCase kCases[] = {
    {"icons", {0, 0, 0}, {20.0, (double)1.33f, (double)0.3f, 6000.0}, {0, 0, -150, 0, 0, 1, 0, 1, 0}},
    {"flight", {0, 0, 0}, {80.0, (double)1.33f, (double)0.3f, 6000.0},
     {(double)12.5f, (double)-40.25f, (double)310.0f, 12.5 + (double)0.3f, -40.25 + (double)0.1f,
      310.0 + (double)0.95f, 0, 1, 0}},
    {"display", {3.0f, -2.0f, 7.5f}, {90.0, 640.0 / 480.0, 0.5, 900.0},
     {1, 2, 3, -4, 5, -6, 0.2, 1, 0.1}},
    {"no depth", {0, 0, 0}, {60.0, 1.0, 5.0, 5.0}, {0, 0, 0, 0, 0, -1, 0, 1, 0}},
};

void ExpectSameMatrix(const float* expected, const float* actual, const char* what) {
    for (int i = 0; i < 16; ++i) {
        const float tolerance = 1e-6f * std::fmax(1.0f, std::fabs(expected[i]));
        EXPECT_NEAR(actual[i], expected[i], tolerance) << what << " element " << i;
    }
}

TEST(WebGlGluMatrices, PerspectiveAndLookAtMatchTheSystemGlu) {
    GlTestWindow window(64, 48);
    if (!window.Ok()) GTEST_SKIP() << "no display";
    for (const MatrixCase& c : kCases) {
        SCOPED_TRACE(c.name);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glTranslatef(c.translate[0], c.translate[1], c.translate[2]);
        gluPerspective(c.perspective[0], c.perspective[1], c.perspective[2], c.perspective[3]);
        float afterPerspective[16];
        glGetFloatv(GL_PROJECTION_MATRIX, afterPerspective);
        const double* l = c.lookAt;
        gluLookAt(l[0], l[1], l[2], l[3], l[4], l[5], l[6], l[7], l[8]);
        float afterLookAt[16];
        glGetFloatv(GL_PROJECTION_MATRIX, afterLookAt);

        orvgl::Context ours;
        ours.MatrixMode(GL_PROJECTION);
        ours.Translatef(c.translate[0], c.translate[1], c.translate[2]);
        ours.Perspective(c.perspective[0], c.perspective[1], c.perspective[2], c.perspective[3]);
        ExpectSameMatrix(afterPerspective, ours.Projection().m, "gluPerspective");
        ours.LookAt(l[0], l[1], l[2], l[3], l[4], l[5], l[6], l[7], l[8]);
        ExpectSameMatrix(afterLookAt, ours.Projection().m, "gluLookAt");
        // The modelview was not the matrix in use.
        ExpectSameMatrix(orvgl::Mat4::Identity().m, ours.Modelview().m, "modelview");
    }
    glLoadIdentity();
}

}  // namespace
