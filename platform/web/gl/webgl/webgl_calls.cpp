// The GL 1.1 and GLU calls the game makes, by their real names, over the state machine
// and WebGL. Texture and pixel calls are in webgl_textures.cpp.
#include <GL/gl.h>
#include <GL/glu.h>

#include "platform/web/gl/webgl/webgl_api.h"
#include "platform/web/gl/webgl/webgl_device.h"

using orvgl::Gl;

namespace {
orvgl::Batch g_batch;
}  // namespace

extern "C" {

void glBegin(GLenum mode) { Gl().Begin(mode); }

void glEnd(void) {
    if (Gl().End(g_batch)) orvgl::DrawBatch(g_batch);
}

void glVertex2f(GLfloat x, GLfloat y) { Gl().Vertex3f(x, y, 0.0f); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { Gl().Vertex3f(x, y, z); }
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { Gl().Color4f(r, g, b, 1.0f); }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { Gl().Color4f(r, g, b, a); }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { Gl().Normal3f(x, y, z); }
void glTexCoord2f(GLfloat s, GLfloat t) { Gl().TexCoord2f(s, t); }

void glMatrixMode(GLenum mode) { Gl().MatrixMode(mode); }
void glLoadIdentity(void) { Gl().LoadIdentity(); }
void glLoadMatrixf(const GLfloat* m) { Gl().LoadMatrixf(m); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { Gl().Translatef(x, y, z); }
void glPushMatrix(void) { Gl().PushMatrix(); }
void glPopMatrix(void) { Gl().PopMatrix(); }

void glEnable(GLenum cap) { Gl().Enable(cap, true); }
void glDisable(GLenum cap) { Gl().Enable(cap, false); }
void glBlendFunc(GLenum sfactor, GLenum dfactor) { Gl().BlendFunc(sfactor, dfactor); }
void glLineWidth(GLfloat width) { Gl().LineWidth(width); }
void glPolygonMode(GLenum face, GLenum mode) { Gl().PolygonMode(face, mode); }
void glShadeModel(GLenum mode) { Gl().ShadeModel(mode); }
void glCullFace(GLenum mode) { Gl().CullFace(mode); }
void glDepthFunc(GLenum func) { Gl().DepthFunc(func); }
void glHint(GLenum target, GLenum mode) { Gl().Hint(target, mode); }
void glLightfv(GLenum light, GLenum pname, const GLfloat* params) { Gl().Lightfv(light, pname, params); }
void glFogi(GLenum pname, GLint param) { Gl().Fogi(pname, param); }
void glFogf(GLenum pname, GLfloat param) { Gl().Fogf(pname, param); }
void glFogfv(GLenum pname, const GLfloat* params) { Gl().Fogfv(pname, params); }
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { Gl().ClearColor(r, g, b, a); }
void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) { Gl().Viewport(x, y, width, height); }
void glPushAttrib(GLbitfield mask) { Gl().PushAttrib(mask); }
void glPopAttrib(void) { Gl().PopAttrib(); }
void glRasterPos2f(GLfloat x, GLfloat y) { Gl().RasterPos2f(x, y); }

void glClear(GLbitfield mask) {
    orvgl::Context& gl = Gl();
    if (!orvgl::DeviceCurrent()) return;
    if (gl.InsideBeginEnd()) return gl.NoteIgnored("glClear", mask);
    const GLbitfield known = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT;
    if (mask & ~known) gl.NoteIgnored("glClear", mask & ~known);
    orvgl::SyncClearColour();
    emscripten_glClear(mask & known);
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    Gl().Perspective(fovy, aspect, zNear, zFar);
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    Gl().LookAt(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
}

}  // extern "C"
