// The fixed-function state machine behind the browser's GL 1.1 calls, free of any real GL:
// what each call the game makes does to the state, the matrix and attribute stacks, and the
// vertices gathered between glBegin and glEnd. The WebGL side reads it when it draws.
#pragma once

#include <GL/gl.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/web/gl/gl_batch.h"
#include "platform/web/gl/gl_math.h"
#include "platform/web/gl/gl_state.h"

namespace orvgl {

class Context {
public:
    Context();

    // The window's size when the context was first made current: GL's first viewport.
    void Reset(int width, int height);

    // Calls or arguments the browser's GL leaves alone go here, once per call and argument
    // (a frame repeats them), instead of failing or drawing something else.
    void SetLog(std::function<void(const std::string&)> log) { log_ = std::move(log); }
    void NoteIgnored(const char* call, unsigned value);

    const AttribState& State() const { return state_; }
    const Mat4& Modelview() const { return modelview_.back(); }
    const Mat4& Projection() const { return projection_.back(); }
    bool InsideBeginEnd() const { return inside_; }

    // Capabilities and modes.
    void Enable(GLenum cap, bool on);
    void BlendFunc(GLenum src, GLenum dst);
    void LineWidth(float width);
    void PolygonMode(GLenum face, GLenum mode);
    void ShadeModel(GLenum mode);
    void CullFace(GLenum mode);
    void DepthFunc(GLenum func);
    void Hint(GLenum target, GLenum mode);
    void Lightfv(GLenum light, GLenum pname, const float* params);
    void Fogi(GLenum pname, GLint param);
    void Fogf(GLenum pname, float param);
    void Fogfv(GLenum pname, const float* params);
    void ClearColor(float r, float g, float b, float a);
    void Viewport(int x, int y, int width, int height);
    void BindTexture(GLenum target, GLuint texture);
    void TextureDeleted(GLuint texture);
    void TexEnvi(GLenum target, GLenum pname, GLint param);

    // Matrices.
    void MatrixMode(GLenum mode);
    void LoadIdentity();
    void LoadMatrixf(const float* m);
    void MultMatrix(const Mat4& m);
    void Translatef(float x, float y, float z);
    void PushMatrix();
    void PopMatrix();
    void Perspective(double fovy, double aspect, double zNear, double zFar);
    void LookAt(double eyeX, double eyeY, double eyeZ, double centerX, double centerY,
                double centerZ, double upX, double upY, double upZ);

    void PushAttrib(GLbitfield mask);
    void PopAttrib();
    void RasterPos2f(float x, float y);

    // Immediate mode. End hands over the finished batch (empty when there is nothing to
    // draw) and returns false when it was not a batch at all.
    void Begin(GLenum mode);
    void Vertex3f(float x, float y, float z);
    void Color4f(float r, float g, float b, float a);
    void Normal3f(float x, float y, float z);
    void TexCoord2f(float s, float t);
    bool End(Batch& out);

private:
    // State changes are refused between glBegin and glEnd, as in GL.
    bool Refused(const char* call);
    std::vector<Mat4>& CurrentStack();

    AttribState state_;
    std::vector<AttribState> attribStack_;
    std::vector<Mat4> modelview_;
    std::vector<Mat4> projection_;
    // Kept so that calls meant for it do not land on another matrix; never applied.
    std::vector<Mat4> texture_;
    bool inside_ = false;
    GLenum mode_ = 0;
    std::vector<Vertex> gathered_;
    std::function<void(const std::string&)> log_;
    std::set<std::pair<std::string, unsigned>> noted_;
};

}  // namespace orvgl
