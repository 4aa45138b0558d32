// glBegin..glEnd: vertices gathered with the current colour, normal and texture coordinate,
// and turned into one batch at glEnd by the shading and polygon rules then in force.
#include "platform/web/gl/gl_context.h"

#include <cstring>

namespace orvgl {

void Context::Begin(GLenum mode) {
    if (Refused("glBegin")) return;
    if (mode != GL_LINES && mode != GL_TRIANGLES && mode != GL_QUADS)
        NoteIgnored("glBegin", mode);
    // Even an unknown mode opens the pair, so that its glEnd does not find it unopened.
    inside_ = true;
    mode_ = mode;
    gathered_.clear();
}

void Context::Vertex3f(float x, float y, float z) {
    // Outside a pair a vertex has no effect in GL either.
    if (!inside_) return;
    Vertex v;
    v.position[0] = x;
    v.position[1] = y;
    v.position[2] = z;
    std::memcpy(v.colour, state_.colour, sizeof(v.colour));
    std::memcpy(v.normal, state_.normal, sizeof(v.normal));
    std::memcpy(v.texCoord, state_.texCoord, sizeof(v.texCoord));
    gathered_.push_back(v);
}

void Context::Color4f(float r, float g, float b, float a) {
    state_.colour[0] = r;
    state_.colour[1] = g;
    state_.colour[2] = b;
    state_.colour[3] = a;
}

void Context::Normal3f(float x, float y, float z) {
    state_.normal[0] = x;
    state_.normal[1] = y;
    state_.normal[2] = z;
}

void Context::TexCoord2f(float s, float t) {
    state_.texCoord[0] = s;
    state_.texCoord[1] = t;
}

bool Context::End(Batch& out) {
    if (!inside_) {
        NoteIgnored("glEnd", 0);
        return false;
    }
    inside_ = false;
    BatchRules rules;
    rules.flat = state_.shadeModel == GL_FLAT;
    rules.polygonLines = state_.polygonMode == GL_LINE;
    rules.lineWidth = state_.lineWidth;
    // GL would cull outlined polygons by their facing; the game turns culling off before
    // it outlines anything, so they are drawn whole here.
    if (rules.polygonLines && state_.enabled.cullFace && mode_ != GL_LINES)
        NoteIgnored("glEnd(outlines not culled)", mode_);
    BuildBatch(mode_, gathered_, rules, out);
    return true;
}

}  // namespace orvgl
