// GoogleTest fixtures for rendering tests: one real GL window of W x H shared by all the
// tests of a suite (made once: contexts are slow to make), skipped without a display, and
// no GL error left behind by any test.
#pragma once

#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "tests/support/gl_test_window.h"

template <int W, int H>
class GlWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { window = new GlTestWindow(W, H); }
    static void TearDownTestSuite() {
        delete window;
        window = nullptr;
    }
    void SetUp() override {
        if (!window->Ok()) GTEST_SKIP() << "no display";
        glGetError();
    }
    void TearDown() override {
        if (!window->Ok()) return;
        EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());
    }
    static GlTestWindow* window;
};

template <int W, int H>
GlTestWindow* GlWindowTest<W, H>::window = nullptr;

// Light 0 gives half of the current colour whatever the normal (colour material on, no
// diffuse, specular or global ambient light), so a fed-back colour shows both the colour
// that was set and that lighting was on.
inline void UseHalfColourLight() {
    const GLfloat half[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat none[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, half);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, none);
    glLightfv(GL_LIGHT0, GL_SPECULAR, none);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glEnable(GL_LIGHT0);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
}
