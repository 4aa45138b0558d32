// Collectible costs per frame. The fractal is the heavy one: 5460 sort entries, sorted on
// every Draw. A Draw without a matrix change must cost about one pass over the entries;
// one after a matrix change at most a key pass plus one sort.
//
// Run under an X server for the Draw benchmarks (xvfb-run -a ./bench_objects); without
// one they are skipped and only the sort benchmarks run.
#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <benchmark/benchmark.h>

#include <algorithm>

#include "objects/atom.h"
#include "objects/flower.h"
#include "objects/fractal.h"
#include "tests/support/gl_test_window.h"

namespace {

// A GL context made the way the game makes its own, kept for the whole run, looking at
// the object from 70 units away.
class BenchContext {
public:
    BenchContext() : gl_(256, 256) {
        if (!gl_.Ok()) return;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, 1.0, 1.0, 1000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, -70.0f);
        glEnable(GL_LIGHT0);
        glEnable(GL_COLOR_MATERIAL);
    }
    bool Ok() const { return gl_.Ok(); }

private:
    GlTestWindow gl_;
};

BenchContext& Context() {
    static BenchContext context;
    return context;
}

Fractal& BuiltFractal() {
    static Fractal fractal;
    static const int built = fractal.Build();
    (void)built;
    return fractal;
}

Mat4 Translation(float x, float y, float z) {
    Mat4 m;
    m.Identity();
    m.m[12] = x;
    m.m[13] = y;
    m.m[14] = z;
    return m;
}

// The floor for an unchanged Draw: one read of every key.
void BM_FractalPassOverEntries(benchmark::State& state) {
    Fractal& fractal = BuiltFractal();
    for (auto _ : state) {
        float sum = 0.0f;
        for (int i = 0; i < fractal.sortEntries.count; ++i) sum += fractal.sortEntries.items[i].key;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * fractal.sortEntries.count);
}
BENCHMARK(BM_FractalPassOverEntries);

// A sort of the entries from a scrambled order: what one full sort costs.
void BM_FractalOneFullSort(benchmark::State& state) {
    Fractal& fractal = BuiltFractal();
    fractal.SetModelMatrix(Translation(0.0f, 0.0f, 0.0f));
    SortFaces(fractal.sortEntries, fractal.viewMatrix, fractal.modelMatrix, fractal.dirty);
    auto nearer = [](const DepthSortEntry<TriFace>& a, const DepthSortEntry<TriFace>& b) {
        return a.key < b.key;
    };
    DepthSortEntry<TriFace>* begin = fractal.sortEntries.items;
    DepthSortEntry<TriFace>* end = begin + fractal.sortEntries.count;
    for (auto _ : state) {
        state.PauseTiming();
        std::reverse(begin, end);
        std::rotate(begin, begin + fractal.sortEntries.count / 3, end);
        state.ResumeTiming();
        std::sort(begin, end, nearer);
    }
    state.SetItemsProcessed(state.iterations() * fractal.sortEntries.count);
}
BENCHMARK(BM_FractalOneFullSort);

// Draw's sort step without a matrix change (the head-up display icon, or a second Draw).
void BM_FractalSortUnchanged(benchmark::State& state) {
    Fractal& fractal = BuiltFractal();
    fractal.SetModelMatrix(Translation(0.0f, 0.0f, -500.0f));
    SortFaces(fractal.sortEntries, fractal.viewMatrix, fractal.modelMatrix, fractal.dirty);
    for (auto _ : state)
        SortFaces(fractal.sortEntries, fractal.viewMatrix, fractal.modelMatrix, fractal.dirty);
    state.SetItemsProcessed(state.iterations() * fractal.sortEntries.count);
}
BENCHMARK(BM_FractalSortUnchanged);

// The key pass alone: the same matrix set again, so the order stays and no sort runs.
void BM_FractalKeysSameMatrix(benchmark::State& state) {
    Fractal& fractal = BuiltFractal();
    const Mat4 m = Translation(0.0f, 0.0f, -500.0f);
    for (auto _ : state) {
        fractal.SetModelMatrix(m);
        SortFaces(fractal.sortEntries, fractal.viewMatrix, fractal.modelMatrix, fractal.dirty);
    }
    state.SetItemsProcessed(state.iterations() * fractal.sortEntries.count);
}
BENCHMARK(BM_FractalKeysSameMatrix);

// Draw's sort step after the collectible moved a little towards the player (the game's
// usual frame): keys recomputed, order mostly kept.
void BM_FractalSortAfterSmallMove(benchmark::State& state) {
    Fractal& fractal = BuiltFractal();
    float z = -1500.0f;
    for (auto _ : state) {
        z += 0.5f;
        if (z > 0.0f) z = -1500.0f;
        fractal.SetModelMatrix(Translation(10.0f, -5.0f, z));
        SortFaces(fractal.sortEntries, fractal.viewMatrix, fractal.modelMatrix, fractal.dirty);
    }
    state.SetItemsProcessed(state.iterations() * fractal.sortEntries.count);
}
BENCHMARK(BM_FractalSortAfterSmallMove);

// Draw's sort step when every matrix change reorders the faces completely.
void BM_FractalSortAfterReorderingChange(benchmark::State& state) {
    Fractal& fractal = BuiltFractal();
    int flip = 0;
    for (auto _ : state) {
        flip ^= 1;
        fractal.SetModelMatrix(Translation(0.0f, flip ? 60.0f : -60.0f, flip ? 40.0f : -40.0f));
        SortFaces(fractal.sortEntries, fractal.viewMatrix, fractal.modelMatrix, fractal.dirty);
    }
    state.SetItemsProcessed(state.iterations() * fractal.sortEntries.count);
}
BENCHMARK(BM_FractalSortAfterReorderingChange);

// Full Draw (sort plus both passes at level 4, 1024 faces) with and without a matrix
// change; glFinish keeps the GL work inside the measured time.
void FractalDraw(benchmark::State& state, bool moveEveryFrame) {
    if (!Context().Ok()) {
        state.SkipWithError("no GL context (run under xvfb-run)");
        return;
    }
    Fractal& fractal = BuiltFractal();
    fractal.SetModelMatrix(Translation(0.0f, 0.0f, 0.0f));
    int flip = 0;
    for (auto _ : state) {
        if (moveEveryFrame) {
            flip ^= 1;
            fractal.SetModelMatrix(Translation(0.0f, flip ? 60.0f : -60.0f, flip ? 40.0f : -40.0f));
        }
        fractal.Draw(0.78539819f);
        glFinish();
    }
}
void BM_FractalDrawUnchanged(benchmark::State& state) { FractalDraw(state, false); }
void BM_FractalDrawMatrixChange(benchmark::State& state) { FractalDraw(state, true); }
BENCHMARK(BM_FractalDrawUnchanged)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FractalDrawMatrixChange)->Unit(benchmark::kMicrosecond);

// The two small kinds, drawn as the game draws the current collectible: a new matrix
// every frame.
template <typename Kind>
void BM_CubeKindDraw(benchmark::State& state) {
    if (!Context().Ok()) {
        state.SkipWithError("no GL context (run under xvfb-run)");
        return;
    }
    Kind kind;
    kind.Build();
    float t = 0.0f;
    for (auto _ : state) {
        t += 0.016f;
        kind.SetModelMatrix(Translation(0.0f, 0.0f, -t));
        kind.Draw(t);
        glFinish();
    }
}
BENCHMARK_TEMPLATE(BM_CubeKindDraw, Atom)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_CubeKindDraw, Flower)->Unit(benchmark::kMicrosecond);

}  // namespace
