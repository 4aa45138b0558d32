// Listens to what the real game played while a kept replay was watched (the raw 16-bit
// stereo 44.1 kHz that SDL's disk writer took) and holds it against the replay's frames:
// the countdown's three ticks and the "SLIDE !" sweep, each catch's chime (its kind and
// its place), the drone while the ship is near one source and, when the game ends, the
// falling tone and then silence.
//
// Where each sound belongs comes from the game's own pace, never from the sound: the
// pace file (tests/sound/pace_log.c, preloaded into the game) holds the real time of every
// frame drawn and of every pull of the audio device with its place in the file. A cue at
// game time T belongs at the place in the file that the device was playing when the
// watched game reached T (its frames, interpolated). One bound for every cue: heard no
// more than kEarly before that place and no more than kLate after it (the output keeps
// 50 ms queued, 150 ms for a while after a late frame, and a sound waits for the frame
// that starts it).
//
// A watched game that falls behind the replay's pace (the machine was busy) moves a cue
// scheduled ahead of its moment; such a cue's timing is not judged, and the check says so
// in a line starting "NOTE:". Everything else (a sound missing, in the wrong place or of the wrong
// kind, the drone on the wrong voice) is a failure.
//
//   sound_check REPLAY RAW PACE
//
// Exits 0 when everything judged is right (NOTE lines tell what was not judged), 1 when
// anything is wrong, 2 when the files cannot be used.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/field_mix.h"
#include "audio/mixer.h"
#include "audio/sound_shapes.h"
#include "landscape/scalar_field.h"
#include "platform/replay_file.h"
#include "tests/support/tone_probe.h"

namespace {

const int kRate = 44100;
const double kEarly = 0.050;  // seconds a cue may be heard before its place
const double kLate = 0.200;   // and after it
// A watched game that fell behind the replay's pace by more than this over the quarter
// second before a cue leaves the cue's timing unjudged: a countdown tick is started ahead
// of its second, by game time, and is heard that much early when the game then runs slow.
const double kBusy = 0.050;
int g_failures = 0;

void Check(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what.c_str());
    if (!ok) ++g_failures;
}

