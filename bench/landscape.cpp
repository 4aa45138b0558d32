// Cost of one slice generation against the bare cost of sampling the field once at each
// of the 51 x 51 grid points. The generator shares corner values between neighbouring
// cells, so it should stay within 1.5 x the bare field cost.
#include <benchmark/benchmark.h>

#include "landscape/contour_landscape.h"
#include "landscape/scalar_field.h"

namespace {

// A typical moment: about 70 contour segments, plus the stars.
const float kTypicalTime = 10.0f;

void BM_GenerateSlice(benchmark::State& state) {
    ContourLandscape land;
    land.PlaceSources(kTypicalTime);
    land.current = land.slots[0];
    for (auto _ : state) {
        land.current->Clear();
        land.GenerateSlice();
        benchmark::DoNotOptimize(land.current->items);
    }
    state.counters["segments"] = land.current->count;
}
BENCHMARK(BM_GenerateSlice);

// Many moments in turn, so the figure does not hang on one contour's length.
void BM_GenerateSliceOverTime(benchmark::State& state) {
    ContourLandscape land;
    land.current = land.slots[0];
    float x = 0.0f;
    long segments = 0, slices = 0;
    for (auto _ : state) {
        x += 0.0091f;
        if (x > 60.0f) x = 0.0f;
        land.PlaceSources(x);
        land.current->Clear();
        land.GenerateSlice();
        segments += land.current->count;
        ++slices;
    }
    state.counters["segments"] = slices ? (double)segments / slices : 0.0;
}
BENCHMARK(BM_GenerateSliceOverTime);

void BM_FieldAtGridPoints(benchmark::State& state) {
    ContourLandscape land;
    land.PlaceSources(kTypicalTime);
    for (auto _ : state) {
        for (int r = 0; r <= 50; ++r) {
            for (int c = 0; c <= 50; ++c) {
                Vec3 p;
                p.Set((float)(c * 50 - 1250), (float)(r * 50 - 1250), 0.0f);
                benchmark::DoNotOptimize(FieldValue(land.sources, p));
            }
        }
    }
    state.counters["evaluations"] = 51 * 51;
}
BENCHMARK(BM_FieldAtGridPoints);

// What sampling every cell's four corners afresh would cost: 10,000 evaluations.
void BM_FieldAtEveryCellCorner(benchmark::State& state) {
    ContourLandscape land;
    land.PlaceSources(kTypicalTime);
    for (auto _ : state) {
        for (int j = -25; j <= 24; ++j) {
            for (int i = -24; i <= 25; ++i) {
                Vec3 p;
                p.Set((float)((i - 1) * 50), (float)(j * 50), 0.0f);
                benchmark::DoNotOptimize(FieldValue(land.sources, p));
                p.x = (float)(i * 50);
                benchmark::DoNotOptimize(FieldValue(land.sources, p));
                p.y = (float)((j + 1) * 50);
                benchmark::DoNotOptimize(FieldValue(land.sources, p));
                p.x = (float)((i - 1) * 50);
                benchmark::DoNotOptimize(FieldValue(land.sources, p));
            }
        }
    }
    state.counters["evaluations"] = 10000;
}
BENCHMARK(BM_FieldAtEveryCellCorner);

}  // namespace
