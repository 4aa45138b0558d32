#include "audio/game_cues.h"

namespace {

// The countdown's numbers appear at these play times, then "SLIDE !".
const float kCountdown[4] = {0.0f, 1.0f, 2.0f, 3.0f};
const float kFullMeter = 1.8f;

}  // namespace

void GameCues::Observe(const GameState& g, SoundSink& mixer, float ahead) {
    const float t = g.totalTime;
    if (over_) return;
    if (!(g.energy > 0.0f)) {
        over_ = true;
        mixer.StopAll();
        mixer.Play(Sound::GameOverFall);
        return;
    }

    for (; countdownDone_ < 4; ++countdownDone_) {
        const float mark = kCountdown[countdownDone_];
        // A mark long gone (the sound began late) is not caught up with.
        if (t >= mark + 1.0f) continue;
        if (t + g.frameTime + ahead < mark) break;
        const float wait = mark - ahead > t ? mark - ahead - t : 0.0f;
        mixer.Play(countdownDone_ < 3 ? Sound::Tick : Sound::SlideSweep,
                   (int)(wait * (float)kSampleRate + 0.5f));
    }

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
