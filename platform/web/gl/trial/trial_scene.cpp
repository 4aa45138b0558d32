#include "platform/web/gl/trial/trial_scene.h"

#include <GL/glu.h>

#include <cmath>
#include <vector>

namespace {

const float kPi = 3.14159265f;

void Rings(float t, float fogDensity) {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_EXP2);
    const GLfloat fogColour[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glFogfv(GL_FOG_COLOR, fogColour);
    glFogf(GL_FOG_DENSITY, fogDensity);
    glHint(GL_FOG_HINT, GL_NICEST);
    glShadeModel(GL_SMOOTH);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
    for (int n = 0; n < 75; ++n) {
        const float depth = 60.0f * (float)n;
        glBegin(GL_LINES);
        for (int i = 0; i < 120; ++i) {
            const float a0 = 2.0f * kPi * (float)i / 120.0f + t;
            const float a1 = 2.0f * kPi * (float)(i + 1) / 120.0f + t;
            const float r = 250.0f + 40.0f * std::sin(3.0f * a0 + 0.1f * (float)n);
            glColor3f(0.5f + 0.5f * std::sin(a0), 0.4f, 0.5f + 0.5f * std::cos(a0));
            glVertex3f(r * std::cos(a0), r * std::sin(a0) - 120.0f, depth);
            glColor3f(0.5f + 0.5f * std::sin(a1), 0.4f, 0.5f + 0.5f * std::cos(a1));
            glVertex3f(r * std::cos(a1), r * std::sin(a1) - 120.0f, depth);
        }
        glEnd();
    }
    glShadeModel(GL_FLAT);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_FOG);
}

// An octahedron of flat-shaded triangles, filled and lit, then outlined.
void Octahedron(float x, float y, float z, float size, float t, float outlineWidth) {
    static const float v[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    static const int f[8][3] = {{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4},
                                {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}};
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    GLfloat m[16] = {0};
    const float c = std::cos(t), s = std::sin(t);
    m[0] = size * c, m[2] = -size * s, m[5] = size, m[8] = size * s, m[10] = size * c;
    m[12] = x, m[13] = y, m[14] = z, m[15] = 1;
    glLoadMatrixf(m);
    const float tint[3] = {0.35f, 0.25f, 0.7f};
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 0) {
            glEnable(GL_CULL_FACE);
            glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
            glEnable(GL_LIGHTING);
            glColor3f(tint[0], tint[1], tint[2]);
            glBlendFunc(GL_ONE, GL_ONE);
            glEnable(GL_BLEND);
        } else {
            glDisable(GL_CULL_FACE);
            glDisable(GL_DEPTH_TEST);
            glLineWidth(outlineWidth);
            glColor3f(tint[0], tint[1], tint[2]);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE);
            glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        }
        glBegin(GL_TRIANGLES);
        for (const auto& face : f) {
            const float* a = v[face[0]];
            const float* b = v[face[1]];
            const float* d = v[face[2]];
            glNormal3f((a[0] + b[0] + d[0]) / 3, (a[1] + b[1] + d[1]) / 3, (a[2] + b[2] + d[2]) / 3);
            glVertex3f(a[0], a[1], a[2]);
            glVertex3f(b[0], b[1], b[2]);
            glVertex3f(d[0], d[1], d[2]);
        }
        glEnd();
    }
    glDisable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glPopMatrix();
}

// Lit quads with a normal each: a cube face-on enough to show three shades.
void Cube(float x, float y, float z, float size) {
    static const float n[6][3] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(x, y, z);
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glColor3f(0.9f, 0.6f, 0.2f);
    glBegin(GL_QUADS);
    for (const auto& f : n) {
        // Two axes across the face, ordered so the face winds counter-clockwise from outside.
        float u[3] = {f[1] + f[2], f[2] + f[0], f[0] + f[1]};
        float w[3] = {f[1] * u[2] - f[2] * u[1], f[2] * u[0] - f[0] * u[2], f[0] * u[1] - f[1] * u[0]};
        glNormal3f(f[0], f[1], f[2]);
        const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (const auto& k : corners)
            glVertex3f(size * (f[0] + k[0] * u[0] + k[1] * w[0]), size * (f[1] + k[0] * u[1] + k[1] * w[1]),
                       size * (f[2] + k[0] * u[2] + k[1] * w[2]));
    }
    glEnd();
    glDisable(GL_LIGHTING);
    glPopMatrix();
}

