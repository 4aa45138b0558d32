// One sound as it plays: where it is in its shape, its phase, and how long it still
// waits before it starts.
#pragma once

#include "audio/sound_shapes.h"

struct Voice {
    Sound sound = Sound::Tick;
    int delay = 0;   // samples to wait before the first
    int played = 0;  // samples played so far
    float phase = 0.0f;
    float overtonePhase = 0.0f;
    float glide = 1.0f;      // per-sample pitch ratio
    float hz = 0.0f;         // pitch of the next sample
    int length = 0;          // samples in all
    int attack = 1;          // samples of the attack

    void Start(Sound s, int delaySamples);
    bool Finished() const { return played >= length; }
    // The next sample (mono, before panning); 0 while still waiting.
    float Next();
};
