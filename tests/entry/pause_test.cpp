// The pause, in the whole program: WinMain plays a recorded game on scripted clocks, the
// player steers right, presses P while the world is still on its way, takes three seconds
// of the clock off and moves the mouse, presses P again, steers left, then pauses once
// more and quits with Escape. The recording's frame digests show what the game did with
// the time and the steering; the frame rate the game shows is read as it plays.
#include <windows.h>

#include <gtest/gtest.h>
#include <time.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "game/world.h"
#include "platform/replay_file.h"
#include "platform/sdl/seam.h"
#include "tests/entry/scratch_folder.h"

namespace {

const long long kFrameTicks = 15625000;  // 1/64 s of a 1 GHz counter: times add up exactly
const long long kPauseTicks = 3000000000LL;
// The hand: 50 px a frame over the ten frames before the pause (100 fifths to the right),
// and as much to the left over ten frames after it.
const int kSteerPixels = 50;
const int kSteerFrames = 10;
const int kFirstPause = 250;
const int kSteerAgainAt = 300;

long long g_counter = 1000000000LL;
long long g_lastSeen = -1;
int g_frames = 0;
enum class Phase { Playing, Paused, Resumed, PausedAgain, Done } g_phase = Phase::Playing;
int g_pumpsWhilePaused = 0;
bool g_pausedFrameDrawn = false;
int g_showCountPaused = -99;
double g_pausedCpu = -1.0;
double g_cpuAtPause = 0.0;
std::thread g_waker;
// The frame rate the game shows, as it stood after each frame from the resumed one on.
std::vector<float> g_fpsAfterResume;
float g_fpsBeforePause = 0.0f;

double ThreadCpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

void SetClocks() {
    orvseam::SetPerformanceCounter(g_counter);
    orvseam::SetMilliseconds(5000 + (long)((g_counter - 1000000000LL) / 1000000));
}

void Hook() {
    if (g_phase == Phase::Paused) {
        if (!game.paused && g_pumpsWhilePaused == 0) return;  // P not handled yet
        if (game.paused && !g_pausedFrameDrawn) return;        // nor the paused frame drawn
        if (game.paused && g_pumpsWhilePaused++ == 0) {
            // Paused, the picture shown: three seconds pass on the clock, the hand moves,
            // and P comes from outside a while later, as a player's would; only that wakes
            // the loop.
            g_showCountPaused = orvseam::CursorShowCount();
            g_counter += kPauseTicks;
            SetClocks();
            orvseam::PushMouseMotion(400, -150);
            g_cpuAtPause = ThreadCpuSeconds();
            g_waker = std::thread([] {
                usleep(300000);
                orvseam::PushKeyDown('P');
            });
        } else if (!game.paused) {
            g_pausedCpu = ThreadCpuSeconds() - g_cpuAtPause;
            g_phase = Phase::Resumed;
        }
        return;
    }
    if (g_phase == Phase::PausedAgain) {
        if (game.paused) {
            orvseam::PushKeyDown(VK_ESCAPE);
            g_phase = Phase::Done;
        }
        return;
    }
    if (game.lastCounter == g_lastSeen || game.lastCounter == -1) return;
    g_lastSeen = game.lastCounter;
    ++g_frames;
    g_counter += kFrameTicks;
    SetClocks();
    if (g_phase == Phase::Resumed) g_fpsAfterResume.push_back(game.fps);
    if (g_phase == Phase::Playing && g_frames >= kFirstPause - kSteerFrames &&
        g_frames < kFirstPause)
        orvseam::PushMouseMotion(kSteerPixels, 0);
    if (g_phase == Phase::Resumed && g_frames >= kSteerAgainAt &&
        g_frames < kSteerAgainAt + kSteerFrames)
        orvseam::PushMouseMotion(-kSteerPixels, 0);
    if (g_phase == Phase::Playing && g_frames == kFirstPause) {
        g_fpsBeforePause = game.fps;
        orvseam::PushKeyDown('P');
        g_phase = Phase::Paused;
    }
    if (g_phase == Phase::Resumed && g_frames == 350) {
        orvseam::PushKeyDown('P');
        g_phase = Phase::PausedAgain;
    }
}

// Runs the whole program in a scratch copy of the data folder, checks the recording and
// exits 0 with "pause ok" when the pause behaved.
void PlayWithAPause() {
    const std::string dir = EnterScratchDataFolder("pause", 4);
    // A size the display has no mode for: the game asks, and plays in a small window.
    WriteSettingsSize(320, 240);

    orvseam::Reset();
    orvseam::QueueMessageBoxAnswer(IDYES);
    orvseam::SetPerformanceFrequency(1000000000LL);
    SetClocks();
    orvseam::SetPumpHook(Hook);
    // The paused frame reads the counter as every frame does.
    orvseam::OnCounterRead([] {
        if (game.paused && g_phase == Phase::Paused) g_pausedFrameDrawn = true;
    });
    char commandLine[] = "--record pause.orvr";
    const int result = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    orvseam::SetPumpHook(nullptr);
    orvseam::OnCounterRead(nullptr);
    if (g_waker.joinable()) g_waker.join();

    std::ifstream in("pause.orvr", std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    orvreplay::ReplayFile file;
    std::string error;
    const bool read = orvreplay::ReadReplay(bytes.data(), bytes.size(), &file, &error) ==
                      orvreplay::ReadResult::Ok;
    RemoveScratchFolder(dir);

    int failures = 0;
    auto check = [&](bool ok, const std::string& what) {
        if (!ok) {
            std::fprintf(stderr, "FAILED: %s\n", what.c_str());
            ++failures;
        }
    };
    check(result == 0, "Escape while paused ends with 0, got " + std::to_string(result));
    check(read, "the recording reads back: " + error);
    check(g_pumpsWhilePaused >= 1 && g_pumpsWhilePaused <= 10,
          "paused, the loop sleeps: " + std::to_string(g_pumpsWhilePaused) +
              " pumps in 0.3 s");
    check(g_pausedCpu >= 0.0 && g_pausedCpu < 0.1,
          "paused, the loop costs no CPU: " + std::to_string(g_pausedCpu) + " s in 0.3 s");
    check(g_showCountPaused >= 0, "paused, the cursor is shown");
    const std::vector<orvreplay::FrameDigest>& d = file.digests;
    // Frame 250 (index 249) was the last before P; index 250 is the paused frame.
    check(d.size() > 340, "frames recorded: " + std::to_string(d.size()));
    if (failures == 0) {
        const orvreplay::FrameDigest& before = d[249];
        const orvreplay::FrameDigest& paused = d[250];
        const orvreplay::FrameDigest& resumed = d[251];
        auto same = [](const orvreplay::FrameDigest& a, const orvreplay::FrameDigest& b) {
            return orvreplay::CompareDigests(a, b).field.empty();
        };
        const orvreplay::DigestDifference diff = orvreplay::CompareDigests(before, paused);
        check(same(before, paused), "the paused frame changed " + diff.field + " from " +
                                        diff.recorded + " to " + diff.replayed);
        // Resumed: the first frame takes no time, whatever the clock did meanwhile.
        check(resumed.totalTime == before.totalTime && resumed.energy == before.energy,
              "the pause's three seconds reached the game: total time " +
                  std::to_string(resumed.totalTime) + " after " +
                  std::to_string(before.totalTime));
        for (int i = 0; i < 4; ++i) check(resumed.meters[i] == before.meters[i], "a meter moved");
        check(resumed.ringHead == before.ringHead, "the ring moved on");
        // The steering before the pause: the world was on its way to 100 (the hand's 500
        // px in fifths) when P came.
        const float target = (float)(kSteerPixels * kSteerFrames / 5);
        const float gap = target - before.worldX;
        check(before.worldX > d[kFirstPause - kSteerFrames - 1].worldX + 10.0f && gap > 20.0f,
              "the steering before the pause: world x " + std::to_string(before.worldX));
        // Resumed, the steering clock starts afresh: one step, a fifteenth of the way, and
        // not the burst of steps the clock held back over the pause's three seconds; the
        // hand's 400 px while paused do not count either.
        const float moved = resumed.worldX - before.worldX;
        check(moved > gap / 15.0f * 0.9f && moved < gap / 15.0f * 1.1f &&
                  std::fabs(resumed.worldY - before.worldY) < 0.01f,
              "resuming ran other than one step: world x " + std::to_string(before.worldX) +
                  " -> " + std::to_string(resumed.worldX) + ", one step is " +
                  std::to_string(gap / 15.0f));
        // Then the steps come at 60 a second of the frames' 64: no catching up later.
        for (int i = 252; i < 262; ++i) {
            const float stepGap = target - d[i - 1].worldX;
            const float step = d[i].worldX - d[i - 1].worldX;
            check(step < stepGap / 15.0f * 1.1f,
                  "frame " + std::to_string(i) + " ran more than one step: x moved " +
                      std::to_string(step) + " of a gap of " + std::to_string(stepGap));
        }
        // And the hand steers after the pause as before it.
        check(d[340].worldX < d[kSteerAgainAt].worldX - 10.0f,
              "the steering after the pause: world x " + std::to_string(d[kSteerAgainAt].worldX) +
                  " -> " + std::to_string(d[340].worldX));
        // And the game goes on from there at the clock's pace.
        check(d[252].totalTime == before.totalTime + 1.0f / 64.0f, "play goes on");
        check(d[300].totalTime < before.totalTime + 1.0f, "time goes on at the frames' pace");
        check(d[300].energy < before.energy, "energy drains again");
    }
    // The frame rate shown counts from the resume: over the first second it shows the
    // rate of play before the pause, never one spread over the pause's three seconds, and
    // then the rate of the frames since the resume. The frames come at 64 a second.
    check(g_fpsBeforePause > 60.0f && g_fpsBeforePause < 68.0f,
          "the frame rate before the pause: " + std::to_string(g_fpsBeforePause));
    check(g_fpsAfterResume.size() > 80, "frames after the resume: " +
                                           std::to_string(g_fpsAfterResume.size()));
    for (size_t i = 0; i < g_fpsAfterResume.size() && i < 80; ++i)
        check(g_fpsAfterResume[i] > 60.0f && g_fpsAfterResume[i] < 68.0f,
              "the frame rate shown " + std::to_string(i) + " frames after the resume: " +
                  std::to_string(g_fpsAfterResume[i]));
    std::fprintf(stderr, "%s\n", failures == 0 ? "pause ok" : "pause failed");
    std::exit(failures == 0 ? 0 : 1);
}

TEST(PauseInTheWholeProgram, TimeStandsStillTheLoopSleepsAndPlayGoesOnWhereItStopped) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    int w = 0, h = 0;
    if (!orvseam::DesktopSize(&w, &h)) GTEST_SKIP() << "no display";
    EXPECT_EXIT(PlayWithAPause(), ::testing::ExitedWithCode(0), "pause ok");
    // A child that failed before its clean-up leaves its folder: it goes now.
    SweepScratchFolders();
}

}  // namespace