void Flame(float x, float y, float z, float t) {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(x, y, z);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glLineWidth(5.0f);
    glBegin(GL_TRIANGLES);
    for (int k = 0; k < 4; ++k) {
        const float b = 0.3f + 0.2f * (float)k + 0.05f * std::sin(t);
        const float s = 1.0f - 0.2f * (float)k;
        glColor3f(0.4f * b, 0.3f * b, b);
        glVertex3f(-12 * s, 0, 0);
        glVertex3f(12 * s, 0, 0);
        glVertex3f(0, -45 * s, 0);
    }
    glEnd();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glLineWidth(1.0f);
    glEnable(GL_DEPTH_TEST);
    glPopMatrix();
}

void Hud(GLuint texture) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    // A bar: a wide dark line under a narrow bright one.
    glLineWidth(8.0f);
    glColor3f(0.4f, 0.4f, 0.4f);
    glBegin(GL_LINES);
    glVertex2f(-0.9f, 0.2f);
    glVertex2f(-0.9f, 0.9f);
    glEnd();
    glLineWidth(4.0f);
    glColor3f(0.7f, 0.7f, 0.7f);
    glBegin(GL_LINES);
    glVertex2f(-0.9f, 0.2f);
    glVertex2f(-0.9f, 0.9f);
    glEnd();
    glLineWidth(1.0f);
    glColor3f(0.7f, 1.0f, 0.5f);
    glBegin(GL_LINES);
    glVertex2f(-0.8f, 0.9f);
    glVertex2f(-0.3f, 0.7f);
    glEnd();
    // A glyph-like textured quad, its texture replacing the colour.
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor3f(1.0f, 0.0f, 0.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.3f, 0.9f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(0.9f, 0.9f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(0.9f, 0.4f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(0.3f, 0.4f);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

std::vector<unsigned char> g_picture;

}  // namespace

GLuint MakeTrialTexture() {
    const int size = 64;
    std::vector<unsigned char> rgba((size_t)size * size * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            unsigned char* p = &rgba[((size_t)y * size + x) * 4];
            const bool light = ((x / 8) + (y / 8)) % 2 == 0;
            p[0] = light ? 255 : 30;
            p[1] = light ? 220 : 30;
            p[2] = light ? 60 : 200;
            p[3] = (unsigned char)(255 * x / (size - 1));
        }
    }
    glEnable(GL_TEXTURE_2D);
    GLuint name = 0;
    glGenTextures(1, &name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, name);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, size, size, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glDisable(GL_TEXTURE_2D);
    return name;
}

void DrawTrialScene(int width, int height, float t, GLuint texture) {
    const int half = width / 2;
    glViewport(0, 0, half, height);
    glEnable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glDepthFunc(GL_LEQUAL);
    glCullFace(GL_FRONT);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(80.0, (double)half / (double)height, (double)0.3f, 6000.0);
    gluLookAt(0.0, 0.0, -150.0, 0.0, 0.0, 1.0, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat lightPosition[4] = {0.0f, 0.0f, 100.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glTranslatef(0.0f, 0.0f, -50.0f);
    Rings(t, 0.0009f);

    glClear(GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glShadeModel(GL_FLAT);
    Octahedron(-45.0f, 25.0f, 0.0f, 28.0f, t, 1.5f);
    Octahedron(45.0f, 25.0f, 0.0f, 28.0f, t + 0.5f, 5.0f);
    Cube(-40.0f, -50.0f, 40.0f, 18.0f);
    Flame(45.0f, -30.0f, 0.0f, t);
    // A wide line from before the camera to behind it, cut at the near plane.
    glLineWidth(6.0f);
    glColor3f(0.2f, 0.9f, 0.3f);
    glBegin(GL_LINES);
    glVertex3f(-12.0f, -12.0f, -120.0f);
    glVertex3f(60.0f, -12.0f, -400.0f);
    glEnd();
    glLineWidth(1.0f);
    Hud(texture);

    // The left half read back and drawn again beside itself, from identity matrices and a
    // raster position in the middle of the bottom edge.
    g_picture.assign((size_t)half * (size_t)height * 4, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, half, height, GL_RGBA, GL_UNSIGNED_BYTE, g_picture.data());
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glRasterPos2f(0.0f, -1.0f);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDrawPixels(half, height, GL_RGBA, GL_UNSIGNED_BYTE, g_picture.data());
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

void DrawLineLoad(int width, int height, float t) {
    glViewport(0, 0, width, height);
    // The game turns line smoothing on at start and never off.
    glEnable(GL_LINE_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(80.0, (double)width / (double)height, (double)0.3f, 6000.0);
    gluLookAt(0.0, 0.0, -150.0, 0.0, 0.0, 1.0, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -50.0f);
    Rings(t, 0.00035f);
}
