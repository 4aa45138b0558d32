// The trial's pictures, in the game's kind of GL 1.1 calls only, so that the same code
// draws through the browser's GL and through the desktop's.
#pragma once

#include <GL/gl.h>

// Font-like texture: a chequer with an alpha ramp, through gluBuild2DMipmaps.
GLuint MakeTrialTexture();
// The scene in the window's left half, then that half read back and drawn again in the
// right half, as the results panel does with the last picture. `t` turns the objects.
void DrawTrialScene(int width, int height, float t, GLuint texture);
// The landscape's load: 75 batches of 240 coloured line vertices, fogged and added.
void DrawLineLoad(int width, int height, float t);
