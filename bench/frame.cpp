// A whole frame of the game with the fractal as the current collectible, in front of the
// ship: timing, camera, landscape (with a slice generated now and then), ship, fractal
// (keys recomputed every frame as it approaches), icons and the head-up display, on
// llvmpipe. Run under an X server (xvfb-run -a ./bench_frame).
#include <benchmark/benchmark.h>

#include "game/world.h"
#include "tests/support/game/game_harness.h"

namespace {

GameHarness& Harness() {
    static GameHarness* harness = new GameHarness();
    return *harness;
}

void BM_WholeFrameWithTheFractal(benchmark::State& state) {
    GameHarness& h = Harness();
    if (!h.Ok()) {
        state.SkipWithError("no GL context or data files (run under xvfb-run)");
        return;
    }
    h.NewGame();
    for (int i = 0; i < 120; ++i) h.Frame(1.0 / 60.0);  // fill the ring
    for (auto _ : state) {
        // Keep the fractal in view and the game running.
        if (game.collectibleMatrix.m[14] < 300.0f || game.collectibleKind != 2) {
            game.collectibleMatrix.Identity();
            game.collectibleMatrix.m[14] = 1500.0f;
            game.collectibleActive = 1;
            game.collectibleKind = 2;
        }
        game.energy = 1.8f;
        h.Frame(1.0 / 60.0);
        glFinish();
    }
}
BENCHMARK(BM_WholeFrameWithTheFractal)->Unit(benchmark::kMillisecond);

}  // namespace
