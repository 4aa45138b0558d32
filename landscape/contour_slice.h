// One depth slice of the landscape: the iso-line of the field traced over a fixed grid,
// plus a few star streaks, stored as coloured line segments ready to draw.
#pragma once

#include "core/grow_array.h"
#include "core/vec3.h"

struct SliceSegment {
    Vec3 start;
    Vec3 end;
    Vec3 startColour;
    Vec3 endColour;
};

// Grows by 50 segments whenever it is full; emptied with Clear before regeneration.
typedef GrowArray<SliceSegment> ContourSlice;

// The iso level the contour lines follow. A corner exactly at the level counts as below.
const float kIsoLevel = 0.000125f;
// Grid: 50 x 50 cells of 50 units; columns i = -24..25, rows j = -25..24, so the corners
// run from -1250 to 1250 in x and y.
const float kCellSize = 50.0f;
const int kGridFirstColumn = -24;
const int kGridFirstRow = -25;
const int kGridCells = 50;

// Marching-squares case of a cell: bit k set when corner k is strictly above the level.
// Cases 0 and 15 cross nothing.
inline int CellCase(float f0, float f1, float f2, float f3) {
    return (f0 > kIsoLevel ? 1 : 0) | (f1 > kIsoLevel ? 2 : 0) | (f2 > kIsoLevel ? 4 : 0) |
           (f3 > kIsoLevel ? 8 : 0);
}

// Marching squares for one cell. Corners: 0 = (x0, y0), 1 = (x1, y0), 2 = (x1, y1),
// 3 = (x0, y1), with f0..f3 the field there. Writes each segment's start and end to
// ends[2n], ends[2n + 1] and returns the number of segments (0, 1 or 2). Saddles are
// never joined: every corner above the level gets its own segment.
int MarchCell(float x0, float y0, float x1, float y1, float f0, float f1, float f2, float f3,
              Vec3 ends[4]);
