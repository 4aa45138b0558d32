// The part of GL's state the game sets, as glPushAttrib(GL_ALL_ATTRIB_BITS) saves it:
// everything here but the matrices, which have stacks of their own.
#pragma once

#include <GL/gl.h>

namespace orvgl {

struct Enables {
    bool lighting = false;
    bool light0 = false;
    bool colorMaterial = false;
    bool fog = false;
    bool blend = false;
    bool depthTest = false;
    bool cullFace = false;
    bool texture2D = false;
    bool lineSmooth = false;
};

struct FogParameters {
    GLenum mode = GL_EXP;
    float density = 1.0f;
    float start = 0.0f;
    float end = 1.0f;
    float colour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
};

// In window coordinates, set by glRasterPos; invalid when the point fell outside the view.
struct RasterPosition {
    bool valid = true;
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

struct AttribState {
    Enables enabled;
    GLenum blendSrc = GL_ONE;
    GLenum blendDst = GL_ZERO;
    GLenum depthFunc = GL_LESS;
    GLenum cullFaceMode = GL_BACK;
    GLenum polygonMode = GL_FILL;  // front and back alike: the only way the game sets it
    GLenum shadeModel = GL_SMOOTH;
    float lineWidth = 1.0f;
    FogParameters fog;
    // Light 0's position in eye space: the modelview of the glLightfv call already applied.
    float lightPosition[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    float clearColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    int viewport[4] = {0, 0, 0, 0};
    GLuint boundTexture = 0;
    GLenum texEnvMode = GL_MODULATE;
    GLenum matrixMode = GL_MODELVIEW;
    GLenum lineSmoothHint = GL_DONT_CARE;
    GLenum fogHint = GL_DONT_CARE;
    float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float normal[3] = {0.0f, 0.0f, 1.0f};
    float texCoord[2] = {0.0f, 0.0f};
    RasterPosition raster;
};

}  // namespace orvgl
