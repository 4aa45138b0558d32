#include "landscape/scalar_field.h"

#include <cmath>

Vec3 SourcePosition(int k, float x) {
    const float s = x * 7.5f;
    const double h = std::sin((double)(s / 2.0f));
    const double w = std::sin((double)s);

    // Each source keeps to its own quadrant of the pulsing pattern.
    float a, b;
    switch (k) {
        case 0:
            a = (float)(50.0 + 100.0 * h);
            b = (float)(50.0 + 100.0 * w);
            break;
        case 1:
            a = (float)(-50.0 - 100.0 * h);
            b = (float)(50.0 + 100.0 * w);
            break;
        case 2:
            a = (float)(-50.0 - 100.0 * h);
            b = (float)(-50.0 - 100.0 * w);
            break;
        default:
            a = (float)(50.0 + 100.0 * h);
            b = (float)(-50.0 - 100.0 * w);
            break;
    }

    // The whole pattern turns slowly; the angle is the float 0.2 times s, in double.
    const double r = (double)s * (double)0.2f;
    const double cr = std::cos(r);
    const double sr = std::sin(r);
    const float u = (float)(b * cr + a * sr);
    const float v = (float)(b * sr - a * cr);

    const float scale = 5.0f * 0.6666667f;
    Vec3 p;
    p.Set(scale * u, scale * v, 0.0f);
    return p;
}

namespace {

// Squared distance in the order the field has always used: z, then y, then x.
inline float SquaredDistance(const Vec3& s, const Vec3& p) {
    const float dx = s.x - p.x;
    const float dy = s.y - p.y;
    const float dz = s.z - p.z;
    return dz * dz + dy * dy + dx * dx;
}

}  // namespace

float FieldValue(const GrowArray<Vec3>& sources, const Vec3& p) {
    double sum = 0.0;
    const Vec3* s = sources.items;
    for (int k = 0; k < sources.count; ++k)
        sum += (double)kFieldStrength / (double)SquaredDistance(s[k], p);
    return (float)sum;
}

float SourceValue(const GrowArray<Vec3>& sources, const Vec3& p, int k) {
    if (k < 0 || k >= sources.count) return 0.0f;
    return (float)((double)kFieldStrength / (double)SquaredDistance(sources.items[k], p));
}

Vec3 ContourColour(const GrowArray<Vec3>& sources, const Vec3& p) {
    const float g3 = SourceValue(sources, p, 3);
    const float g2 = SourceValue(sources, p, 2);
    const float g1 = SourceValue(sources, p, 1);
    const float g0 = SourceValue(sources, p, 0);
    Vec3 colour;
    colour.Set(g0 + g3, g1, g2 + g3);
    colour.Normalize();
    return colour;
}
