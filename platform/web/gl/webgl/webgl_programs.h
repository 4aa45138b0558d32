// The few small shaders that stand in for the fixed-function pipeline, one per combination
// of the state that changes what a vertex or fragment computes, built on first use.
#pragma once

#include <GL/gl.h>

namespace orvgl {

enum ProgramBit : unsigned {
    kLit = 1u,          // GL_LIGHTING: light 0 and the material, per vertex
    kTextured = 2u,     // GL_TEXTURE_2D with an image bound
    kModulate = 4u,     // texture times colour rather than GL_REPLACE
    kWide = 8u,         // lines wider than a pixel, as quads
    kSmoothEdges = 16u, // GL_LINE_SMOOTH on a wide line: its long edges fade over a pixel
    kFogShift = 5u,     // two bits: 0 none, 1 GL_LINEAR, 2 GL_EXP, 3 GL_EXP2
};

// Fixed attribute slots, the same in every program.
enum AttribSlot : GLuint {
    kSlotPosition = 0,
    kSlotColour = 1,
    kSlotNormal = 2,
    kSlotTexCoord = 3,
    kSlotOther = 4,
    kSlotSide = 5,
};

struct Program {
    GLuint id = 0;
    GLint modelview = -1, projection = -1, normalMatrix = -1;
    GLint light = -1, light0 = -1, colourMaterial = -1;
    GLint texture = -1;
    GLint fogColour = -1, fog = -1;
    GLint viewportSize = -1, halfWidth = -1;
};

struct PictureProgram {
    GLuint id = 0;
    GLint texture = -1;
};

// A program that failed to build has id 0 (and its log went to stderr).
const Program& ProgramFor(unsigned key);
const PictureProgram& PictureProgramOnce();
// A new context has none of the old one's programs.
void ForgetPrograms();

}  // namespace orvgl
