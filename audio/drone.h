// The field made audible: four held voices, one per source, on the chord of kDroneHz.
// Each voice's loudness follows its source's share of the field where the ship is,
// scaled by how deep in the field the ship flies. Loudness moves towards its target
// smoothly (a twentieth of a second), so a frame's jump in the mix never clicks.
#pragma once

class Drone {
public:
    // Each source's share (summing to 1, or all 0) and the field's presence (0 outside,
    // towards 1 deep inside).
    void SetTarget(const float shares[4], float presence);
    // Adds `frames` stereo samples to out (interleaved left, right).
    void AddTo(float* out, int frames);
    // Loudness now falls to nothing and stays there; SetTarget brings it back.
    void Quiet();
    // Silent now, without a fade.
    void Hush();
    float Gain(int voice) const { return gain_[voice]; }

    // The whole drone's level when one source has the field to itself at full presence.
    static constexpr float kLevel = 0.14f;

private:
    float target_[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float gain_[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float phase_[4] = {0.0f, 0.0f, 0.0f, 0.0f};
};
