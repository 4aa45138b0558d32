// One glBegin..glEnd turned into arrays a shader-only GL draws with one call: quads split
// into triangles, flat shading spread from the provoking vertex, line-mode polygons into
// their edges, and lines wider than a pixel into screen-space quads.
#pragma once

#include <GL/gl.h>

#include <vector>

namespace orvgl {

// What glVertex captured: the position and the current colour, normal and texture
// coordinate at that moment.
struct Vertex {
    float position[3];
    float colour[4];
    float normal[3];
    float texCoord[2];
};

// A corner of a wide line's quad: the vertex shader moves `v` across the segment towards
// `other`'s screen direction by `side` times half the width, in pixels.
struct WideLineVertex {
    Vertex v;
    float other[3];
    float side;
};

enum class DrawKind { Triangles, Lines, WideLines };

struct Batch {
    DrawKind kind = DrawKind::Triangles;
    std::vector<Vertex> vertices;       // Triangles and Lines
    std::vector<WideLineVertex> wide;   // WideLines (drawn as triangles)
    bool Empty() const { return vertices.empty() && wide.empty(); }
};

struct BatchRules {
    bool flat = false;           // glShadeModel(GL_FLAT)
    bool polygonLines = false;   // glPolygonMode(GL_FRONT_AND_BACK, GL_LINE)
    float lineWidth = 1.0f;
};

// Lines at most this wide are drawn as the browser's own one-pixel lines.
inline bool IsWide(float lineWidth) { return lineWidth > 1.0f; }

// `mode` is GL_LINES, GL_TRIANGLES or GL_QUADS; a trailing incomplete primitive is
// dropped, as GL drops it. `out` keeps its arrays' storage from batch to batch.
void BuildBatch(GLenum mode, const std::vector<Vertex>& in, const BatchRules& rules, Batch& out);

// Where the vertex shader puts a wide line's corner, for a corner whose own and other
// end are already in window coordinates (pixels): the same arithmetic as the shader's.
void WideLineCornerInWindow(const float here[2], const float there[2], float side,
                            float halfWidth, float out[2]);

}  // namespace orvgl
