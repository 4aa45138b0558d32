// What the sound costs a frame: mixing one 60 Hz frame's audio (735 stereo samples) with
// the drone's four voices and a busy moment's sounds, and following the game's state
// (the cues and the field's mix at the ship). A frame has 16.7 ms; this should take a
// few hundredths of a millisecond.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "audio/game_sound.h"
#include "audio/mixer.h"

namespace {

const int kFrameSamples = 44100 / 60;

void BM_MixOneFrame(benchmark::State& state) {
    Mixer mixer;
    const float shares[4] = {0.4f, 0.3f, 0.2f, 0.1f};
    mixer.drone().SetTarget(shares, 0.8f);
    std::vector<int16_t> out(2 * kFrameSamples);
    const int sounds = (int)state.range(0);
    for (auto _ : state) {
        // Keep `sounds` voices playing: restart them as they end.
        if (mixer.ActiveVoices() < sounds)
            for (int i = mixer.ActiveVoices(); i < sounds; ++i) mixer.Play(Sound::FractalChime);
        mixer.Render(out.data(), kFrameSamples);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kFrameSamples);
}
// The drone alone, a catch with the warning and the heartbeat, every voice busy.
BENCHMARK(BM_MixOneFrame)->Arg(0)->Arg(4)->Arg(Mixer::kMaxVoices);

void BM_FollowTheGame(benchmark::State& state) {
    ContourLandscape land;
    GameSound sound;
    GameState g;
    g.energy = 1.0f;
    for (auto _ : state) {
        g.totalTime += 1.0f / 60.0f;
        g.frameTime = 1.0f / 60.0f;
        g.worldOffset.x = 100.0f * (float)((int)(g.totalTime * 10.0f) % 7);
        sound.Follow(g, land);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FollowTheGame);

}  // namespace
