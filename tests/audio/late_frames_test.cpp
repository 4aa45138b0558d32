// The sound through frames held back on purpose: a scripted game (the drone held, the
// countdown, a catch) is followed frame by frame and its sound goes through the stand-in
// into SDL's disk writer, which takes it at a real card's pace. Some frames stall, as on
// a busy machine. The first late frame may leave a gap (the steady 50 ms ran dry); after
// it the output keeps enough queued that no later stall of up to 100 ms is heard, and no
// cue is lost on the way.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "audio/game_sound.h"
#include "audio/mixer.h"
#include "audio/wave_out_stream.h"
#include "tests/support/tone_probe.h"

namespace {

const char kFile[] = "late_frames_test.raw";

struct Stall {
    float at;  // play time of the frame held back
    int ms;
};

std::vector<int16_t> ReadRaw() {
    std::ifstream in(kFile, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> out(bytes.size() / 2);
    if (!out.empty()) std::memcpy(out.data(), bytes.data(), 2 * out.size());
    return out;
}

// Plays from 0.5 s to 4 s of play time, a frame every 1/60 s of the machine's time, except
// the stalls; the ship sits in the field (the drone never stops) and catches a flower at
// 2.4 s.
std::vector<int16_t> PlayWithStalls(const std::vector<Stall>& stalls) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", kFile, 1);
    std::remove(kFile);
    ContourLandscape land;
    GameSound sound;
    WaveOutStream stream;
    std::string why;
    EXPECT_TRUE(stream.Open(&why)) << why;
    GameState g;
    g.frameTime = 1.0f / 60.0f;
    size_t next = 0;
    for (float t = 0.5f; t < 4.0f;) {
        g.totalTime = t;
        if (t >= 2.4f) g.collected[1] = 1;
        sound.Follow(g, land, stream.Latency());
        EXPECT_TRUE(stream.TopUp(sound.mixer(), &why)) << why;
        int ms = 16;
        if (next < stalls.size() && t >= stalls[next].at) ms = stalls[next++].ms;
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        g.frameTime = (float)ms / 1000.0f;
        t += g.frameTime;
    }
    EXPECT_EQ(next, stalls.size());
    stream.Close();  // the disk writer has everything once the device is closed
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
    return ReadRaw();
}

// Stretches of at least 2 ms in which both channels are exactly 0, after the sound began:
// the held drone never does that, a device with nothing queued does.
int Gaps(const std::vector<int16_t>& out, int* longest) {
    const int frames = (int)out.size() / 2;
    int i = 0;
    while (i < frames && out[2 * i] == 0 && out[2 * i + 1] == 0) ++i;
    i += kSampleRate / 10;  // the drone fades in from nothing
    int gaps = 0, run = 0;
    *longest = 0;
    for (; i < frames; ++i) {
        if (out[2 * i] == 0 && out[2 * i + 1] == 0) {
            ++run;
            continue;
        }
        if (run >= kSampleRate / 500) ++gaps;
        if (run > *longest) *longest = run;
        run = 0;
    }
    return gaps;  // a run at the very end is the device closing, not a gap
}

int Onsets(const std::vector<float>& s, double hz, double level) {
    const int hop = kSampleRate / 200, window = kSampleRate / 50;
    int n = 0;
    bool on = false;
    for (int i = 0; i + window < (int)s.size(); i += hop) {
        const bool loud = tone::Amplitude(s, kSampleRate, hz, i, window) > level;
        if (loud && !on) ++n;
        on = loud;
    }
    return n;
}

TEST(LateFramesTest, AfterTheFirstLateFrameNoStallIsHeardAndEveryCuePlays) {
    const std::vector<Stall> scripts[] = {
        {{1.3f, 100}, {2.2f, 100}, {2.95f, 100}},  // the last just before "SLIDE !"
        {{1.3f, 300}, {2.2f, 100}, {2.95f, 100}},
    };
    for (const std::vector<Stall>& stalls : scripts) {
        const std::vector<int16_t> out = PlayWithStalls(stalls);
        ASSERT_GT(out.size(), (size_t)(2 * 3 * kSampleRate)) << "three seconds of sound at least";
        int longest = 0;
        const int gaps = Gaps(out, &longest);
        EXPECT_LE(gaps, 1) << "first stall " << stalls[0].ms << " ms; longest gap "
                           << longest * 1000 / kSampleRate << " ms";
        EXPECT_LE(longest * 1000 / kSampleRate, stalls[0].ms) << stalls[0].ms;
        std::vector<float> s = tone::Mono(out.data(), (int)out.size() / 2);
        // The levels are the sounds' own: the mixer's master gain is taken back out.
        for (float& v : s) v /= Mixer::kMasterGain;
        EXPECT_EQ(Onsets(s, 1760.0, 0.01), 3) << "the countdown's ticks, " << stalls[0].ms;
        EXPECT_EQ(Onsets(s, 460.0, 0.01), 1) << "the SLIDE sweep, " << stalls[0].ms;
        EXPECT_EQ(Onsets(s, 1108.73, 0.02), 1) << "the flower's chime, " << stalls[0].ms;
    }
}

}  // namespace
