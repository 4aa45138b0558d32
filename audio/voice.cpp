#include "audio/voice.h"

#include <cmath>

#include "audio/sine_table.h"

void Voice::Start(Sound s, int delaySamples) {
    const SoundShape& shape = ShapeOf(s);
    sound = s;
    delay = delaySamples > 0 ? delaySamples : 0;
    played = 0;
    phase = 0.0f;
    overtonePhase = 0.0f;
    length = (int)(shape.seconds * (float)kSampleRate);
    attack = (int)(shape.attackSeconds * (float)kSampleRate);
    if (attack < 1) attack = 1;
    hz = shape.startHz;
    glide = (float)std::pow((double)shape.endHz / (double)shape.startHz, 1.0 / length);
}

float Voice::Next() {
    if (delay > 0) {
        --delay;
        return 0.0f;
    }
    if (played >= length) return 0.0f;
    const SoundShape& shape = ShapeOf(sound);
    float envelope;
    if (played < attack) {
        envelope = (float)played / (float)attack;
    } else {
        const float rest = 1.0f - (float)(played - attack) / (float)(length - attack);
        envelope = rest * rest;
    }
    const float step = hz / (float)kSampleRate;
    float s = TableSine(phase) + shape.overtone * TableSine(overtonePhase);
    s *= shape.level * envelope / (1.0f + shape.overtone);
    phase += step;
    if (phase >= 1.0f) phase -= 1.0f;
    overtonePhase += 2.0f * step;
    if (overtonePhase >= 1.0f) overtonePhase -= 1.0f;
    hz *= glide;
    ++played;
    return s;
}
