// The WebGL calls underneath, by the names Emscripten's JavaScript library gives every
// GLES2 function besides its own: with these a program can define glEnable & co. itself.
#pragma once

#include <GL/gl.h>

extern "C" {
void emscripten_glActiveTexture(GLenum texture);
void emscripten_glAttachShader(GLuint program, GLuint shader);
void emscripten_glBindAttribLocation(GLuint program, GLuint index, const GLchar* name);
void emscripten_glBindBuffer(GLenum target, GLuint buffer);
void emscripten_glBindTexture(GLenum target, GLuint texture);
void emscripten_glBlendFunc(GLenum sfactor, GLenum dfactor);
void emscripten_glBufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage);
void emscripten_glClear(GLbitfield mask);
void emscripten_glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a);
void emscripten_glCompileShader(GLuint shader);
GLuint emscripten_glCreateProgram(void);
GLuint emscripten_glCreateShader(GLenum type);
void emscripten_glCullFace(GLenum mode);
void emscripten_glDeleteProgram(GLuint program);
void emscripten_glDeleteShader(GLuint shader);
void emscripten_glDeleteTextures(GLsizei n, const GLuint* textures);
void emscripten_glDepthFunc(GLenum func);
void emscripten_glDisable(GLenum cap);
void emscripten_glDisableVertexAttribArray(GLuint index);
void emscripten_glDrawArrays(GLenum mode, GLint first, GLsizei count);
void emscripten_glEnable(GLenum cap);
void emscripten_glEnableVertexAttribArray(GLuint index);
void emscripten_glGenBuffers(GLsizei n, GLuint* buffers);
void emscripten_glGenTextures(GLsizei n, GLuint* textures);
void emscripten_glGenerateMipmap(GLenum target);
void emscripten_glGetIntegerv(GLenum pname, GLint* data);
void emscripten_glGetProgramInfoLog(GLuint program, GLsizei max, GLsizei* length, GLchar* log);
void emscripten_glGetProgramiv(GLuint program, GLenum pname, GLint* params);
void emscripten_glGetShaderInfoLog(GLuint shader, GLsizei max, GLsizei* length, GLchar* log);
void emscripten_glGetShaderiv(GLuint shader, GLenum pname, GLint* params);
GLint emscripten_glGetUniformLocation(GLuint program, const GLchar* name);
void emscripten_glLinkProgram(GLuint program);
void emscripten_glPixelStorei(GLenum pname, GLint param);
void emscripten_glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                             GLenum type, void* pixels);
void emscripten_glShaderSource(GLuint shader, GLsizei count, const GLchar* const* string,
                               const GLint* length);
void emscripten_glTexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width,
                             GLsizei height, GLint border, GLenum format, GLenum type,
                             const void* pixels);
void emscripten_glTexParameteri(GLenum target, GLenum pname, GLint param);
void emscripten_glUniform1f(GLint location, GLfloat v0);
void emscripten_glUniform1i(GLint location, GLint v0);
void emscripten_glUniform2f(GLint location, GLfloat v0, GLfloat v1);
void emscripten_glUniform3f(GLint location, GLfloat v0, GLfloat v1, GLfloat v2);
void emscripten_glUniform4fv(GLint location, GLsizei count, const GLfloat* value);
void emscripten_glUniformMatrix3fv(GLint location, GLsizei count, GLboolean transpose,
                                   const GLfloat* value);
void emscripten_glUniformMatrix4fv(GLint location, GLsizei count, GLboolean transpose,
                                   const GLfloat* value);
void emscripten_glUseProgram(GLuint program);
void emscripten_glVertexAttribPointer(GLuint index, GLint size, GLenum type,
                                      GLboolean normalized, GLsizei stride, const void* pointer);
void emscripten_glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
}
