// What one glBegin..glEnd becomes for the browser's GL: flat shading from each primitive's
// last vertex, quads split in two, outlined polygons as their edges, wide lines as quads.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "platform/web/gl/gl_batch.h"
#include "platform/web/gl/gl_context.h"

namespace {

using orvgl::Batch;
using orvgl::Context;
using orvgl::DrawKind;

// Vertex k sits at (k, 10k, 0) with colour (k, 0, 0, 1) and normal (0, k, 0): each output
// vertex tells which input it came from and whose colour and normal it took.
Batch Draw(GLenum mode, int count, GLenum shade, GLenum polygon, float width = 1.0f) {
    Context gl;
    gl.ShadeModel(shade);
    gl.PolygonMode(GL_FRONT_AND_BACK, polygon);
    gl.LineWidth(width);
    gl.Begin(mode);
    for (int k = 1; k <= count; ++k) {
        gl.Color4f((float)k, 0.0f, 0.0f, 1.0f);
        gl.Normal3f(0.0f, (float)k, 0.0f);
        gl.Vertex3f((float)k, 10.0f * (float)k, 0.0f);
    }
    Batch b;
    EXPECT_TRUE(gl.End(b));
    return b;
}

int Source(const orvgl::Vertex& v) { return (int)v.position[0]; }
int ColourOf(const orvgl::Vertex& v) { return (int)v.colour[0]; }
int NormalOf(const orvgl::Vertex& v) { return (int)v.normal[1]; }

struct ShadingCase {
    const char* name;
    GLenum mode;
    int count;      // vertices given (an incomplete last primitive included where it shows)
    GLenum polygon;
    DrawKind kind;
    std::vector<int> sources;  // input vertex of each output vertex
    int perPrimitive;          // input vertices per primitive, for the provoking vertex
};

const ShadingCase kShadingCases[] = {
    {"lines", GL_LINES, 5, GL_FILL, DrawKind::Lines, {1, 2, 3, 4}, 2},
    {"triangles", GL_TRIANGLES, 7, GL_FILL, DrawKind::Triangles, {1, 2, 3, 4, 5, 6}, 3},
    {"quads", GL_QUADS, 8, GL_FILL, DrawKind::Triangles, {1, 2, 3, 1, 3, 4, 5, 6, 7, 5, 7, 8}, 4},
    {"outlined triangle", GL_TRIANGLES, 3, GL_LINE, DrawKind::Lines, {1, 2, 2, 3, 3, 1}, 3},
    // Four edges and no diagonal.
    {"outlined quad", GL_QUADS, 4, GL_LINE, DrawKind::Lines, {1, 2, 2, 3, 3, 4, 4, 1}, 4},
};

TEST(WebGlBatch, SmoothKeepsEachVertexAndFlatGivesThePrimitivesLastVertexColourAndNormal) {
    for (const ShadingCase& c : kShadingCases) {
        SCOPED_TRACE(c.name);
        for (GLenum shade : {GL_SMOOTH, GL_FLAT}) {
            SCOPED_TRACE(shade == GL_FLAT ? "flat" : "smooth");
            const Batch b = Draw(c.mode, c.count, shade, c.polygon);
            EXPECT_EQ(b.kind, c.kind);
            ASSERT_EQ(b.vertices.size(), c.sources.size());
            for (size_t i = 0; i < b.vertices.size(); ++i) {
                const int source = c.sources[i];
                const int provoking = ((source - 1) / c.perPrimitive + 1) * c.perPrimitive;
                const int expected = shade == GL_FLAT ? provoking : source;
                EXPECT_EQ(Source(b.vertices[i]), source) << "vertex " << i;
                EXPECT_EQ(ColourOf(b.vertices[i]), expected) << "vertex " << i;
                EXPECT_EQ(NormalOf(b.vertices[i]), expected) << "vertex " << i;
            }
        }
    }
}

// The two triangles of a wide line's quad, in window pixels, through the shader's own
// corner arithmetic, for a segment whose ends are already in window coordinates.
std::vector<std::pair<float, float>> WindowCorners(const Batch& b, float halfWidth) {
    std::vector<std::pair<float, float>> out;
    for (const orvgl::WideLineVertex& w : b.wide) {
        const float here[2] = {w.v.position[0], w.v.position[1]};
        const float there[2] = {w.other[0], w.other[1]};
        float at[2];
        orvgl::WideLineCornerInWindow(here, there, w.side, halfWidth, at);
        out.push_back({at[0], at[1]});
    }
    return out;
}

float TriangleArea(std::pair<float, float> a, std::pair<float, float> b, std::pair<float, float> c) {
    return 0.5f * std::fabs((b.first - a.first) * (c.second - a.second) -
                            (c.first - a.first) * (b.second - a.second));
}

struct WideCase {
    const char* name;
    float from[2], to[2];
    float width;
    std::set<std::pair<float, float>> corners;
};

const WideCase kWideCases[] = {
    {"hud bar, upwards", {100, 20}, {100, 220}, 8.0f, {{96, 20}, {104, 20}, {96, 220}, {104, 220}}},
    {"leftwards", {300, 50}, {200, 50}, 5.0f, {{300, 47.5f}, {300, 52.5f}, {200, 47.5f}, {200, 52.5f}}},
    {"diagonal", {0, 0}, {30, 40}, 10.0f, {{4, -3}, {-4, 3}, {34, 37}, {26, 43}}},
};

TEST(WebGlWideLines, EachSegmentIsTheRectangleOfItsWidthAroundIt) {
    for (const WideCase& c : kWideCases) {
        SCOPED_TRACE(c.name);
        Context gl;
        gl.LineWidth(c.width);
        gl.Begin(GL_LINES);
        gl.Vertex3f(c.from[0], c.from[1], 0.0f);
        gl.Vertex3f(c.to[0], c.to[1], 0.0f);
        Batch b;
        gl.End(b);
        ASSERT_EQ(b.kind, DrawKind::WideLines);
        ASSERT_EQ(b.wide.size(), 6u);
        const auto at = WindowCorners(b, c.width * 0.5f);
        std::set<std::pair<float, float>> corners;
        for (const auto& p : at) corners.insert({std::round(p.first * 4) / 4, std::round(p.second * 4) / 4});
        EXPECT_EQ(corners, c.corners);
        // Two triangles that together cover the rectangle, not overlap on half of it.
        const float length = std::hypot(c.to[0] - c.from[0], c.to[1] - c.from[1]);
        EXPECT_NEAR(TriangleArea(at[0], at[1], at[2]) + TriangleArea(at[3], at[4], at[5]),
                    length * c.width, 1e-3f * length * c.width);
    }
}

TEST(WebGlWideLines, OnlyLinesWiderThanAPixelAndOutlinesTooBecomeQuads) {
    EXPECT_EQ(Draw(GL_LINES, 2, GL_FLAT, GL_FILL, 1.0f).kind, DrawKind::Lines);
    EXPECT_EQ(Draw(GL_TRIANGLES, 3, GL_FLAT, GL_FILL, 5.0f).kind, DrawKind::Triangles);
    const Batch outline = Draw(GL_QUADS, 4, GL_FLAT, GL_LINE, 1.5f);
    EXPECT_EQ(outline.kind, DrawKind::WideLines);
    // Four edges, each its own quad, each carrying the quad's flat colour.
    ASSERT_EQ(outline.wide.size(), 24u);
    for (const orvgl::WideLineVertex& w : outline.wide) EXPECT_EQ(ColourOf(w.v), 4);
}

}  // namespace
