#include <emscripten/html5.h>

#include <cstddef>
#include <cstring>
#include <unordered_set>

#include "platform/web/gl/webgl/webgl_api.h"
#include "platform/web/gl/webgl/webgl_device.h"
#include "platform/web/gl/webgl/webgl_programs.h"
#include "platform/web/gl/webgl_context.h"

namespace orvgl {

namespace {

// What WebGL was last told, so that a batch changes only what differs. Unknown (-1 or
// out-of-range values) after a context change.
struct DeviceState {
    int blend = -1, depthTest = -1, cullFace = -1;
    GLenum blendSrc = 0, blendDst = 0, depthFunc = 0, cullFaceMode = 0;
    int viewport[4] = {-1, -1, -1, -1};
    GLuint program = 0xFFFFFFFFu;
    GLuint texture = 0xFFFFFFFFu;
    unsigned arrays = 0;  // enabled attribute slots
    float clearColour[4] = {-1, -1, -1, -1};
};

// Batches go round a few buffers, so that a new upload need not wait for the draw that
// read the last one.
const int kRingSize = 4;

Context g_context;
bool g_started = false;
DeviceState g_device;
GLuint g_ring[kRingSize] = {0};
int g_next = 0;
GLuint g_pictureTexture = 0;
std::unordered_set<GLuint> g_withImage;

void SetCap(GLenum cap, bool on, int& known) {
    if (known == (int)on) return;
    known = on;
    if (on) emscripten_glEnable(cap);
    else emscripten_glDisable(cap);
}

void SyncFragmentState(const AttribState& s, bool cull) {
    SetCap(GL_BLEND, s.enabled.blend, g_device.blend);
    if (s.enabled.blend && (g_device.blendSrc != s.blendSrc || g_device.blendDst != s.blendDst)) {
        emscripten_glBlendFunc(s.blendSrc, s.blendDst);
        g_device.blendSrc = s.blendSrc;
        g_device.blendDst = s.blendDst;
    }
    SetCap(GL_DEPTH_TEST, s.enabled.depthTest, g_device.depthTest);
    if (s.enabled.depthTest && g_device.depthFunc != s.depthFunc) {
        emscripten_glDepthFunc(s.depthFunc);
        g_device.depthFunc = s.depthFunc;
    }
    SetCap(GL_CULL_FACE, cull, g_device.cullFace);
    if (cull && g_device.cullFaceMode != s.cullFaceMode) {
        emscripten_glCullFace(s.cullFaceMode);
        g_device.cullFaceMode = s.cullFaceMode;
    }
    if (std::memcmp(g_device.viewport, s.viewport, sizeof(s.viewport)) != 0) {
        emscripten_glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
        std::memcpy(g_device.viewport, s.viewport, sizeof(s.viewport));
    }
}

void BindTexture(GLuint texture) {
    if (g_device.texture == texture) return;
    emscripten_glBindTexture(GL_TEXTURE_2D, texture);
    g_device.texture = texture;
}

void UseProgram(GLuint id) {
    if (g_device.program == id) return;
    emscripten_glUseProgram(id);
    g_device.program = id;
}

void EnableArrays(unsigned wanted) {
    const unsigned change = wanted ^ g_device.arrays;
    for (GLuint slot = 0; slot < 6; ++slot) {
        if (!(change & (1u << slot))) continue;
        if (wanted & (1u << slot)) emscripten_glEnableVertexAttribArray(slot);
        else emscripten_glDisableVertexAttribArray(slot);
    }
    g_device.arrays = wanted;
}

void Upload(const void* data, size_t bytes) {
    if (g_ring[0] == 0) emscripten_glGenBuffers(kRingSize, g_ring);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, g_ring[g_next]);
    g_next = (g_next + 1) % kRingSize;
    emscripten_glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)bytes, data, GL_STREAM_DRAW);
}

void Pointer(GLuint slot, int size, size_t stride, size_t offset) {
    emscripten_glVertexAttribPointer(slot, size, GL_FLOAT, GL_FALSE, (GLsizei)stride,
                                     reinterpret_cast<const void*>(offset));
}

