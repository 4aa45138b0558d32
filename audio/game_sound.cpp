#include "audio/game_sound.h"

void GameSound::Follow(const GameState& g, const ContourLandscape& land, float ahead) {
    mixer_.SetSilent(muted_ || g.paused != 0);
    // The cues follow even in silence, so that what happened meanwhile is not played
    // when the sound comes back.
    cues_.Observe(g, mixer_, ahead);
    if (mixer_.Silent() || cues_.Over()) return;
    const FieldMix mix = listener_.Listen(land, g.worldOffset);
    mixer_.drone().SetTarget(mix.shares, mix.presence);
}

void GameSound::Restart() {
    mixer_.StopAll();
    cues_ = GameCues();
}

void PlayNewBestFigure(SoundSink& sink) {
    static const Sound kFigure[4] = {Sound::BestA5, Sound::BestCs6, Sound::BestE6, Sound::BestA6};
    for (int i = 0; i < 4; ++i)
        sink.Play(kFigure[i], (int)(kBestNoteEvery * (float)i * (float)kSampleRate + 0.5f));
}
