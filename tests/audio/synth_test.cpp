// The synthesizer on rendered buffers: which note each sound plays, which way the sweeps
// go, the drone's voices against the field's mix, the ceiling and the silences.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "audio/game_sound.h"
#include "audio/mixer.h"
#include "tests/support/tone_probe.h"

namespace {

std::vector<int16_t> Render(Mixer& m, float seconds) {
    const int frames = (int)(seconds * kSampleRate);
    std::vector<int16_t> out((size_t)(2 * frames));
    m.Render(out.data(), frames);
    return out;
}

std::vector<float> PlayAlone(Sound s, float seconds) {
    Mixer m;
    m.Play(s);
    std::vector<int16_t> out = Render(m, seconds);
    return tone::Mono(out.data(), (int)out.size() / 2);
}

int Peak(const std::vector<int16_t>& out) {
    int peak = 0;
    for (int16_t v : out) peak = std::max(peak, std::abs((int)v));
    return peak;
}

const int kWindow = kSampleRate / 10;  // 0.1 s: about 10 Hz apart can be told apart

// The notes, worked out from A4 = 440 Hz: A6, A5, C#6 and E6 (equal temperament), E4.
struct NoteCase {
    Sound sound;
    double hz;
    const char* name;
};
const NoteCase kNotes[] = {
    {Sound::Tick, 1760.0, "tick A6"},
    {Sound::AtomChime, 880.0, "atom A5"},
    {Sound::FlowerChime, 1108.73, "flower C#6"},
    {Sound::FractalChime, 1318.51, "fractal E6"},
    {Sound::MeterWarning, 329.63, "warning E4"},
};

TEST(SynthTest, EachSoundPlaysItsNote) {
    for (const NoteCase& c : kNotes) {
        const std::vector<float> s = PlayAlone(c.sound, 0.3f);
        const int n = c.sound == Sound::Tick ? kSampleRate / 20 : kWindow;
        const double f = tone::Strongest(s, kSampleRate, 200.0, 3000.0, 2.0, 0, n);
        const double tolerance = c.sound == Sound::Tick ? 25.0 : 8.0;
        EXPECT_NEAR(f, c.hz, tolerance) << c.name;
    }
}

TEST(SynthTest, TheChimesAreToldApartByEar) {
    // Each chime is loud at its own note and quiet at the others' (at most a fifth).
    const Sound chimes[3] = {Sound::AtomChime, Sound::FlowerChime, Sound::FractalChime};
    const double notes[3] = {880.0, 1108.73, 1318.51};
    for (int k = 0; k < 3; ++k) {
        const std::vector<float> s = PlayAlone(chimes[k], 0.2f);
        const double own = tone::Amplitude(s, kSampleRate, notes[k], 0, kWindow);
        EXPECT_GT(own, 0.02) << k;
        for (int j = 0; j < 3; ++j) {
            if (j == k) continue;
            EXPECT_LT(tone::Amplitude(s, kSampleRate, notes[j], 0, kWindow), own / 5) << k;
        }
    }
}

// The gliding sounds: the pitch near the start and near the end, worked out from the
// notes (A4 = 440 Hz) and the exponential glide between them, at the middle of each
// measured stretch.
struct GlideCase {
    Sound sound;
    double startHz, endHz, seconds;
    double window;  // seconds measured at each end
    const char* name;
};
const GlideCase kGlides[] = {
    {Sound::SlideSweep, 440.0, 880.0, 0.45, 0.05, "SLIDE sweep, A4 up to A5"},
    {Sound::GameOverFall, 440.0, 220.0, 1.2, 0.1, "end, A4 down to A3"},
    {Sound::HeartLub, 110.0, 98.0, 0.12, 0.04, "heartbeat's first stroke, A2 dropping to G2"},
    {Sound::HeartDub, 82.41, 73.42, 0.11, 0.04, "heartbeat's second stroke, E2 dropping to D2"},
};

double GlideAt(const GlideCase& c, double t) {
    return c.startHz * std::pow(c.endHz / c.startHz, t / c.seconds);
}

TEST(SynthTest, TheGlidesRunBetweenTheirNotes) {
    for (const GlideCase& c : kGlides) {
        const std::vector<float> s = PlayAlone(c.sound, (float)c.seconds);
        const int w = (int)(c.window * kSampleRate);
        const int last = (int)(c.seconds * kSampleRate) - w;
        const double low = std::min(c.startHz, c.endHz) * 0.6;
        const double high = std::max(c.startHz, c.endHz) * 1.4;
        const double step = low / 200.0;
        // The fade makes the end's tone weigh most at the stretch's start: a few per cent.
        const double tolerance = 0.04 * c.startHz;
        EXPECT_NEAR(tone::Strongest(s, kSampleRate, low, high, step, 0, w),
                    GlideAt(c, 0.5 * c.window), tolerance) << c.name << ", start";
        EXPECT_NEAR(tone::Strongest(s, kSampleRate, low, high, step, last, w),
                    GlideAt(c, c.seconds - 0.5 * c.window), tolerance) << c.name << ", end";
    }
}

TEST(SynthTest, EverySoundEndsInSilence) {
    for (int s = 0; s < (int)Sound::Count; ++s) {
        Mixer m;
        m.Play((Sound)s);
        Render(m, 1.5f);
        EXPECT_EQ(m.ActiveVoices(), 0) << s;
        EXPECT_EQ(Peak(Render(m, 0.05f)), 0) << s;
    }
}

// Shares of the four sources; each voice must carry its share of the drone.
TEST(SynthTest, TheDroneVoicesFollowTheFieldsMix) {
    const float mixes[][4] = {
        {1.0f, 0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f, 0.0f}, {0.5f, 0.5f, 0.0f, 0.0f},
        {0.1f, 0.2f, 0.3f, 0.4f}, {0.25f, 0.25f, 0.25f, 0.25f},
    };
    const double voiceHz[4] = {110.0, 165.0, 220.0, 275.0};
    for (const auto& shares : mixes) {
        Mixer m;
        m.drone().SetTarget(shares, 1.0f);
        Render(m, 0.5f);  // the loudness settles in a twentieth of a second
        std::vector<int16_t> out = Render(m, 0.2f);
        const std::vector<float> s = tone::Mono(out.data(), (int)out.size() / 2);
        double amp[4], sum = 0.0;
        for (int k = 0; k < 4; ++k) sum += amp[k] = tone::Amplitude(s, kSampleRate, voiceHz[k], 0, (int)s.size());
        ASSERT_GT(sum, 0.01);
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(amp[k] / sum, shares[k], 0.02) << k << " of " << shares[0] << "," << shares[1] << "," << shares[2] << "," << shares[3];
    }
}

TEST(SynthTest, TheDroneThinsOutOutsideTheField) {
    const float shares[4] = {0.25f, 0.25f, 0.25f, 0.25f};
    Mixer inside, edge;
    inside.drone().SetTarget(shares, 0.9f);
    edge.drone().SetTarget(shares, 0.1f);
    Render(inside, 0.5f);
    Render(edge, 0.5f);
    EXPECT_GT(Peak(Render(inside, 0.1f)), 5 * Peak(Render(edge, 0.1f)));
}

TEST(SynthTest, NoSampleGoesPastFullScaleWhateverPlaysAtOnce) {
    Mixer m;
    const float one[4] = {1.0f, 0.0f, 0.0f, 0.0f};
    m.drone().SetTarget(one, 1.0f);
    Render(m, 0.3f);
    // Every voice on the loudest sound, all in step: together nearly twice full scale.
    for (int v = 0; v < Mixer::kMaxVoices; ++v) m.Play(Sound::HeartLub);
    const std::vector<int16_t> out = Render(m, 0.2f);
    // Loud enough that without the limiter it would pass full scale, and still inside.
    EXPECT_GT(Peak(out), 26000);
    EXPECT_LT(Peak(out), 32767);
    // A sample pushed past full scale would wrap round to the other sign: a jump no sound
    // here makes (the highest partial, 2.6 kHz at full scale, moves 12300 per sample).
    int jump = 0;
    for (size_t i = 2; i < out.size(); ++i) jump = std::max(jump, std::abs(out[i] - out[i - 2]));
    EXPECT_LT(jump, 16384);
    EXPECT_LT(SoftLimit(100.0f), 1.0f);
    EXPECT_GT(SoftLimit(-1e20f), -1.0f);
    EXPECT_EQ(SoftLimit(0.5f), 0.5f);
}

TEST(SynthTest, SilentAtOnceWhenMutedOrPausedAndWhatHappenedMeanwhileStaysUnplayed) {
    ContourLandscape land;
    land.ready = 0;  // the drone has nothing to follow: only the chimes are heard
    for (int how = 0; how < 2; ++how) {
        GameSound sound;
        GameState g;
        g.totalTime = 5.0f;
        sound.Follow(g, land);
        g.totalTime = 5.1f;
        g.collected[2] = 1;  // a catch: the fractal's chime
        if (how == 0) sound.SetMuted(true); else g.paused = 1;
        sound.Follow(g, land);
        EXPECT_EQ(Peak(Render(sound.mixer(), 0.3f)), 0) << how;
        if (how == 0) sound.SetMuted(false); else g.paused = 0;
        g.totalTime = 5.2f;
        sound.Follow(g, land);
        EXPECT_EQ(Peak(Render(sound.mixer(), 0.3f)), 0) << how;
        g.collected[0] = 1;  // a catch heard again once the sound is back
        sound.Follow(g, land);
        EXPECT_GT(Peak(Render(sound.mixer(), 0.1f)), 1000) << how;
    }
}

TEST(SynthTest, MutingCutsAChimeThatIsPlaying) {
    ContourLandscape land;
    land.ready = 0;
    GameSound sound;
    GameState g;
    g.totalTime = 5.0f;
    sound.Follow(g, land);
    g.collected[1] = 1;
    sound.Follow(g, land);
    EXPECT_GT(Peak(Render(sound.mixer(), 0.05f)), 1000);
    sound.SetMuted(true);
    sound.Follow(g, land);
    EXPECT_EQ(Peak(Render(sound.mixer(), 0.05f)), 0);
}

}  // namespace
