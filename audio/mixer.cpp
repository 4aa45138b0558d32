#include "audio/mixer.h"

#include <cmath>

namespace {

const float kKnee = 0.8f;
const float kCeiling = 32766.0f / 32767.0f;
const int kChunk = 256;

}  // namespace

float SoftLimit(float x) {
    const float a = std::fabs(x);
    if (a <= kKnee) return x;
    // over / (1 + over) nears 1 slowly; the cap keeps float rounding off full scale.
    const float over = (a - kKnee) / (1.0f - kKnee);
    float y = kKnee + (1.0f - kKnee) * (over / (1.0f + over));
    if (!(y < kCeiling)) y = kCeiling;
    return x < 0.0f ? -y : y;
}

void Mixer::Play(Sound sound, int delaySamples) {
    if (silent_) return;
    int slot = -1;
    int leastLeft = 0;
    for (int i = 0; i < kMaxVoices; ++i) {
        if (!busy_[i]) {
            slot = i;
            break;
        }
        const Voice& v = voices_[i];
        const int left = v.delay + v.length - v.played;
        if (slot < 0 || left < leastLeft) {
            slot = i;
            leastLeft = left;
        }
    }
    voices_[slot].Start(sound, delaySamples);
    busy_[slot] = true;
}

void Mixer::StopAll() {
    for (int i = 0; i < kMaxVoices; ++i) busy_[i] = false;
    drone_.Quiet();
}

void Mixer::SetSilent(bool silent) {
    if (silent && !silent_) {
        StopAll();
        drone_.Hush();
    }
    silent_ = silent;
}

int Mixer::ActiveVoices() const {
    int n = 0;
    for (int i = 0; i < kMaxVoices; ++i) n += busy_[i] ? 1 : 0;
    return n;
}

void Mixer::Render(int16_t* out, int frames) {
    if (silent_) {
        for (int i = 0; i < 2 * frames; ++i) out[i] = 0;
        return;
    }
    float mix[2 * kChunk];
    while (frames > 0) {
        const int n = frames < kChunk ? frames : kChunk;
        for (int i = 0; i < 2 * n; ++i) mix[i] = 0.0f;
        drone_.AddTo(mix, n);
        for (int v = 0; v < kMaxVoices; ++v) {
            if (!busy_[v]) continue;
            Voice& voice = voices_[v];
            const float pan = ShapeOf(voice.sound).pan;
            const float left = 0.5f - 0.5f * pan;
            const float right = 0.5f + 0.5f * pan;
            for (int i = 0; i < n; ++i) {
                const float s = voice.Next();
                mix[2 * i] += s * left;
                mix[2 * i + 1] += s * right;
            }
            if (voice.Finished()) busy_[v] = false;
        }
        for (int i = 0; i < 2 * n; ++i) out[i] = (int16_t)std::lrint(SoftLimit(mix[i] * kMasterGain) * 32767.0f);
        out += 2 * n;
        frames -= n;
    }
}
