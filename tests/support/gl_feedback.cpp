#include "tests/support/gl_feedback.h"

#include <windows.h>

#include <GL/gl.h>

std::vector<FedPrimitive> RecordFeedback(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer((GLsizei)buffer.size(), GL_2D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint n = glRenderMode(GL_RENDER);
    std::vector<FedPrimitive> out;
    for (GLint i = 0; i < n;) {
        int token = (int)buffer[(size_t)i++];
        FedPrimitive p{token, {}};
        int vertices = 0;
        if (token == GL_POLYGON_TOKEN) vertices = (int)buffer[(size_t)i++];
        else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) vertices = 2;
        else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN ||
                 token == GL_DRAW_PIXEL_TOKEN || token == GL_COPY_PIXEL_TOKEN) vertices = 1;
        else if (token == GL_PASS_THROUGH_TOKEN) { ++i; continue; }
        for (int v = 0; v < vertices; ++v) {
            p.xy.push_back(buffer[(size_t)i++]);
            p.xy.push_back(buffer[(size_t)i++]);
        }
        if (token == GL_LINE_RESET_TOKEN) p.token = GL_LINE_TOKEN;
        out.push_back(p);
    }
    return out;
}
