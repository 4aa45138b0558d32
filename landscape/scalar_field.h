// The scalar field behind the landscape: four inverse-square point sources that circle
// and pulse around the origin. The field is pure arithmetic over a source list; the
// landscape places the sources for a moment in time and then samples it.
#pragma once

#include "core/grow_array.h"
#include "core/vec3.h"

// Every source term is kFieldStrength / squared distance.
const float kFieldStrength = 5.0f;

// Where source k stands at time x (z is 0). Any k above 3 moves like source 3.
Vec3 SourcePosition(int k, float x);

// Sum over the list, in index order, of 5 / |p - s|^2, accumulated in double and
// returned as a float. A point on a source gives +infinity; an empty list gives 0.
float FieldValue(const GrowArray<Vec3>& sources, const Vec3& p);

// The one term of source k. A source the list does not hold contributes nothing (0).
float SourceValue(const GrowArray<Vec3>& sources, const Vec3& p, int k);

// Unit colour of the source mix at p: source 0 feeds red, 1 green, 2 blue, 3 magenta.
Vec3 ContourColour(const GrowArray<Vec3>& sources, const Vec3& p);
