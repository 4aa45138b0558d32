#include "platform/web/gl/gl_context.h"

#include <cstdio>
#include <cstring>

namespace orvgl {

namespace {

// GL's own minimum; the game pushes once.
const size_t kAttribDepth = 16;

bool* EnableFlag(Enables& e, GLenum cap) {
    switch (cap) {
    case GL_LIGHTING: return &e.lighting;
    case GL_LIGHT0: return &e.light0;
    case GL_COLOR_MATERIAL: return &e.colorMaterial;
    case GL_FOG: return &e.fog;
    case GL_BLEND: return &e.blend;
    case GL_DEPTH_TEST: return &e.depthTest;
    case GL_CULL_FACE: return &e.cullFace;
    case GL_TEXTURE_2D: return &e.texture2D;
    case GL_LINE_SMOOTH: return &e.lineSmooth;
    default: return nullptr;
    }
}

bool IsBlendFactor(GLenum f) {
    switch (f) {
    case GL_ZERO: case GL_ONE: case GL_SRC_COLOR: case GL_ONE_MINUS_SRC_COLOR:
    case GL_DST_COLOR: case GL_ONE_MINUS_DST_COLOR: case GL_SRC_ALPHA:
    case GL_ONE_MINUS_SRC_ALPHA: case GL_DST_ALPHA: case GL_ONE_MINUS_DST_ALPHA:
    case GL_SRC_ALPHA_SATURATE: return true;
    default: return false;
    }
}

bool IsDepthFunc(GLenum f) { return f >= GL_NEVER && f <= GL_ALWAYS; }

}  // namespace

Context::Context() {
    log_ = [](const std::string& line) { std::fprintf(stderr, "gl: %s\n", line.c_str()); };
    Reset(0, 0);
}

void Context::Reset(int width, int height) {
    state_ = AttribState();
    state_.viewport[2] = width;
    state_.viewport[3] = height;
    attribStack_.clear();
    modelview_.assign(1, Mat4::Identity());
    projection_.assign(1, Mat4::Identity());
    texture_.assign(1, Mat4::Identity());
    inside_ = false;
    gathered_.clear();
}

void Context::NoteIgnored(const char* call, unsigned value) {
    if (!noted_.insert({call, value}).second) return;
    char line[96];
    std::snprintf(line, sizeof(line), "ignored %s(0x%04X)", call, value);
    if (log_) log_(line);
}

bool Context::Refused(const char* call) {
    if (!inside_) return false;
    NoteIgnored(call, mode_);
    return true;
}

void Context::Enable(GLenum cap, bool on) {
    if (Refused(on ? "glEnable" : "glDisable")) return;
    bool* flag = EnableFlag(state_.enabled, cap);
    if (flag == nullptr) return NoteIgnored(on ? "glEnable" : "glDisable", cap);
    *flag = on;
}

void Context::BlendFunc(GLenum src, GLenum dst) {
    if (Refused("glBlendFunc")) return;
    // Saturation is a source factor only.
    if (!IsBlendFactor(src) || !IsBlendFactor(dst) || dst == GL_SRC_ALPHA_SATURATE)
        return NoteIgnored("glBlendFunc", IsBlendFactor(src) ? dst : src);
    state_.blendSrc = src;
    state_.blendDst = dst;
}

void Context::LineWidth(float width) {
    if (Refused("glLineWidth")) return;
    if (!(width > 0.0f)) return NoteIgnored("glLineWidth", 0);
    state_.lineWidth = width;
}

void Context::PolygonMode(GLenum face, GLenum mode) {
    if (Refused("glPolygonMode")) return;
    if (face != GL_FRONT_AND_BACK) return NoteIgnored("glPolygonMode", face);
    if (mode != GL_FILL && mode != GL_LINE) return NoteIgnored("glPolygonMode", mode);
    state_.polygonMode = mode;
}

void Context::ShadeModel(GLenum mode) {
    if (Refused("glShadeModel")) return;
    if (mode != GL_FLAT && mode != GL_SMOOTH) return NoteIgnored("glShadeModel", mode);
    state_.shadeModel = mode;
}

void Context::CullFace(GLenum mode) {
    if (Refused("glCullFace")) return;
    if (mode != GL_FRONT && mode != GL_BACK && mode != GL_FRONT_AND_BACK)
        return NoteIgnored("glCullFace", mode);
    state_.cullFaceMode = mode;
}

void Context::DepthFunc(GLenum func) {
    if (Refused("glDepthFunc")) return;
    if (!IsDepthFunc(func)) return NoteIgnored("glDepthFunc", func);
    state_.depthFunc = func;
}

void Context::Hint(GLenum target, GLenum mode) {
    if (Refused("glHint")) return;
    if (mode != GL_FASTEST && mode != GL_NICEST && mode != GL_DONT_CARE)
        return NoteIgnored("glHint", mode);
    // Both only choose how carefully GL works; the browser's way is the careful one.
    if (target == GL_LINE_SMOOTH_HINT) state_.lineSmoothHint = mode;
    else if (target == GL_FOG_HINT) state_.fogHint = mode;
    else NoteIgnored("glHint", target);
}

void Context::Lightfv(GLenum light, GLenum pname, const float* params) {
    if (Refused("glLightfv")) return;
    if (light != GL_LIGHT0) return NoteIgnored("glLightfv", light);
    if (pname != GL_POSITION) return NoteIgnored("glLightfv", pname);
    // Fixed in eye space by the modelview of this moment, whatever follows.
    Transform(Modelview(), params, state_.lightPosition);
}

void Context::Fogi(GLenum pname, GLint param) {
    if (Refused("glFogi")) return;
    if (pname == GL_FOG_MODE) {
        const GLenum mode = (GLenum)param;
        if (mode != GL_LINEAR && mode != GL_EXP && mode != GL_EXP2)
            return NoteIgnored("glFogi", mode);
        state_.fog.mode = mode;
        return;
    }
    Fogf(pname, (float)param);
}

void Context::Fogf(GLenum pname, float param) {
    if (Refused("glFogf")) return;
    switch (pname) {
    case GL_FOG_DENSITY:
        if (param < 0.0f) return NoteIgnored("glFogf", pname);
        state_.fog.density = param;
        return;
    case GL_FOG_START: state_.fog.start = param; return;
    case GL_FOG_END: state_.fog.end = param; return;
    case GL_FOG_MODE: Fogi(pname, (GLint)param); return;
    default: NoteIgnored("glFogf", pname);
    }
}

void Context::Fogfv(GLenum pname, const float* params) {
    if (Refused("glFogfv")) return;
    if (pname == GL_FOG_COLOR) {
        for (int i = 0; i < 4; ++i) {
            const float c = params[i];
            state_.fog.colour[i] = c < 0.0f ? 0.0f : c > 1.0f ? 1.0f : c;
        }
        return;
    }
    Fogf(pname, params[0]);
}

void Context::ClearColor(float r, float g, float b, float a) {
    if (Refused("glClearColor")) return;
    const float c[4] = {r, g, b, a};
    for (int i = 0; i < 4; ++i) state_.clearColour[i] = c[i] < 0.0f ? 0.0f : c[i] > 1.0f ? 1.0f : c[i];
}

void Context::Viewport(int x, int y, int width, int height) {
    if (Refused("glViewport")) return;
    if (width < 0 || height < 0) return NoteIgnored("glViewport", 0);
    state_.viewport[0] = x;
    state_.viewport[1] = y;
    state_.viewport[2] = width;
    state_.viewport[3] = height;
}

void Context::BindTexture(GLenum target, GLuint texture) {
    if (Refused("glBindTexture")) return;
    if (target != GL_TEXTURE_2D) return NoteIgnored("glBindTexture", target);
    state_.boundTexture = texture;
}

void Context::TextureDeleted(GLuint texture) {
    // Deleting the bound texture binds the default one in its place.
    if (texture != 0 && state_.boundTexture == texture) state_.boundTexture = 0;
}

void Context::TexEnvi(GLenum target, GLenum pname, GLint param) {
    if (Refused("glTexEnvi")) return;
    if (target != GL_TEXTURE_ENV) return NoteIgnored("glTexEnvi", target);
    if (pname != GL_TEXTURE_ENV_MODE) return NoteIgnored("glTexEnvi", pname);
    if (param != GL_REPLACE && param != GL_MODULATE) return NoteIgnored("glTexEnvi", (GLenum)param);
    state_.texEnvMode = (GLenum)param;
}

void Context::PushAttrib(GLbitfield mask) {
    if (Refused("glPushAttrib")) return;
    // Any other mask is saved whole as well, so that its glPopAttrib still pairs with it.
    if (mask != GL_ALL_ATTRIB_BITS) NoteIgnored("glPushAttrib", mask);
    if (attribStack_.size() >= kAttribDepth) return NoteIgnored("glPushAttrib", GL_STACK_OVERFLOW);
    attribStack_.push_back(state_);
}

void Context::PopAttrib() {
    if (Refused("glPopAttrib")) return;
    if (attribStack_.empty()) return NoteIgnored("glPopAttrib", GL_STACK_UNDERFLOW);
    state_ = attribStack_.back();
    attribStack_.pop_back();
}

void Context::RasterPos2f(float x, float y) {
    if (Refused("glRasterPos2f")) return;
    const float object[4] = {x, y, 0.0f, 1.0f};
    float eye[4], clip[4];
    Transform(Modelview(), object, eye);
    Transform(Projection(), eye, clip);
    RasterPosition& r = state_.raster;
    const float w = clip[3];
    r.valid = w > 0.0f;
    for (int i = 0; i < 3 && r.valid; ++i) r.valid = clip[i] >= -w && clip[i] <= w;
    if (!r.valid) return;
    const int* v = state_.viewport;
    r.x = (float)v[0] + (clip[0] / w + 1.0f) * 0.5f * (float)v[2];
    r.y = (float)v[1] + (clip[1] / w + 1.0f) * 0.5f * (float)v[3];
    r.z = (clip[2] / w + 1.0f) * 0.5f;
}

}  // namespace orvgl
