// The choices the mixer makes on the way to the output, each seen in rendered samples:
// where a voice sits in the stereo field, which voice gives way when all are busy, when a
// sound that was started with a delay begins, and the heartbeat's two strokes apart.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "audio/game_sound.h"
#include "audio/mixer.h"
#include "tests/support/tone_probe.h"

namespace {

std::vector<int16_t> Render(Mixer& m, double seconds) {
    const int frames = (int)(seconds * kSampleRate);
    std::vector<int16_t> out((size_t)(2 * frames));
    m.Render(out.data(), frames);
    return out;
}

// Root mean square of one channel (0 left, 1 right).
double Rms(const std::vector<int16_t>& out, int channel) {
    double sum = 0.0;
    for (size_t i = (size_t)channel; i < out.size(); i += 2) sum += (double)out[i] * out[i];
    return std::sqrt(sum / (double)(out.size() / 2));
}

// The first stereo frame with any sound in it, or -1.
int FirstSound(const std::vector<int16_t>& out) {
    for (size_t i = 0; i < out.size(); ++i)
        if (out[i] != 0) return (int)(i / 2);
    return -1;
}

// Left over right, worked out from the pan law: left 0.5 - 0.5 pan, right 0.5 + 0.5 pan.
double Balance(double pan) { return (0.5 - 0.5 * pan) / (0.5 + 0.5 * pan); }

TEST(MixerChoicesTest, EachSoundSitsWhereItsPanPutsIt) {
    struct Case {
        Sound sound;
        double pan;
        const char* name;
    } cases[] = {
        {Sound::AtomChime, -0.2, "atom, a little left"},
        {Sound::FlowerChime, 0.0, "flower, in the middle"},
        {Sound::FractalChime, 0.2, "fractal, a little right"},
    };
    for (const Case& c : cases) {
        Mixer m;
        m.Play(c.sound);
        const std::vector<int16_t> out = Render(m, 0.3);
        EXPECT_NEAR(Rms(out, 0) / Rms(out, 1), Balance(c.pan), 0.01) << c.name;
    }
}

TEST(MixerChoicesTest, EachDroneVoiceSitsOnItsSideOfTheStage) {
    // Lower voices a little left, higher a little right.
    const double pans[4] = {-0.35, 0.35, -0.15, 0.15};
    for (int k = 0; k < 4; ++k) {
        Mixer m;
        float shares[4] = {0.0f, 0.0f, 0.0f, 0.0f};
        shares[k] = 1.0f;
        m.drone().SetTarget(shares, 1.0f);
        Render(m, 0.5);  // the loudness settles
        const std::vector<int16_t> out = Render(m, 0.2);
        EXPECT_NEAR(Rms(out, 0) / Rms(out, 1), Balance(pans[k]), 0.01) << "voice " << k;
    }
}

// Every voice busy: eleven wait (silent) for ten seconds before a short warning, one plays
// the fractal's chime. A new sound takes the voice with the least left to play, counting
// the wait: the chime's, so the chime stops and every waiting sound stays.
TEST(MixerChoicesTest, WithEveryVoiceBusyTheOneNearestItsEndGivesWay) {
    Mixer m;
    const int wait = 10 * kSampleRate;
    for (int v = 0; v + 1 < Mixer::kMaxVoices; ++v) m.Play(Sound::MeterWarning, wait);
    m.Play(Sound::FractalChime);
    Render(m, 0.05);
    ASSERT_EQ(m.ActiveVoices(), Mixer::kMaxVoices);
    m.Play(Sound::AtomChime);
    std::vector<int16_t> out = Render(m, 0.1);
    std::vector<float> s = tone::Mono(out.data(), (int)out.size() / 2);
    EXPECT_GT(tone::Amplitude(s, kSampleRate, 880.0, 0, (int)s.size()), 0.03) << "the new chime";
    EXPECT_LT(tone::Amplitude(s, kSampleRate, 1318.51, 0, (int)s.size()), 0.002)
        << "the fractal's chime, nearest its end, gave way";
    EXPECT_EQ(m.ActiveVoices(), Mixer::kMaxVoices);
}

TEST(MixerChoicesTest, ADelayedSoundBeginsOnItsSampleAndNotBefore) {
    const int delays[] = {0, 1, 441, 7056};  // nothing, one sample, 10 ms, 0.16 s
    for (int delay : delays) {
        Mixer m;
        m.Play(Sound::Tick, delay);
        const std::vector<int16_t> out = Render(m, 0.3);
        // The attack's first sample is 0 (it rises from nothing); the second is heard.
        EXPECT_EQ(FirstSound(out), delay + 1) << delay;
    }
}

// The heartbeat as the game plays it: the first stroke (0.12 s) ends, a short hush, the
// second stroke 0.16 s after the first.
TEST(MixerChoicesTest, TheHeartbeatsTwoStrokesSoundApart) {
    ContourLandscape land;
    land.ready = 0;  // no drone: only the heartbeat
    GameSound sound;
    GameState g;
    g.totalTime = 10.0f;
    g.energy = 0.2f;
    sound.Follow(g, land);
    const std::vector<int16_t> out = Render(sound.mixer(), 0.3);
    const int lub = FirstSound(out);
    ASSERT_GE(lub, 0);
    EXPECT_LE(lub, 2);
    const int dub = (int)(GameCues::kDubAfter * kSampleRate);
    std::vector<int16_t> hush(out.begin() + 2 * (int)(0.121 * kSampleRate), out.begin() + 2 * dub);
    EXPECT_EQ(FirstSound(hush), -1) << "nothing between the strokes";
    std::vector<int16_t> second(out.begin() + 2 * dub, out.end());
    // A low sine from nothing: its first samples round to 0.
    EXPECT_LE(FirstSound(second), 4) << "the second stroke on its time";
    EXPECT_GT(Rms(second, 0), 500.0);
}

}  // namespace
