#include "audio/game_cues.h"

namespace {

// The countdown's numbers appear at these play times; "SLIDE !" once the time is past 3.
const float kTicks[3] = {0.0f, 1.0f, 2.0f};
const float kSlideAfter = 3.0f;
const float kFullMeter = 1.8f;

}  // namespace

void GameCues::Observe(const GameState& g, SoundSink& mixer) {
    const float t = g.totalTime;
    if (over_) return;
    if (!(g.energy > 0.0f)) {
        over_ = true;
        mixer.StopAll();
        mixer.Play(Sound::GameOverFall);
        return;
    }

    // Only the number on the screen now: sound that starts late does not catch up.
    for (float tick : kTicks)
        if ((!seen_ || lastTime_ < tick) && t >= tick && t < tick + 1.0f) mixer.Play(Sound::Tick);
    if (seen_ && lastTime_ <= kSlideAfter && t > kSlideAfter) mixer.Play(Sound::SlideSweep);

    static const Sound kChimes[3] = {Sound::AtomChime, Sound::FlowerChime, Sound::FractalChime};
    for (int k = 0; k < 3; ++k) {
        if (seen_ && g.collected[k] > collected_[k]) mixer.Play(kChimes[k]);
        collected_[k] = g.collected[k];
    }

    bool full = false;
    for (float m : g.zoneMeters) full = full || m >= kFullMeter;
    if (!full) {
        nextWarning_ = -1.0f;
    } else if (nextWarning_ < 0.0f || t >= nextWarning_) {
        mixer.Play(Sound::MeterWarning);
        nextWarning_ = t + kWarningEvery;
    }

    if (!(g.energy < kLowEnergy)) {
        nextBeat_ = -1.0f;
    } else if (nextBeat_ < 0.0f || t >= nextBeat_) {
        mixer.Play(Sound::HeartLub);
        mixer.Play(Sound::HeartDub, (int)(kDubAfter * (float)kSampleRate));
        const float period = kFastBeat + (kSlowBeat - kFastBeat) * (g.energy / kLowEnergy);
        nextBeat_ = t + period;
    }

    seen_ = true;
    lastTime_ = t;
}
