// Listens to what the real game played while a kept replay was watched (the raw 16-bit
// stereo 44.1 kHz that SDL's disk writer took) and holds it against the replay's own
// frames: the countdown ticks a second apart from the first, the "SLIDE !" sweep at 3 s,
// each catch's chime around its frame and, when the game ends, the falling tone and then
// silence. The game's time 0 is found in the sound as the first tick.
//
// The sound keeps the machine's time and a watched replay the recorded game's: on a busy
// machine the replay falls behind (by half again, when two other games share its cores),
// and the disk writer (which keeps time by sleeping) runs slow by a few per cent. So each
// moment is looked for after the last one heard, within a window that widens with the
// game time between them; moments a second or more apart are never confused.
//
//   sound_check REPLAY RAW
//
// Prints what it heard; exits 0 when everything is where it belongs, 1 when a sound is
// missing, wrong or out of place, 3 when only timings missed on a machine too busy to
// keep the replay's pace (its sound ends more than a tenth behind the game's time), and 4
// when only timings missed although the replay kept its pace at the end: the caller
// watches again.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/mixer.h"
#include "platform/replay_file.h"
#include "tests/support/tone_probe.h"

namespace {

const int kRate = 44100;
int g_failures = 0;
int g_late = 0;

void Check(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what.c_str());
    if (!ok) ++g_failures;
}

// A timing: counted apart, since a busy machine can move it.
void CheckTime(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "ok" : "LATE", what.c_str());
    if (!ok) ++g_late;
}

