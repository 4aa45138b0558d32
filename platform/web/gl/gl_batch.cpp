#include "platform/web/gl/gl_batch.h"

#include <cmath>
#include <cstring>

namespace orvgl {

namespace {

int VerticesPerPrimitive(GLenum mode) {
    switch (mode) {
    case GL_LINES: return 2;
    case GL_TRIANGLES: return 3;
    case GL_QUADS: return 4;
    default: return 0;
    }
}

// GL's flat shading takes the colour (and, lit, the normal) of each primitive's last
// vertex; giving every vertex that colour and normal draws the same under any shading.
void Flatten(Vertex* p, int n) {
    const Vertex& last = p[n - 1];
    for (int i = 0; i < n - 1; ++i) {
        std::memcpy(p[i].colour, last.colour, sizeof(last.colour));
        std::memcpy(p[i].normal, last.normal, sizeof(last.normal));
    }
}

void AddWideSegment(const Vertex& a, const Vertex& b, std::vector<WideLineVertex>& out) {
    // Corners seen from a (towards b) on side +1 and -1; seen from b the direction turns
    // round, so b's corner on a's +1 side carries -1.
    const WideLineVertex aPlus{a, {b.position[0], b.position[1], b.position[2]}, 1.0f};
    const WideLineVertex aMinus{a, {b.position[0], b.position[1], b.position[2]}, -1.0f};
    const WideLineVertex bPlus{b, {a.position[0], a.position[1], a.position[2]}, -1.0f};
    const WideLineVertex bMinus{b, {a.position[0], a.position[1], a.position[2]}, 1.0f};
    out.push_back(aPlus);
    out.push_back(aMinus);
    out.push_back(bMinus);
    out.push_back(aPlus);
    out.push_back(bMinus);
    out.push_back(bPlus);
}

void AddSegment(const Vertex& a, const Vertex& b, bool wide, Batch& out) {
    if (wide) {
        AddWideSegment(a, b, out.wide);
    } else {
        out.vertices.push_back(a);
        out.vertices.push_back(b);
    }
}

}  // namespace

void BuildBatch(GLenum mode, const std::vector<Vertex>& in, const BatchRules& rules, Batch& out) {
    out.vertices.clear();
    out.wide.clear();
    const int per = VerticesPerPrimitive(mode);
    if (per == 0) return;
    const bool lines = mode == GL_LINES || rules.polygonLines;
    const bool wide = lines && IsWide(rules.lineWidth);
    out.kind = !lines ? DrawKind::Triangles : wide ? DrawKind::WideLines : DrawKind::Lines;

    const size_t whole = in.size() - in.size() % (size_t)per;
    Vertex p[4];
    for (size_t first = 0; first < whole; first += (size_t)per) {
        std::memcpy(p, &in[first], sizeof(Vertex) * (size_t)per);
        if (rules.flat) Flatten(p, per);
        if (mode == GL_LINES) {
            AddSegment(p[0], p[1], wide, out);
        } else if (lines) {
            // A polygon's outline: its edges in order, the closing one included; a quad's
            // diagonal is no edge of it.
            for (int i = 0; i < per; ++i) AddSegment(p[i], p[(i + 1) % per], wide, out);
        } else {
            out.vertices.push_back(p[0]);
            out.vertices.push_back(p[1]);
            out.vertices.push_back(p[2]);
            if (per == 4) {
                out.vertices.push_back(p[0]);
                out.vertices.push_back(p[2]);
                out.vertices.push_back(p[3]);
            }
        }
    }
}

void WideLineCornerInWindow(const float here[2], const float there[2], float side,
                            float halfWidth, float out[2]) {
    const float dx = there[0] - here[0];
    const float dy = there[1] - here[1];
    const float length = std::sqrt(dx * dx + dy * dy);
    float acrossX = 0.0f, acrossY = 0.0f;
    if (length > 0.0f) {
        acrossX = -dy / length;
        acrossY = dx / length;
    }
    out[0] = here[0] + acrossX * side * halfWidth;
    out[1] = here[1] + acrossY * side * halfWidth;
}

}  // namespace orvgl
