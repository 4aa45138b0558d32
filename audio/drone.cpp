#include "audio/drone.h"

#include "audio/sine_table.h"
#include "audio/sound_shapes.h"

namespace {

// Per-sample approach to the target: 1 - exp(-1 / (0.05 s * 44100)).
const float kSmoothing = 0.000453411f;
// Lower voices a little left, higher a little right, as on a stage.
const float kPan[4] = {-0.35f, 0.35f, -0.15f, 0.15f};

}  // namespace

void Drone::SetTarget(const float shares[4], float presence) {
    for (int k = 0; k < 4; ++k) target_[k] = kLevel * shares[k] * presence;
}

void Drone::Quiet() {
    for (int k = 0; k < 4; ++k) target_[k] = 0.0f;
}

void Drone::Hush() {
    for (int k = 0; k < 4; ++k) target_[k] = gain_[k] = 0.0f;
}

void Drone::AddTo(float* out, int frames) {
    for (int k = 0; k < 4; ++k) {
        float gain = gain_[k];
        const float target = target_[k];
        if (gain == 0.0f && target == 0.0f) continue;
        float phase = phase_[k];
        const float step = kDroneHz[k] / (float)kSampleRate;
        const float left = 0.5f - 0.5f * kPan[k];
        const float right = 0.5f + 0.5f * kPan[k];
        for (int i = 0; i < frames; ++i) {
            gain += (target - gain) * kSmoothing;
            // A soft third partial gives the voice some body on small speakers; unlike the
            // octave it lands on no other voice of the chord.
            float third = phase * 3.0f;
            third -= (float)(int)third;
            const float s = gain * (0.85f * TableSine(phase) + 0.15f * TableSine(third));
            out[2 * i] += s * left;
            out[2 * i + 1] += s * right;
            phase += step;
            if (phase >= 1.0f) phase -= 1.0f;
        }
        if (target == 0.0f && gain < 1e-6f) gain = 0.0f;
        gain_[k] = gain;
        phase_[k] = phase;
    }
}
