// The WebGL side of the browser's GL: the one state machine the gl* calls drive, and the
// WebGL state, buffers and textures it draws with.
#pragma once

#include <GL/gl.h>

#include "platform/web/gl/gl_batch.h"
#include "platform/web/gl/gl_context.h"

namespace orvgl {

// The state machine of the current WebGL context.
Context& Gl();
// False while no WebGL context is current (before the first, after it is released): GL
// calls then do nothing, as they do on the desktop without a current context.
bool DeviceCurrent();

// One batch, drawn at once with one upload and one draw call.
void DrawBatch(const Batch& batch);
// glDrawPixels' picture at the raster position, one pixel to a pixel.
void DrawPicture(GLsizei width, GLsizei height, const void* rgba);
// The clear colour as the state has it, before a clear.
void SyncClearColour();

// Textures: the state's bound one made WebGL's before an upload or a parameter; which
// ones have an image (GL draws untextured with one that has none).
void BindStateTexture();
void TextureImageGiven(GLuint texture);
void TextureDeletedFromDevice(GLuint texture);

}  // namespace orvgl
