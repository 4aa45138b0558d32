#include "landscape/contour_slice.h"

namespace {

enum Edge { kEdgeA, kEdgeB, kEdgeC, kEdgeD, kNoEdge };

// (start, end) edge pairs per case; the saddles list the segment near the higher corner
// (2 for case 5, 3 for case 10) first.
const unsigned char kCaseEdges[16][4] = {
    {kNoEdge, kNoEdge, kNoEdge, kNoEdge},  // 0: nothing above
    {kEdgeA, kEdgeD, kNoEdge, kNoEdge},    // 1
    {kEdgeA, kEdgeB, kNoEdge, kNoEdge},    // 2
    {kEdgeB, kEdgeD, kNoEdge, kNoEdge},    // 3
    {kEdgeC, kEdgeB, kNoEdge, kNoEdge},    // 4
    {kEdgeC, kEdgeB, kEdgeA, kEdgeD},      // 5: saddle
    {kEdgeA, kEdgeC, kNoEdge, kNoEdge},    // 6
    {kEdgeD, kEdgeC, kNoEdge, kNoEdge},    // 7
    {kEdgeD, kEdgeC, kNoEdge, kNoEdge},    // 8
    {kEdgeA, kEdgeC, kNoEdge, kNoEdge},    // 9
    {kEdgeD, kEdgeC, kEdgeA, kEdgeB},      // 10: saddle
    {kEdgeC, kEdgeB, kNoEdge, kNoEdge},    // 11
    {kEdgeB, kEdgeD, kNoEdge, kNoEdge},    // 12
    {kEdgeA, kEdgeB, kNoEdge, kNoEdge},    // 13
    {kEdgeA, kEdgeD, kNoEdge, kNoEdge},    // 14
    {kNoEdge, kNoEdge, kNoEdge, kNoEdge},  // 15: everything above
};

// Crossing of the level on one edge, measured from the corner named first. Only called
// for crossed edges, where one corner is above the level and the other is not, so the
// divisor is never zero.
Vec3 EdgeCrossing(int edge, float x0, float y0, float x1, float y1, float f0, float f1,
                  float f2, float f3) {
    const float t = kIsoLevel;
    Vec3 p;
    switch (edge) {
        case kEdgeA: p.Set(x0 + kCellSize * (f0 - t) / (f0 - f1), y0, 0.0f); break;
        case kEdgeB: p.Set(x1, y0 + kCellSize * (f1 - t) / (f1 - f2), 0.0f); break;
        case kEdgeC: p.Set(x0 + kCellSize * (f3 - t) / (f3 - f2), y1, 0.0f); break;
        default:     p.Set(x0, y0 + kCellSize * (f0 - t) / (f0 - f3), 0.0f); break;
    }
    return p;
}

}  // namespace

int MarchCell(float x0, float y0, float x1, float y1, float f0, float f1, float f2, float f3,
              Vec3 ends[4]) {
    const unsigned char* edges = kCaseEdges[CellCase(f0, f1, f2, f3)];
    int n = 0;
    while (n < 4 && edges[n] != kNoEdge) {
        ends[n] = EdgeCrossing(edges[n], x0, y0, x1, y1, f0, f1, f2, f3);
        ++n;
    }
    return n / 2;
}
