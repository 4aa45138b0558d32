// The browser's GL state machine: glPushAttrib/glPopAttrib, the light fixed at glLightfv
// time, the raster position, normals' matrix, and calls it does not handle left visibly
// alone.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/web/gl/gl_context.h"

namespace {

using orvgl::AttribState;
using orvgl::Context;

struct Field {
    const char* name;
    std::function<float(const AttribState&)> read;
};

// One reading per group of state glPushAttrib(GL_ALL_ATTRIB_BITS) saves.
const std::vector<Field>& Fields() {
    static const std::vector<Field> fields = {
        {"lighting", [](const AttribState& s) { return (float)s.enabled.lighting; }},
        {"light0", [](const AttribState& s) { return (float)s.enabled.light0; }},
        {"fog", [](const AttribState& s) { return (float)s.enabled.fog; }},
        {"blend", [](const AttribState& s) { return (float)s.enabled.blend; }},
        {"depth test", [](const AttribState& s) { return (float)s.enabled.depthTest; }},
        {"cull face", [](const AttribState& s) { return (float)s.enabled.cullFace; }},
        {"texture", [](const AttribState& s) { return (float)s.enabled.texture2D; }},
        {"blend dst", [](const AttribState& s) { return (float)s.blendDst; }},
        {"line width", [](const AttribState& s) { return s.lineWidth; }},
        {"polygon mode", [](const AttribState& s) { return (float)s.polygonMode; }},
        {"shade model", [](const AttribState& s) { return (float)s.shadeModel; }},
        {"fog density", [](const AttribState& s) { return s.fog.density; }},
        {"fog mode", [](const AttribState& s) { return (float)s.fog.mode; }},
        {"clear red", [](const AttribState& s) { return s.clearColour[0]; }},
        {"viewport width", [](const AttribState& s) { return (float)s.viewport[2]; }},
        {"texture bound", [](const AttribState& s) { return (float)s.boundTexture; }},
        {"matrix mode", [](const AttribState& s) { return (float)s.matrixMode; }},
        {"colour", [](const AttribState& s) { return s.colour[1]; }},
        {"light x", [](const AttribState& s) { return s.lightPosition[0]; }},
        {"raster x", [](const AttribState& s) { return s.raster.x; }},
    };
    return fields;
}

// Sets every field of Fields() to a value that depends on `k`.
void SetAll(Context& gl, int k) {
    const bool on = k % 2 == 1;
    for (GLenum cap : {GL_LIGHTING, GL_LIGHT0, GL_FOG, GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE,
                       GL_TEXTURE_2D})
        gl.Enable(cap, on);
    gl.BlendFunc(GL_SRC_ALPHA, on ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
    gl.LineWidth(1.5f * (float)k);
    gl.PolygonMode(GL_FRONT_AND_BACK, on ? GL_LINE : GL_FILL);
    gl.ShadeModel(on ? GL_FLAT : GL_SMOOTH);
    gl.Fogf(GL_FOG_DENSITY, 0.001f * (float)k);
    gl.Fogi(GL_FOG_MODE, on ? GL_EXP2 : GL_LINEAR);
    gl.ClearColor(0.1f * (float)k, 0, 0, 1);
    gl.Viewport(0, 0, 100 * k, 50);
    gl.BindTexture(GL_TEXTURE_2D, (GLuint)(3 + k));
    gl.Color4f(0, 0.25f * (float)k, 0, 1);
    gl.MatrixMode(GL_MODELVIEW);
    gl.LoadIdentity();
    const float light[4] = {(float)k, 0, 1, 0};
    gl.Lightfv(GL_LIGHT0, GL_POSITION, light);
    gl.RasterPos2f(0.1f * (float)k, 0);
    gl.MatrixMode(on ? GL_PROJECTION : GL_MODELVIEW);
}

TEST(WebGlState, PopAttribBringsBackEveryGroupButNotTheMatrices) {
    Context gl;
    SetAll(gl, 1);
    const AttribState before = gl.State();
    gl.PushAttrib(GL_ALL_ATTRIB_BITS);
    SetAll(gl, 2);
    gl.MatrixMode(GL_MODELVIEW);
    gl.Translatef(5, 6, 7);
    for (const Field& f : Fields()) EXPECT_NE(f.read(gl.State()), f.read(before)) << f.name;
    gl.PopAttrib();
    for (const Field& f : Fields()) EXPECT_EQ(f.read(gl.State()), f.read(before)) << f.name;
    EXPECT_EQ(gl.Modelview().m[12], 5.0f);
}

TEST(WebGlState, TheLightStaysWhereTheModelviewOfItsCallPutIt) {
    Context gl;
    gl.MatrixMode(GL_MODELVIEW);
    gl.Translatef(0, 0, -50);
    const float direction[4] = {0, 0, 100, 0};
    const float point[4] = {1, 2, 3, 1};
    gl.Lightfv(GL_LIGHT0, GL_POSITION, point);
    EXPECT_EQ(gl.State().lightPosition[2], -47.0f);
    gl.Lightfv(GL_LIGHT0, GL_POSITION, direction);
    gl.LoadIdentity();
    gl.Translatef(9, 9, 9);
    // A direction is not moved, and later matrices change nothing.
    EXPECT_EQ(gl.State().lightPosition[0], 0.0f);
    EXPECT_EQ(gl.State().lightPosition[2], 100.0f);
    EXPECT_EQ(gl.State().lightPosition[3], 0.0f);
}

TEST(WebGlState, NormalsTurnWithTheModelviewAndGrowAsItShrinks) {
    // The ship's matrix: a uniform scale of 0.15 with a quarter turn about z.
    orvgl::Mat4 m = orvgl::Mat4::Identity();
    m.m[0] = 0.0f, m.m[1] = 0.15f, m.m[4] = -0.15f, m.m[5] = 0.0f, m.m[10] = 0.15f;
    m.m[12] = 40.0f;
    float n[9];
    orvgl::NormalMatrix(m, n);
    const float expected[9] = {0, 1 / 0.15f, 0, -1 / 0.15f, 0, 0, 0, 0, 1 / 0.15f};
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(n[i], expected[i], 1e-4f) << i;
}

struct RasterCase {
    const char* name;
    int viewport[4];
    float x, y;
    bool valid;
    float windowX, windowY;
};

const RasterCase kRasterCases[] = {
    {"results picture corner", {0, 0, 640, 480}, -1.0f, -1.0f, true, 0.0f, 0.0f},
    {"centre of an offset view", {10, 20, 200, 100}, 0.0f, 0.0f, true, 110.0f, 70.0f},
    {"outside the view", {0, 0, 640, 480}, -1.5f, 0.0f, false, 0.0f, 0.0f},
};

TEST(WebGlState, RasterPositionIsTheWindowPointOfItsVertexOrInvalid) {
    for (const RasterCase& c : kRasterCases) {
        SCOPED_TRACE(c.name);
        Context gl;
        gl.Viewport(c.viewport[0], c.viewport[1], c.viewport[2], c.viewport[3]);
        gl.RasterPos2f(c.x, c.y);
        EXPECT_EQ(gl.State().raster.valid, c.valid);
        if (!c.valid) continue;
        EXPECT_FLOAT_EQ(gl.State().raster.x, c.windowX);
        EXPECT_FLOAT_EQ(gl.State().raster.y, c.windowY);
        EXPECT_FLOAT_EQ(gl.State().raster.z, 0.5f);
    }
}

struct IgnoredCase {
    const char* name;
    std::function<void(Context&)> call;
    const char* logged;
};

const IgnoredCase kIgnoredCases[] = {
    {"unknown capability", [](Context& gl) { gl.Enable(GL_NORMALIZE, true); }, "ignored glEnable(0x0BA1)"},
    {"front-only outline", [](Context& gl) { gl.PolygonMode(GL_FRONT, GL_LINE); }, "ignored glPolygonMode(0x0404)"},
    {"point mode", [](Context& gl) { gl.PolygonMode(GL_FRONT_AND_BACK, GL_POINT); }, "ignored glPolygonMode(0x1B00)"},
    {"unknown fog mode", [](Context& gl) { gl.Fogi(GL_FOG_MODE, GL_ZERO); }, "ignored glFogi(0x0000)"},
    {"second light", [](Context& gl) { const float p[4] = {1, 2, 3, 4}; gl.Lightfv(GL_LIGHT1, GL_POSITION, p); }, "ignored glLightfv(0x4001)"},
    {"decal", [](Context& gl) { gl.TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL); }, "ignored glTexEnvi(0x2101)"},
    {"texture matrix", [](Context& gl) { gl.MatrixMode(GL_TEXTURE); gl.Translatef(1, 1, 1); }, "ignored glMatrixMode(0x1702)"},
    {"state change inside glBegin", [](Context& gl) { gl.Begin(GL_LINES); gl.Enable(GL_BLEND, true); orvgl::Batch b; gl.End(b); }, "ignored glEnable(0x0001)"},
    {"popping an empty stack", [](Context& gl) { gl.PopMatrix(); }, "ignored glPopMatrix(0x0504)"},
};

TEST(WebGlState, CallsItDoesNotHandleAreLoggedOnceAndChangeNothing) {
    for (const IgnoredCase& c : kIgnoredCases) {
        SCOPED_TRACE(c.name);
        Context gl;
        std::vector<std::string> log;
        gl.SetLog([&log](const std::string& line) { log.push_back(line); });
        const AttribState before = gl.State();
        const orvgl::Mat4 modelview = gl.Modelview();
        c.call(gl);
        c.call(gl);
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0], c.logged);
        for (const Field& f : Fields()) {
            if (std::string(f.name) == "matrix mode" && std::string(c.name) == "texture matrix") continue;
            EXPECT_EQ(f.read(gl.State()), f.read(before)) << f.name;
        }
        EXPECT_EQ(gl.State().lightPosition[3], before.lightPosition[3]);
        EXPECT_EQ(gl.State().texEnvMode, before.texEnvMode);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(gl.Modelview().m[i], modelview.m[i]);
    }
}

}  // namespace
