// What a draw call emits, recorded with OpenGL's feedback mode on the current context:
// each primitive's token (GL_POLYGON_TOKEN, GL_LINE_TOKEN, GL_POINT_TOKEN, ...) and its
// window-space (x, y) vertices, in the order drawn. Line resets read as plain lines.
#pragma once

#include <functional>
#include <vector>

struct FedPrimitive {
    int token;
    std::vector<float> xy;
};

std::vector<FedPrimitive> RecordFeedback(const std::function<void()>& draw);
