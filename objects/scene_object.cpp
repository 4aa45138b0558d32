#include "objects/scene_object.h"

#include <windows.h>
#include <GL/gl.h>

void BeginFilledPass(const float* colour, bool cullAndFill) {
    if (cullAndFill) {
        glEnable(GL_CULL_FACE);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }
    glEnable(GL_LIGHTING);
    if (colour != nullptr) glColor3f(colour[0], colour[1], colour[2]);
    glBlendFunc(GL_ONE, GL_ONE);
    glEnable(GL_BLEND);
}

void BeginOutlinePass(const float* colour) {
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glLineWidth(1.5f);
    if (colour != nullptr) glColor3f(colour[0], colour[1], colour[2]);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
}

void EndTwoPass() { glDisable(GL_LIGHTING); }