unsigned FogBits(const AttribState& s) {
    if (!s.enabled.fog) return 0;
    switch (s.fog.mode) {
    case GL_LINEAR: return 1u;
    case GL_EXP: return 2u;
    default: return 3u;
    }
}

void SetUniforms(const Program& p, const Context& gl, float lineWidth) {
    const AttribState& s = gl.State();
    emscripten_glUniformMatrix4fv(p.modelview, 1, GL_FALSE, gl.Modelview().m);
    emscripten_glUniformMatrix4fv(p.projection, 1, GL_FALSE, gl.Projection().m);
    if (p.normalMatrix >= 0) {
        float n[9];
        NormalMatrix(gl.Modelview(), n);
        emscripten_glUniformMatrix3fv(p.normalMatrix, 1, GL_FALSE, n);
        emscripten_glUniform4fv(p.light, 1, s.lightPosition);
        emscripten_glUniform1f(p.light0, s.enabled.light0 ? 1.0f : 0.0f);
        emscripten_glUniform1f(p.colourMaterial, s.enabled.colorMaterial ? 1.0f : 0.0f);
    }
    if (p.texture >= 0) emscripten_glUniform1i(p.texture, 0);
    if (p.fog >= 0) {
        emscripten_glUniform4fv(p.fogColour, 1, s.fog.colour);
        emscripten_glUniform3f(p.fog, s.fog.density, s.fog.start, s.fog.end);
    }
    if (p.viewportSize >= 0) {
        emscripten_glUniform2f(p.viewportSize, (float)s.viewport[2], (float)s.viewport[3]);
        emscripten_glUniform1f(p.halfWidth, lineWidth * 0.5f);
    }
}

}  // namespace

Context& Gl() {
    if (!g_started && emscripten_webgl_get_current_context() != 0) {
        GLint v[4] = {0, 0, 0, 0};
        emscripten_glGetIntegerv(GL_VIEWPORT, v);
        OrvGlContextMadeCurrent(v[2], v[3]);
    }
    return g_context;
}

bool DeviceCurrent() { return emscripten_webgl_get_current_context() != 0; }

void DrawBatch(const Batch& batch) {
    if (batch.Empty() || !DeviceCurrent()) return;
    const Context& gl = g_context;
    const AttribState& s = gl.State();
    const bool textured = s.enabled.texture2D && g_withImage.count(s.boundTexture) != 0;
    const bool wide = batch.kind == DrawKind::WideLines;
    unsigned key = FogBits(s) << kFogShift;
    if (s.enabled.lighting) key |= kLit;
    if (textured) key |= kTextured | (s.texEnvMode == GL_MODULATE ? kModulate : 0u);
    if (wide) key |= kWide | (s.enabled.lineSmooth ? kSmoothEdges : 0u);
    const Program& p = ProgramFor(key);
    if (p.id == 0) return;

    UseProgram(p.id);
    SetUniforms(p, gl, s.lineWidth);
    // Lines are never culled in GL, whatever they are drawn as here.
    SyncFragmentState(s, s.enabled.cullFace && batch.kind == DrawKind::Triangles);
    if (textured) BindTexture(s.boundTexture);

    unsigned arrays = (1u << kSlotPosition) | (1u << kSlotColour);
    if (key & kLit) arrays |= 1u << kSlotNormal;
    if (textured) arrays |= 1u << kSlotTexCoord;
    size_t stride = sizeof(Vertex);
    size_t base = 0;
    GLsizei count = 0;
    if (wide) {
        arrays |= (1u << kSlotOther) | (1u << kSlotSide);
        stride = sizeof(WideLineVertex);
        base = offsetof(WideLineVertex, v);
        Upload(batch.wide.data(), batch.wide.size() * stride);
        Pointer(kSlotOther, 3, stride, offsetof(WideLineVertex, other));
        Pointer(kSlotSide, 1, stride, offsetof(WideLineVertex, side));
        count = (GLsizei)batch.wide.size();
    } else {
        Upload(batch.vertices.data(), batch.vertices.size() * stride);
        count = (GLsizei)batch.vertices.size();
    }
    Pointer(kSlotPosition, 3, stride, base + offsetof(Vertex, position));
    Pointer(kSlotColour, 4, stride, base + offsetof(Vertex, colour));
    if (key & kLit) Pointer(kSlotNormal, 3, stride, base + offsetof(Vertex, normal));
    if (textured) Pointer(kSlotTexCoord, 2, stride, base + offsetof(Vertex, texCoord));
    EnableArrays(arrays);
    emscripten_glDrawArrays(batch.kind == DrawKind::Lines ? GL_LINES : GL_TRIANGLES, 0, count);
}

