// Turns the game's state after a frame into the sounds it calls for: the countdown's
// ticks and the "SLIDE !" sweep as the play time passes them, a chime for each new
// catch, the warning while a zone meter is full, the heartbeat while energy is low and
// the fall at game over. Timing follows the game's own clock (its total play time), so a
// replay sounds as the game did. Looking at the same state twice plays nothing new.
//
// The countdown is heard on its seconds, not at the end of whichever frame passes them:
// a sound started now is heard once the output's ring (`ahead`: kAhead, or more while
// the output keeps more queued after a late frame) has played, so when the
// next frame (as long as this one) plus the ring will pass a second, its sound is started
// now with the delay that puts it on the second. A frame that takes long to draw (the
// first one, the first with "SLIDE !") then finds the sound already in the ring.
#pragma once

#include "audio/mixer.h"
#include "game/game_state.h"

class GameCues {
public:
    void Observe(const GameState& g, SoundSink& mixer, float ahead = kAhead);
    bool Over() const { return over_; }

    static constexpr float kAhead = 0.05f;  // the output ring: WaveOutStream's steady 50 ms
    static constexpr float kLowEnergy = 0.3f;
    static constexpr float kWarningEvery = 0.8f;  // seconds of play between warnings
    static constexpr float kDubAfter = 0.16f;     // the heartbeat's second stroke
    // The heartbeat's period: from kSlowBeat at kLowEnergy down to kFastBeat near 0.
    static constexpr float kSlowBeat = 1.05f;
    static constexpr float kFastBeat = 0.45f;

private:
    int countdownDone_ = 0;  // ticks and the sweep played (or passed) so far, of 4
    bool seen_ = false;
    float lastTime_ = 0.0f;
    int collected_[3] = {0, 0, 0};
    float nextWarning_ = -1.0f;  // -1: no meter was full last time
    float nextBeat_ = -1.0f;     // -1: the energy was not low last time
    bool over_ = false;
};
