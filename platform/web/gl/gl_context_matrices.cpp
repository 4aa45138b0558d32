// The matrix calls and GLU's two matrix builders.
#include "platform/web/gl/gl_context.h"

#include <cstring>

namespace orvgl {

namespace {
const size_t kModelviewDepth = 32;
const size_t kProjectionDepth = 4;
}  // namespace

std::vector<Mat4>& Context::CurrentStack() {
    if (state_.matrixMode == GL_PROJECTION) return projection_;
    if (state_.matrixMode == GL_TEXTURE) return texture_;
    return modelview_;
}

void Context::MatrixMode(GLenum mode) {
    if (Refused("glMatrixMode")) return;
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION && mode != GL_TEXTURE)
        return NoteIgnored("glMatrixMode", mode);
    // Texture coordinates are drawn as given: say so, but take the mode.
    if (mode == GL_TEXTURE) NoteIgnored("glMatrixMode", mode);
    state_.matrixMode = mode;
}

void Context::LoadIdentity() {
    if (Refused("glLoadIdentity")) return;
    CurrentStack().back() = Mat4::Identity();
}

void Context::LoadMatrixf(const float* m) {
    if (Refused("glLoadMatrixf")) return;
    std::memcpy(CurrentStack().back().m, m, sizeof(float) * 16);
}

void Context::MultMatrix(const Mat4& m) {
    Mat4& top = CurrentStack().back();
    top = Multiply(top, m);
}

void Context::Translatef(float x, float y, float z) {
    if (Refused("glTranslatef")) return;
    Mat4& top = CurrentStack().back();
    top = Translated(top, x, y, z);
}

void Context::PushMatrix() {
    if (Refused("glPushMatrix")) return;
    std::vector<Mat4>& stack = CurrentStack();
    const size_t depth = &stack == &modelview_ ? kModelviewDepth : kProjectionDepth;
    if (stack.size() >= depth) return NoteIgnored("glPushMatrix", GL_STACK_OVERFLOW);
    stack.push_back(stack.back());
}

void Context::PopMatrix() {
    if (Refused("glPopMatrix")) return;
    std::vector<Mat4>& stack = CurrentStack();
    if (stack.size() <= 1) return NoteIgnored("glPopMatrix", GL_STACK_UNDERFLOW);
    stack.pop_back();
}

void Context::Perspective(double fovy, double aspect, double zNear, double zFar) {
    if (Refused("gluPerspective")) return;
    Mat4 m;
    if (PerspectiveMatrix(fovy, aspect, zNear, zFar, m)) MultMatrix(m);
}

void Context::LookAt(double eyeX, double eyeY, double eyeZ, double centerX, double centerY,
                     double centerZ, double upX, double upY, double upZ) {
    if (Refused("gluLookAt")) return;
    MultMatrix(LookAtRotation(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ));
    // GLU translates through glTranslated, which GL takes as floats.
    Translatef((float)-eyeX, (float)-eyeY, (float)-eyeZ);
}

}  // namespace orvgl