std::vector<uint8_t> ReadAll(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int At(double seconds) {
    const double n = seconds * kRate;
    return n > 2e9 ? 2000000000 : n < 0.0 ? 0 : (int)std::lround(n);
}

// Onsets of a note: the starts of runs of 10 ms hops in which it is louder than `level`,
// runs closer than `gap` seconds counted as one.
std::vector<double> Onsets(const std::vector<float>& s, double hz, double level, double from,
                           double to, double gap) {
    std::vector<double> found;
    const int hop = kRate / 200;  // 5 ms
    const int window = kRate / 50;  // 20 ms
    double lastOn = -1e9;
    for (int i = At(from); i + window < (int)s.size() && i < At(to); i += hop) {
        if (tone::Amplitude(s, kRate, hz, i, window) > level) {
            const double t = (double)i / kRate;
            if (t - lastOn > gap) found.push_back(t);
            lastOn = t;
        }
    }
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: sound_check REPLAY RAW\n");
        return 2;
    }
    const std::vector<uint8_t> bytes = ReadAll(argv[1]);
    orvreplay::ReplayFile replay;
    std::string error;
    if (orvreplay::ReadReplay(bytes.data(), bytes.size(), &replay, &error) !=
        orvreplay::ReadResult::Ok) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 2;
    }
    const std::vector<uint8_t> raw = ReadAll(argv[2]);
    const int frames = (int)(raw.size() / 4);
    std::vector<float> s = tone::Mono(reinterpret_cast<const int16_t*>(raw.data()), frames);
    // The levels below are the sounds' own; the mixer's master gain is taken back out
    // (the mix stays under the limiter's knee, so this is exact).
    for (float& v : s) v /= Mixer::kMasterGain;
    std::printf("%s: %d frames; sound: %.2f s\n", argv[1], (int)replay.digests.size(),
                (double)frames / kRate);

    // --- the countdown. Time 0 is the first frame's, whose tick can only follow that
    // frame's drawing (the slowest of all: everything is drawn for the first time), so
    // the clock is set by the second tick, at 1 s. ---
    const std::vector<double> first = Onsets(s, 1760.0, 0.01, 0.0, 1e9, 0.3);
    if (first.empty()) {
        Check(false, "a countdown tick (A6, 1760 Hz)");
        return 1;
    }
    const std::vector<double> ticks = Onsets(s, 1760.0, 0.01, first[0] - 0.01, first[0] + 3.5, 0.3);
    Check(ticks.size() == 3, "three countdown ticks (heard " + std::to_string(ticks.size()) + ")");
    if (ticks.size() != 3) return 1;
    const double origin = ticks[1] - 1.0;
    std::printf("the first tick comes %.0f ms after time 0, with the first frame\n",
                (ticks[0] - origin) * 1000);
    const double third = ticks[2];
    const std::vector<double> sweep = Onsets(s, 460.0, 0.01, third + 0.8, third + 1.5, 0.5);
    {
        char line[128];
        std::snprintf(line, sizeof(line), "tick 3 lands %+.0f ms from its second",
                      (third - origin - 2.0) * 1000);
        CheckTime(std::fabs(third - origin - 2.0) <= 0.050, line);
    }
    // The last moment heard: in the sound and in the game.
    double heardSound = sweep.empty() ? third : sweep[0];
    double heardGame = sweep.empty() ? 2.0 : 3.0;
    // Where game time t is expected, and how far before and after it to look.
    auto expect = [&](double t, double* from, double* to) {
        const double gap = t - heardGame;
        *from = heardSound + gap - 0.1 - 0.2 * gap;
        *to = heardSound + gap + 0.1 + 0.6 * gap;
        return heardSound + gap;
    };
    {
        char line[128];
        const double off = sweep.empty() ? 1e9 : sweep[0] - origin - 3.0;
        std::snprintf(line, sizeof(line), "the SLIDE sweep starts %+.0f ms from 3 s", off * 1000);
        // The sweep is started a frame ahead, but the frame that first draws "SLIDE !"
        // takes a software renderer a good tenth of a second, and the device runs dry
        // meanwhile: the sweep's start can come that much later, never earlier.
        CheckTime(off >= -0.050 && off <= 0.250, line);
    }

    // --- catches and the end ---
    // Every chime in the sound, in order, must be the chime of the replay's catches in
    // order, each heard about where the game's time puts it after the last one heard.
    const double notes[3] = {880.0, 1108.73, 1318.51};
    const char* names[3] = {"atom", "flower", "fractal"};
    struct Catch {
        double time;
        int kind;
    };
    std::vector<Catch> catches;
    int before[3] = {0, 0, 0};
    double overAt = -1.0;
    for (const orvreplay::FrameDigest& d : replay.digests) {
        for (int k = 0; k < 3; ++k) {
            if (d.collected[k] > before[k]) catches.push_back({d.totalTime, k});
            before[k] = d.collected[k];
        }
        if (overAt < 0.0 && !(d.energy > 0.0f)) overAt = d.totalTime;
    }
    const double after = heardSound + 0.3;
    std::vector<double> onsets;
    for (int j = 0; j < 3; ++j)
        for (double t : Onsets(s, notes[j], 0.02, after, 1e9, 0.3)) onsets.push_back(t);
    std::sort(onsets.begin(), onsets.end());
    std::vector<double> chimes;
    for (double t : onsets)
        if (chimes.empty() || t - chimes.back() > 0.3) chimes.push_back(t);
    Check(chimes.size() == catches.size(), std::to_string(catches.size()) + " catches, " +
                                               std::to_string(chimes.size()) + " chimes heard");
    for (size_t i = 0; i < chimes.size() && i < catches.size(); ++i) {
        int kind = 0;
        double best = 0.0;
        for (int j = 0; j < 3; ++j) {
            const double a = tone::Amplitude(s, kRate, notes[j], At(chimes[i]), kRate / 10);
            if (a > best) {
                best = a;
                kind = j;
            }
        }
        double from, to;
        const double at = expect(catches[i].time, &from, &to);
        char line[160];
        std::snprintf(line, sizeof(line), "%s caught at %.2f s: the chime heard %+.0f ms from there is %s's",
                      names[catches[i].kind], catches[i].time, (chimes[i] - at) * 1000, names[kind]);
        Check(kind == catches[i].kind, line);
        CheckTime(chimes[i] >= from && chimes[i] <= to, "  ... and it is about there");
        heardSound = chimes[i];
        heardGame = catches[i].time;
    }
    if (overAt >= 0.0) {
        double from, to;
        expect(overAt, &from, &to);
        // A replay that falls behind plays it later, never much earlier (the disk writer's
        // slow clock: a few per cent); the sweep's 440 Hz start lies well before.
        const double earliest = std::max(heardSound + 0.3, origin + 0.85 * overAt);
        const std::vector<double> on = Onsets(s, 440.0, 0.01, earliest, 1e9, 0.3);
        Check(!on.empty(), "a tone at 440 Hz after everything else");
        if (on.empty()) return 1;
        CheckTime(on[0] >= from && on[0] <= to, "  ... where the game ends");
        heardSound = on[0];
        heardGame = overAt;
        const int start = At(on[0]);
        const double high = tone::Strongest(s, kRate, 150, 600, 5, start, kRate / 10);
        const double low = tone::Strongest(s, kRate, 150, 600, 5, start + At(0.9), kRate / 10);
        char line[160];
        std::snprintf(line, sizeof(line), "game over at %.2f s: the tone falls from %.0f Hz to %.0f Hz",
                      overAt, high, low);
        Check(high > 380 && low < 300, line);
        double peak = 0.0;
        for (int i = start + At(1.4); i < frames; ++i) peak = std::max(peak, (double)std::fabs(s[(size_t)i]));
        std::snprintf(line, sizeof(line), "silence after the end tone (%.2f s of it, peak %.4f)",
                      (double)(frames - start - At(1.4)) / kRate, peak);
        Check(frames > start + At(1.6) && peak < 0.002, line);
    }
    const double behind = heardSound - origin - heardGame;
    const bool busy = behind > 0.1 * heardGame + 0.3;
    std::printf("the sound ends %.0f ms behind the game's time%s\n", behind * 1000,
                busy ? ": the machine was too busy to keep the replay's pace" : "");
    if (g_failures > 0) return 1;
    if (g_late > 0) return busy ? 3 : 4;
    return 0;
}
