// The synthesizer as the game drives it: after every frame it follows the game's state
// (cues, the field's mix at the ship) and is silent while muted or paused.
#pragma once

#include "audio/field_mix.h"
#include "audio/game_cues.h"
#include "audio/mixer.h"
#include "game/game_state.h"
#include "landscape/contour_landscape.h"

// A new best flight: A5, C#6, E6, A6 rising, kBestNoteEvery apart.
void PlayNewBestFigure(SoundSink& sink);

class GameSound {
public:
    // `ahead`: how long a sound started now waits in the output before it is heard.
    void Follow(const GameState& g, const ContourLandscape& land, float ahead = GameCues::kAhead);
    void SetMuted(bool muted) { muted_ = muted; }
    // A new flight: nothing playing, no cue heard yet.
    void Restart();
    bool Muted() const { return muted_; }
    Mixer& mixer() { return mixer_; }

private:
    Mixer mixer_;
    GameCues cues_;
    FieldListener listener_;
    bool muted_ = false;
};
