#include "audio/field_mix.h"

#include "landscape/scalar_field.h"

namespace {

// The field level (in the rules' units, 10000 x the field) where the game's extra drain
// begins.
const float kEdgeLevel = 0.5f;

}  // namespace

FieldMix MixAt(const GrowArray<Vec3>& sources, const Vec3& p) {
    FieldMix mix;
    if (sources.count < 4) return mix;
    float values[4];
    double sum = 0.0;
    for (int k = 0; k < 4; ++k) {
        values[k] = SourceValue(sources, p, k);
        sum += (double)values[k];
    }
    if (!(sum > 0.0) || !(sum < 1e30)) {
        // On a source (infinite field): that source alone.
        for (int k = 0; k < 4; ++k) mix.shares[k] = (values[k] > 1e30f) ? 1.0f : 0.0f;
        mix.presence = 1.0f;
        return mix;
    }
    for (int k = 0; k < 4; ++k) mix.shares[k] = (float)((double)values[k] / sum);
    const float level = (float)(10000.0 * sum);
    mix.presence = level / (level + kEdgeLevel);
    return mix;
}

FieldMix FieldListener::Listen(const ContourLandscape& land, const Vec3& worldOffset) {
    if (!land.ready) return FieldMix();
    const int oldest = (land.head + 1) % kRingSlots;
    const float x = land.stamps[oldest] * 0.6f;
    if (sources_.count > 0) sources_.RemoveRange(0, -1);
    for (int k = 0; k < 4; ++k)
        if (!sources_.Push(SourcePosition(k, x))) return FieldMix();
    Vec3 p;
    p.Set(-worldOffset.x, -worldOffset.y, 0.0f);
    return MixAt(sources_, p);
}
