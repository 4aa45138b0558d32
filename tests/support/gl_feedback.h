// What a draw call emits, recorded with OpenGL's feedback mode on the current context:
// each primitive's token (GL_POLYGON_TOKEN, GL_LINE_TOKEN, GL_POINT_TOKEN, ...) and its
// window-space (x, y) vertices, in the order drawn. Line resets read as plain lines.
// RecordColouredFeedback also keeps each vertex's colour (r, g, b, a after lighting, as
// the rasterizer would receive it), so a test sees the colours and not just the shapes.
#pragma once

#include <functional>
#include <vector>

struct FedPrimitive {
    int token;
    std::vector<float> xy;
    std::vector<float> rgba;  // four per vertex; empty unless recorded with colours
};

std::vector<FedPrimitive> RecordFeedback(const std::function<void()>& draw);
std::vector<FedPrimitive> RecordColouredFeedback(const std::function<void()>& draw);
