#include "audio/sound_shapes.h"

namespace {

// A5 = 880 Hz; C#6 and E6 are equal-tempered, as a player's ear expects from a chime.
const SoundShape kShapes[(int)Sound::Count] = {
    // startHz   endHz     seconds attack  level  overtone pan
    {1760.00f, 1760.00f, 0.060f, 0.002f, 0.16f, 0.00f, 0.0f},   // Tick: A6
    {440.00f, 880.00f, 0.450f, 0.030f, 0.18f, 0.25f, 0.0f},     // SlideSweep: A4 up to A5
    {880.00f, 880.00f, 0.350f, 0.004f, 0.22f, 0.30f, -0.2f},    // AtomChime: A5
    {1108.73f, 1108.73f, 0.450f, 0.004f, 0.20f, 0.30f, 0.0f},   // FlowerChime: C#6
    {1318.51f, 1318.51f, 0.600f, 0.004f, 0.20f, 0.40f, 0.2f},   // FractalChime: E6
    {329.63f, 329.63f, 0.200f, 0.040f, 0.09f, 0.10f, 0.0f},     // MeterWarning: E4
    {110.00f, 98.00f, 0.120f, 0.005f, 0.30f, 0.15f, 0.0f},      // HeartLub: A2, dropping
    {82.41f, 73.42f, 0.110f, 0.005f, 0.24f, 0.15f, 0.0f},       // HeartDub: E2, dropping
    {440.00f, 220.00f, 1.200f, 0.020f, 0.24f, 0.20f, 0.0f},     // GameOverFall: A4 down to A3
    {880.00f, 880.00f, 0.220f, 0.004f, 0.20f, 0.30f, -0.15f},   // BestA5
    {1108.73f, 1108.73f, 0.220f, 0.004f, 0.20f, 0.30f, -0.05f}, // BestCs6
    {1318.51f, 1318.51f, 0.260f, 0.004f, 0.20f, 0.30f, 0.05f},  // BestE6
    {1760.00f, 1760.00f, 0.600f, 0.004f, 0.20f, 0.40f, 0.15f},  // BestA6
};

}  // namespace

const SoundShape& ShapeOf(Sound sound) { return kShapes[(int)sound]; }
