#include "tests/support/gl_feedback.h"

#include <windows.h>

#include <GL/gl.h>

namespace {

std::vector<FedPrimitive> Record(const std::function<void()>& draw, bool colours) {
    std::vector<GLfloat> buffer(1 << 21);
    // GL_3D_COLOR: x, y, z, then the colour's four components (RGBA mode).
    const int stride = colours ? 7 : 2;
    glFeedbackBuffer((GLsizei)buffer.size(), colours ? GL_3D_COLOR : GL_2D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint n = glRenderMode(GL_RENDER);
    std::vector<FedPrimitive> out;
    for (GLint i = 0; i < n;) {
        int token = (int)buffer[(size_t)i++];
        FedPrimitive p{token, {}, {}};
        int vertices = 0;
        if (token == GL_POLYGON_TOKEN) vertices = (int)buffer[(size_t)i++];
        else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) vertices = 2;
        else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN ||
                 token == GL_DRAW_PIXEL_TOKEN || token == GL_COPY_PIXEL_TOKEN) vertices = 1;
        else if (token == GL_PASS_THROUGH_TOKEN) { ++i; continue; }
        for (int v = 0; v < vertices; ++v, i += stride) {
            p.xy.push_back(buffer[(size_t)i]);
            p.xy.push_back(buffer[(size_t)i + 1]);
            if (colours)
                for (int c = 0; c < 4; ++c) p.rgba.push_back(buffer[(size_t)i + 3 + c]);
        }
        if (token == GL_LINE_RESET_TOKEN) p.token = GL_LINE_TOKEN;
        out.push_back(p);
    }
    return out;
}

}  // namespace

std::vector<FedPrimitive> RecordFeedback(const std::function<void()>& draw) {
    return Record(draw, false);
}

std::vector<FedPrimitive> RecordColouredFeedback(const std::function<void()>& draw) {
    return Record(draw, true);
}
