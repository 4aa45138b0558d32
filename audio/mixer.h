// The synthesizer's output stage: the drone and the sounds playing now, mixed into
// 16-bit stereo. A soft limiter above 0.8 of full scale keeps any pile-up of sounds
// under full scale, so nothing ever clips.
#pragma once

#include <cstdint>

#include "audio/drone.h"
#include "audio/voice.h"

// Where the cues send the sounds they call for.
class SoundSink {
public:
    virtual ~SoundSink() = default;
    virtual void Play(Sound sound, int delaySamples = 0) = 0;
    virtual void StopAll() = 0;
};

class Mixer : public SoundSink {
public:
    static constexpr int kMaxVoices = 12;
    // The whole mix is raised by this before the limiter, to a player's level: a flight
    // measured -31 to -33 LUFS integrated (ffmpeg's ebur128 on SDL's disk output) at 1,
    // about -20 at this gain, its peaks still well under the limiter's knee.
    static constexpr float kMasterGain = 3.6f;

    // Starts `sound` after `delaySamples`. With every voice busy, the one nearest its end
    // gives way.
    void Play(Sound sound, int delaySamples = 0) override;
    // Stops every sound and lets the drone fall silent.
    void StopAll() override;
    // While silent (muted, paused) the output is zeros at once, Play does nothing and
    // the drone starts from nothing again afterwards.
    void SetSilent(bool silent);
    bool Silent() const { return silent_; }
    Drone& drone() { return drone_; }
    const Drone& drone() const { return drone_; }
    int ActiveVoices() const;

    // Renders `frames` stereo samples, interleaved left, right.
    void Render(int16_t* out, int frames);

private:
    Drone drone_;
    Voice voices_[kMaxVoices];
    bool busy_[kMaxVoices] = {};
    bool silent_ = false;
};

// The limiter on its own: the identity up to 0.8, then a curve that nears 1 and never
// reaches it.
float SoftLimit(float x);
