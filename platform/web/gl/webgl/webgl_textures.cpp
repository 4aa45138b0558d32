// Textures and pixels: WebGL's own texture names, uploads with mipmaps made by WebGL,
// reading the picture back, and drawing one at the raster position.
#include <GL/gl.h>
#include <GL/glu.h>

#include "platform/web/gl/webgl/webgl_api.h"
#include "platform/web/gl/webgl/webgl_device.h"

using orvgl::Gl;

namespace {

// GL 1.1 also takes a component count for the internal format; WebGL wants the format.
GLenum WebGlFormat(GLint internalFormat) {
    switch (internalFormat) {
    case 4: case GL_RGBA: case GL_RGBA8: return GL_RGBA;
    case 3: case GL_RGB: case GL_RGB8: return GL_RGB;
    default: return 0;
    }
}

bool PowerOfTwo(GLsizei n) { return n > 0 && (n & (n - 1)) == 0; }

bool Refused(const char* call) {
    if (!orvgl::DeviceCurrent()) return true;
    if (!Gl().InsideBeginEnd()) return false;
    Gl().NoteIgnored(call, 0);
    return true;
}

// False (and noted) unless WebGL takes the image as GL would.
bool Uploadable(const char* call, GLenum target, GLint internalFormat, GLenum format, GLenum type) {
    orvgl::Context& gl = Gl();
    if (target != GL_TEXTURE_2D) return gl.NoteIgnored(call, target), false;
    if (type != GL_UNSIGNED_BYTE) return gl.NoteIgnored(call, type), false;
    const GLenum webFormat = WebGlFormat(internalFormat);
    if (webFormat == 0) return gl.NoteIgnored(call, (GLenum)internalFormat), false;
    if (format != webFormat) return gl.NoteIgnored(call, format), false;
    return true;
}

}  // namespace

extern "C" {

void glGenTextures(GLsizei n, GLuint* textures) {
    if (Refused("glGenTextures")) return;
    emscripten_glGenTextures(n, textures);
}

void glDeleteTextures(GLsizei n, const GLuint* textures) {
    if (Refused("glDeleteTextures")) return;
    emscripten_glDeleteTextures(n, textures);
    for (GLsizei i = 0; i < n; ++i) orvgl::TextureDeletedFromDevice(textures[i]);
}

void glBindTexture(GLenum target, GLuint texture) { Gl().BindTexture(target, texture); }

void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                  GLsizei height, GLint border, GLenum format, GLenum type, const void* pixels) {
    if (Refused("glTexImage2D")) return;
    if (!Uploadable("glTexImage2D", target, internalFormat, format, type)) return;
    if (border != 0) return Gl().NoteIgnored("glTexImage2D", (GLenum)border);
    orvgl::BindStateTexture();
    emscripten_glTexImage2D(target, level, (GLint)format, width, height, 0, format, type, pixels);
    if (level == 0) orvgl::TextureImageGiven(Gl().State().boundTexture);
}

GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* data) {
    if (Refused("gluBuild2DMipmaps")) return GLU_INVALID_OPERATION;
    if (!Uploadable("gluBuild2DMipmaps", target, internalFormat, format, type)) return GLU_INVALID_ENUM;
    if (width < 1 || height < 1) return GLU_INVALID_VALUE;
    orvgl::BindStateTexture();
    emscripten_glTexImage2D(target, 0, (GLint)format, width, height, 0, format, type, data);
    orvgl::TextureImageGiven(Gl().State().boundTexture);
    // GLU would first scale another size to a power of two; the game's fonts need not.
    if (!PowerOfTwo(width) || !PowerOfTwo(height)) {
        Gl().NoteIgnored("gluBuild2DMipmaps(size not a power of two)", (GLenum)(width * 65536 + height));
        return 0;
    }
    emscripten_glGenerateMipmap(target);
    return 0;
}

void glTexParameteri(GLenum target, GLenum pname, GLint param) {
    if (Refused("glTexParameteri")) return;
    orvgl::Context& gl = Gl();
    if (target != GL_TEXTURE_2D) return gl.NoteIgnored("glTexParameteri", target);
    switch (pname) {
    case GL_TEXTURE_MIN_FILTER:
    case GL_TEXTURE_MAG_FILTER: break;
    case GL_TEXTURE_WRAP_S:
    case GL_TEXTURE_WRAP_T:
        // WebGL has no border colour to clamp towards; the edge is the nearest it has.
        if (param == GL_CLAMP) param = GL_CLAMP_TO_EDGE;
        break;
    default: return gl.NoteIgnored("glTexParameteri", pname);
    }
    orvgl::BindStateTexture();
    emscripten_glTexParameteri(target, pname, param);
}

void glTexEnvi(GLenum target, GLenum pname, GLint param) { Gl().TexEnvi(target, pname, param); }

void glPixelStorei(GLenum pname, GLint param) {
    if (Refused("glPixelStorei")) return;
    if (pname != GL_PACK_ALIGNMENT && pname != GL_UNPACK_ALIGNMENT)
        return Gl().NoteIgnored("glPixelStorei", pname);
    if (param != 1 && param != 2 && param != 4 && param != 8)
        return Gl().NoteIgnored("glPixelStorei", (GLenum)param);
    emscripten_glPixelStorei(pname, param);
}

void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  void* pixels) {
    if (Refused("glReadPixels")) return;
    if (format != GL_RGBA) return Gl().NoteIgnored("glReadPixels", format);
    if (type != GL_UNSIGNED_BYTE) return Gl().NoteIgnored("glReadPixels", type);
    emscripten_glReadPixels(x, y, width, height, format, type, pixels);
}

void glDrawPixels(GLsizei width, GLsizei height, GLenum format, GLenum type, const void* pixels) {
    if (Refused("glDrawPixels")) return;
    if (format != GL_RGBA) return Gl().NoteIgnored("glDrawPixels", format);
    if (type != GL_UNSIGNED_BYTE) return Gl().NoteIgnored("glDrawPixels", type);
    orvgl::DrawPicture(width, height, pixels);
}

}  // extern "C"