void DrawPicture(GLsizei width, GLsizei height, const void* rgba) {
    const AttribState& s = g_context.State();
    if (!s.raster.valid || width <= 0 || height <= 0 || s.viewport[2] <= 0 || s.viewport[3] <= 0)
        return;
    const PictureProgram& p = PictureProgramOnce();
    if (p.id == 0) return;
    if (g_pictureTexture == 0) emscripten_glGenTextures(1, &g_pictureTexture);
    BindTexture(g_pictureTexture);
    emscripten_glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA,
                            GL_UNSIGNED_BYTE, rgba);
    // Any size, one texel to a pixel.
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

    const int* v = s.viewport;
    const float x0 = (s.raster.x - (float)v[0]) / (float)v[2] * 2.0f - 1.0f;
    const float y0 = (s.raster.y - (float)v[1]) / (float)v[3] * 2.0f - 1.0f;
    const float x1 = x0 + 2.0f * (float)width / (float)v[2];
    const float y1 = y0 + 2.0f * (float)height / (float)v[3];
    const float z = s.raster.z * 2.0f - 1.0f;
    // Row 0 of the pixels is the picture's bottom, as it is a texture's t = 0.
    const float quad[6][5] = {{x0, y0, z, 0, 0}, {x1, y0, z, 1, 0}, {x1, y1, z, 1, 1},
                              {x0, y0, z, 0, 0}, {x1, y1, z, 1, 1}, {x0, y1, z, 0, 1}};
    UseProgram(p.id);
    emscripten_glUniform1i(p.texture, 0);
    SyncFragmentState(s, false);
    Upload(quad, sizeof(quad));
    Pointer(kSlotPosition, 3, sizeof(quad[0]), 0);
    Pointer(kSlotTexCoord, 2, sizeof(quad[0]), 3 * sizeof(float));
    EnableArrays((1u << kSlotPosition) | (1u << kSlotTexCoord));
    emscripten_glDrawArrays(GL_TRIANGLES, 0, 6);
}

void SyncClearColour() {
    const float* c = g_context.State().clearColour;
    if (std::memcmp(g_device.clearColour, c, sizeof(g_device.clearColour)) == 0) return;
    emscripten_glClearColor(c[0], c[1], c[2], c[3]);
    std::memcpy(g_device.clearColour, c, sizeof(g_device.clearColour));
}

void BindStateTexture() { BindTexture(g_context.State().boundTexture); }

void TextureImageGiven(GLuint texture) { g_withImage.insert(texture); }

void TextureDeletedFromDevice(GLuint texture) {
    g_withImage.erase(texture);
    if (g_device.texture == texture) g_device.texture = 0xFFFFFFFFu;
    g_context.TextureDeleted(texture);
}

}  // namespace orvgl

void OrvGlContextMadeCurrent(int width, int height) {
    using namespace orvgl;
    g_started = true;
    g_context.Reset(width, height);
    g_device = DeviceState();
    for (GLuint& b : g_ring) b = 0;
    g_next = 0;
    g_pictureTexture = 0;
    g_withImage.clear();
    ForgetPrograms();
    emscripten_glActiveTexture(GL_TEXTURE0);
}
