// Which sounds the game's state calls for, frame by frame, on the game's own clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "audio/game_cues.h"

namespace {

struct Heard {
    float time;
    Sound sound;
    int delay;
};

class Recorder : public SoundSink {
public:
    float now = 0.0f;
    std::vector<Heard> heard;
    int stops = 0;
    void Play(Sound s, int delay) override { heard.push_back({now, s, delay}); }
    void StopAll() override { ++stops; }
    std::vector<float> TimesOf(Sound s) const {
        std::vector<float> t;
        for (const Heard& h : heard)
            if (h.sound == s) t.push_back(h.time);
        return t;
    }
};

// Plays frames of `dt` from `from` to `to`, changing the state with `step` before each.
template <typename Step>
void PlayFrames(GameCues& cues, GameState& g, Recorder& r, float from, float to, float dt, Step step) {
    for (float t = from; t <= to; t += dt) {
        g.totalTime = t;
        step(g);
        r.now = t;
        cues.Observe(g, r);
    }
}

TEST(GameCuesTest, TheCountdownIsHeardOnItsSecondsWhateverTheFrameRate) {
    const float rates[] = {1.0f / 60.0f, 1.0f / 7.0f, 0.3f};  // fast, slow, very slow
    for (float dt : rates) {
        GameCues cues;
        GameState g;
        g.frameTime = dt;
        Recorder r;
        PlayFrames(cues, g, r, 0.0f, 5.0f, dt, [](GameState&) {});
        ASSERT_EQ(r.heard.size(), 4u) << dt;
        for (int i = 0; i < 4; ++i) {
            const Heard& h = r.heard[i];
            EXPECT_EQ(h.sound, i < 3 ? Sound::Tick : Sound::SlideSweep) << dt;
            // Started at most one frame and the ring's 50 ms ahead, with the wait that
            // puts it on its second once the ring has played.
            const float ahead = (float)i - GameCues::kAhead;
            EXPECT_LE(h.time, (float)i + 1e-4f) << dt << " " << i;
            EXPECT_GT(h.time + dt + GameCues::kAhead, (float)i - 1e-4f) << dt << " " << i;
            EXPECT_NEAR(h.time + (float)h.delay / kSampleRate, std::max(ahead, h.time), 1e-4f)
                << dt << " " << i;
        }
    }
}

TEST(GameCuesTest, ACountdownSecondLongGoneIsNotCaughtUpWith) {
    GameCues cues;
    GameState g;
    g.frameTime = 0.1f;
    Recorder r;
    PlayFrames(cues, g, r, 1.5f, 2.5f, 0.1f, [](GameState&) {});
    ASSERT_EQ(r.heard.size(), 2u);  // "..2.." is on the screen: its tick, then "..1.."'s
    EXPECT_NEAR(r.heard[0].time, 1.5f, 1e-4f);
    EXPECT_EQ(r.heard[0].delay, 0);
    EXPECT_NEAR(r.heard[1].time + (float)r.heard[1].delay / kSampleRate, 2.0f - GameCues::kAhead,
                1e-3f);
}

TEST(GameCuesTest, EachCatchRingsItsOwnChimeOnce) {
    const Sound chimes[3] = {Sound::AtomChime, Sound::FlowerChime, Sound::FractalChime};
    for (int k = 0; k < 3; ++k) {
        GameCues cues;
        GameState g;
        Recorder r;
        PlayFrames(cues, g, r, 4.0f, 6.0f, 0.02f, [k](GameState& s) {
            if (s.totalTime > 5.0f) s.collected[k] = 1;
        });
        ASSERT_EQ(r.heard.size(), 1u) << k;
        EXPECT_EQ(r.heard[0].sound, chimes[k]);
        EXPECT_NEAR(r.heard[0].time, 5.0f, 0.03f);
    }
}

TEST(GameCuesTest, AFullMeterWarnsEveryFourFifthsOfASecondUntilItIsNoLongerFull) {
    GameCues cues;
    GameState g;
    Recorder r;
    PlayFrames(cues, g, r, 10.0f, 14.0f, 0.01f, [](GameState& s) {
        s.zoneMeters[2] = (s.totalTime >= 11.0f && s.totalTime < 12.9f) ? 1.8f : 1.79f;
    });
    const std::vector<float> w = r.TimesOf(Sound::MeterWarning);
    ASSERT_EQ(w.size(), 3u);  // at 11.0, 11.8 and 12.6
    EXPECT_NEAR(w[0], 11.0f, 0.011f);
    EXPECT_NEAR(w[1], 11.8f, 0.011f);
    EXPECT_NEAR(w[2], 12.6f, 0.011f);
}

TEST(GameCuesTest, TheHeartbeatStartsBelowThreeTenthsAndQuickensAsEnergyFalls) {
    struct Case {
        float energy;
        float period;  // worked out: 0.45 s near empty, 1.05 s at 0.3
    } cases[] = {{0.35f, 0.0f}, {0.3f, 0.0f}, {0.29f, 1.03f}, {0.15f, 0.75f}, {0.01f, 0.47f}};
    for (const Case& c : cases) {
        GameCues cues;
        GameState g;
        g.energy = c.energy;
        Recorder r;
        PlayFrames(cues, g, r, 10.0f, 13.0f, 0.005f, [](GameState&) {});
        const std::vector<float> lub = r.TimesOf(Sound::HeartLub);
        const std::vector<float> dub = r.TimesOf(Sound::HeartDub);
        EXPECT_EQ(lub.size(), dub.size());
        if (c.period == 0.0f) {
            EXPECT_TRUE(lub.empty()) << c.energy;
            continue;
        }
        ASSERT_GE(lub.size(), 2u) << c.energy;
        EXPECT_NEAR(lub[1] - lub[0], c.period, 0.01f) << c.energy;
        for (const Heard& h : r.heard) {
            if (h.sound == Sound::HeartDub) {
                EXPECT_EQ(h.delay, (int)(0.16f * kSampleRate));
            }
        }
    }
}

TEST(GameCuesTest, GameOverStopsEverythingFallsOnceAndThenStaysSilent) {
    GameCues cues;
    GameState g;
    g.energy = 0.1f;
    Recorder r;
    PlayFrames(cues, g, r, 20.0f, 22.0f, 0.02f, [](GameState& s) {
        if (s.totalTime > 21.0f) s.energy = 0.0f;
        s.zoneMeters[0] = 1.8f;
    });
    const std::vector<float> fall = r.TimesOf(Sound::GameOverFall);
    ASSERT_EQ(fall.size(), 1u);
    EXPECT_NEAR(fall[0], 21.0f, 0.021f);
    EXPECT_EQ(r.stops, 1);
    EXPECT_TRUE(cues.Over());
    for (const Heard& h : r.heard) EXPECT_LE(h.time, fall[0]);
}

TEST(GameCuesTest, LookingAtTheSameStateTwicePlaysNothingNew) {
    GameCues cues;
    GameState g;
    g.energy = 0.2f;
    g.zoneMeters[1] = 1.8f;
    g.collected[0] = 2;  // caught before the sound began: not chimed
    g.collected[2] = 1;
    Recorder r;
    g.totalTime = 0.0f;
    cues.Observe(g, r);
    const size_t first = r.heard.size();
    EXPECT_EQ(first, 4u);  // the first tick, the warning, the heartbeat's two strokes
    cues.Observe(g, r);
    EXPECT_EQ(r.heard.size(), first);
}

}  // namespace
