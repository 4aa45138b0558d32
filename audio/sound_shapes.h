// The game's sounds: short sine gestures, all in A major and soft, so that anything that
// happens at once still sounds like one piece. Each is a pitch that glides (or holds),
// an envelope and an optional octave partial that makes a chime ring like a bell.
#pragma once

const int kSampleRate = 44100;

enum class Sound {
    Tick,          // the countdown's 3, 2 and 1
    SlideSweep,    // "SLIDE !"
    AtomChime,
    FlowerChime,
    FractalChime,
    MeterWarning,  // a zone meter is full
    HeartLub,      // low energy: the heartbeat's first stroke
    HeartDub,      // and its second
    GameOverFall,
    // A new best flight: A5, C#6, E6, A6 rising, kBestNoteEvery apart.
    BestA5,
    BestCs6,
    BestE6,
    BestA6,
    Count
};

struct SoundShape {
    float startHz;
    float endHz;          // the pitch glides exponentially from startHz to endHz
    float seconds;
    float attackSeconds;  // linear rise; the rest is a quadratic fade to nothing
    float level;          // peak amplitude, full scale 1
    float overtone;       // the octave partial's level relative to the fundamental
    float pan;            // -1 left, 0 centre, 1 right
};

const SoundShape& ShapeOf(Sound sound);

const float kBestNoteEvery = 0.11f;  // seconds between the new best figure's notes

// The drone's chord, one voice per field source: A2, E3, A3, C#4 in just intonation, so
// the four never beat against each other.
const float kDroneHz[4] = {110.0f, 165.0f, 220.0f, 275.0f};