std::vector<uint8_t> ReadAll(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int At(double seconds) {
    const double n = seconds * kRate;
    return n > 2e9 ? 2000000000 : n < 0.0 ? 0 : (int)std::lround(n);
}

// Onsets of a note: the starts of runs of 5 ms hops in which it is louder than `level`,
// runs closer than `gap` seconds counted as one.
std::vector<double> Onsets(const std::vector<float>& s, double hz, double level, double from,
                           double to, double gap) {
    std::vector<double> found;
    const int hop = kRate / 200;
    const int window = kRate / 50;
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

// The watched game's pace: the frames' real times against their game times, and the
// audio device's pulls (real time, place in the file in seconds).
class Pace {
public:
    bool Read(const char* path, const std::vector<orvreplay::FrameDigest>& digests) {
        std::FILE* f = std::fopen(path, "r");
        if (f == nullptr) return false;
        std::vector<double> frames;
        char kind;
        unsigned long long ns, samples;
        while (std::fscanf(f, " %c %llu", &kind, &ns) == 2) {
            if (kind == 'F') {
                frames.push_back((double)ns * 1e-9);
            } else if (kind == 'A' && std::fscanf(f, " %llu", &samples) == 1) {
                pullReal_.push_back((double)ns * 1e-9);
                pullAt_.push_back((double)samples / kRate);
            }
        }
        std::fclose(f);
        if (frames.size() < digests.size() || pullReal_.size() < 2) return false;
        // A game that ended shows its results once the box has gone: one picture more,
        // after the replay's last frame, when the player did not quit before it was drawn.
        const bool ended = !digests.empty() && !(digests.back().energy > 0.0f);
        const size_t after = ended && frames.size() > digests.size() ? 1 : 0;
        // Frames drawn before the replay's first (the start-up's) come first.
        const size_t skip = frames.size() - digests.size() - after;
        // The frame that ends the game shows the Game Over box before it is presented, and
        // is presented only once the box has gone: its moment is the frame's before it, a
        // frame's time on.
        const size_t kept = ended ? digests.size() - 1 : digests.size();
        for (size_t i = 0; i < kept; ++i) {
            real_.push_back(frames[skip + i]);
            game_.push_back(digests[i].totalTime);
        }
        std::printf("pace: %zu frames drawn (%zu before the replay's, %zu after), %zu pulls of "
                    "the device\n", frames.size(), skip, after, pullReal_.size());
        return true;
    }

    // When the watched game reached game time t.
    double RealOf(double t) const { return Interpolate(game_, real_, t); }
    // The place in the file the device was playing at real time r.
    double FileAt(double r) const { return Interpolate(pullReal_, pullAt_, r); }
    // Where a cue at game time t belongs in the file.
    double Place(double t) const { return FileAt(RealOf(t)); }

    // How much further the watched game fell behind the replay's pace between game times
    // from and to: its frames' real time over that stretch less the game time.
    double FellBehind(double from, double to) const { return (RealOf(to) - RealOf(from)) - (to - from); }

private:
    static double Interpolate(const std::vector<double>& x, const std::vector<double>& y, double at) {
        if (at <= x.front()) return y.front() + (at - x.front());
        if (at >= x.back()) return y.back() + (at - x.back());
        const size_t j = (size_t)(std::upper_bound(x.begin(), x.end(), at) - x.begin());
        const double span = x[j] - x[j - 1];
        const double f = span > 0.0 ? (at - x[j - 1]) / span : 0.0;
        return y[j - 1] + f * (y[j] - y[j - 1]);
    }
    std::vector<double> real_, game_, pullReal_, pullAt_;
};

// A cue heard at `heard` (seconds into the file) that belongs at game time t. A cue the
// game starts ahead of its moment (`ahead`: the countdown's) moves when the game falls
// behind the replay's pace; one started by the frame at its moment does not.
void JudgeTime(const Pace& pace, const char* replay, const std::string& what, double t, double heard,
               bool ahead) {
    const double off = heard - pace.Place(t);
    const double late = pace.FellBehind(t - 0.25, t + 0.05);
    char line[256];
    if (ahead && late > kBusy) {
        std::snprintf(line, sizeof(line),
                      "NOTE: %s: %s: timing not judged (heard %+.0f ms from its place; the game "
                      "fell %.0f ms behind the replay's pace just before it)",
                      replay, what.c_str(), off * 1000, late * 1000);
        std::printf("%s\n", line);
        return;
    }
    std::snprintf(line, sizeof(line), "%s heard %+.0f ms from its place (allowed %+.0f to %+.0f)",
                  what.c_str(), off * 1000, -kEarly * 1000, kLate * 1000);
    Check(off >= -kEarly && off <= kLate, line);
}

// The drone: over stretches of at least 0.6 s in which one source has 80 % or more of the
// field where the ship is, well inside it, with no heartbeat and before any end, that
// source's voice must be the loudest of the four in the sound of that stretch.
// The drone follows each frame as it comes, so a game behind the replay's pace moves it
// with the frames and it is judged however busy the machine.
void JudgeDrone(const Pace& pace, const std::vector<float>& s, const char* replay,
                const std::vector<orvreplay::FrameDigest>& digests) {
    // The ring as the game advanced it: the digests say when its head moved.
    float stamps[kRingSlots] = {};
    int head = 0;
    int judged = 0;
    int runSource = -1;
    double runFrom = 0.0;
    for (size_t i = 0; i <= digests.size(); ++i) {
        int source = -1;
        double t = 0.0;
        if (i < digests.size()) {
            const orvreplay::FrameDigest& d = digests[i];
            t = d.totalTime;
            const float landscapeTime = d.totalTime * 0.33333334f;
            if (d.ringHead != head) {
                head = d.ringHead;
                stamps[head] = landscapeTime * 1.6666666f;
            }
            GrowArray<Vec3> sources;
            for (int k = 0; k < 4; ++k) sources.Push(SourcePosition(k, stamps[(head + 1) % kRingSlots] * 0.6f));
            Vec3 p;
            p.Set(-d.worldX, -d.worldY, 0.0f);
            const FieldMix mix = MixAt(sources, p);
            for (int k = 0; k < 4; ++k)
                if (mix.shares[k] >= 0.8f && mix.presence >= 0.6f) source = k;
            if (t < 3.5 || !(d.energy >= 0.3f)) source = -1;  // the countdown, a heartbeat, the end
        }
        if (source == runSource) continue;
        if (runSource >= 0 && t - runFrom >= 0.6) {
            // The loudness follows in a twentieth of a second, behind the output's queue.
            const double from = pace.Place(runFrom + 0.3);
            const double to = std::min(pace.Place(t), from + 0.3);
            double amp[4];
            int loudest = 0;
            for (int k = 0; k < 4; ++k) {
                amp[k] = tone::Amplitude(s, kRate, kDroneHz[k], At(from), At(to - from));
                if (amp[k] > amp[loudest]) loudest = k;
            }
            char line[200];
            std::snprintf(line, sizeof(line),
                          "the ship near source %d from %.2f s to %.2f s: voices %.4f %.4f %.4f %.4f",
                          runSource, runFrom, t, amp[0], amp[1], amp[2], amp[3]);
            Check(loudest == runSource && amp[runSource] > 0.005, line);
            ++judged;
        }
        runSource = source;
        runFrom = t;
    }
    std::printf("drone: %d stretch%s near one source in %s\n", judged, judged == 1 ? "" : "es", replay);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: sound_check REPLAY RAW PACE\n");
        return 2;
    }
    const char* name = argv[1];
    for (const char* c = argv[1]; *c; ++c)
        if (*c == '/') name = c + 1;
    const std::vector<uint8_t> bytes = ReadAll(argv[1]);
    orvreplay::ReplayFile replay;
    std::string error;
    if (orvreplay::ReadReplay(bytes.data(), bytes.size(), &replay, &error) != orvreplay::ReadResult::Ok) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 2;
    }
    Pace pace;
    if (!pace.Read(argv[3], replay.digests)) {
        std::fprintf(stderr, "%s: no pace of the watched game's frames and sound\n", argv[3]);
        return 2;
    }
    const std::vector<uint8_t> raw = ReadAll(argv[2]);
    const int frames = (int)(raw.size() / 4);
    std::vector<float> s = tone::Mono(reinterpret_cast<const int16_t*>(raw.data()), frames);
    // The levels below are the sounds' own; the mixer's master gain is taken back out
    // (the mix stays under the limiter's knee, so this is exact).
    for (float& v : s) v /= Mixer::kMasterGain;
    std::printf("%s: %d frames; sound: %.2f s\n", name, (int)replay.digests.size(), (double)frames / kRate);

    // --- the countdown: ticks at 0, 1 and 2 s, the sweep at 3 s ---
    // A cue started ahead of its moment is looked for from where the game was a quarter
    // second before it: a game that then ran slow hears it that much early.
    const std::vector<double> ticks =
        Onsets(s, 1760.0, 0.01, pace.Place(-0.25) - 0.1, pace.Place(2.0) + 0.5, 0.3);
    Check(ticks.size() == 3, "three countdown ticks (A6, 1760 Hz; heard " + std::to_string(ticks.size()) + ")");
    for (size_t i = 0; i < ticks.size() && i < 3; ++i)
        JudgeTime(pace, name, "tick " + std::to_string(3 - i), (double)i, ticks[i], true);
    const std::vector<double> sweep = Onsets(s, 460.0, 0.01, pace.Place(2.75) - 0.1, pace.Place(3.0) + 0.8, 0.5);
    Check(!sweep.empty(), "the SLIDE sweep (from A4)");
    if (!sweep.empty()) JudgeTime(pace, name, "the SLIDE sweep", 3.0, sweep[0], true);

    // --- catches: every chime in the sound, in order, is the chime of the replay's
    // catches in order, each where its frame puts it ---
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
    const double after = pace.Place(3.0) + 0.6;  // past the sweep, which ends on A5
    std::vector<double> onsets;
    for (int j = 0; j < 3; ++j)
        for (double t : Onsets(s, notes[j], 0.02, after, 1e9, 0.3)) onsets.push_back(t);
    std::sort(onsets.begin(), onsets.end());
    std::vector<double> chimes;
    for (double t : onsets)
        if (chimes.empty() || t - chimes.back() > 0.3) chimes.push_back(t);
    Check(chimes.size() == catches.size(), std::to_string(catches.size()) + " catches, " +
                                               std::to_string(chimes.size()) + " chimes heard");
    double lastHeard = sweep.empty() ? after : sweep[0];
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
        char line[160];
        std::snprintf(line, sizeof(line), "%s caught at %.2f s: the chime heard there is %s's",
                      names[catches[i].kind], catches[i].time, names[kind]);
        Check(kind == catches[i].kind, line);
        JudgeTime(pace, name, std::string("  ... the ") + names[catches[i].kind] + " chime", catches[i].time,
                  chimes[i], false);
        lastHeard = chimes[i];
    }

    JudgeDrone(pace, s, name, replay.digests);

    // --- the end: the falling tone where the game ends, then silence ---
    if (overAt >= 0.0) {
        const double from = std::max(lastHeard + 0.3, pace.Place(overAt) - 0.3);
        const std::vector<double> on = Onsets(s, 440.0, 0.01, from, pace.Place(overAt) + 1.0, 0.3);
        Check(!on.empty(), "a tone at 440 Hz where the game ends");
        if (on.empty()) return 1;
        JudgeTime(pace, name, "  ... the end tone", overAt, on[0], false);
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
    return g_failures > 0 ? 1 : 0;
}
