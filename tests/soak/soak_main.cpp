// Soak: the whole game for a long stretch of game time (30 minutes by default) at a fixed
// frame time of 1/60 s, on a real GL context, started by the game's own start-up steps and
// driven through the platform layer's test seam: scripted clocks, and a player
// (soak_player.h) that chases about every second collectible and wanders between the
// sources' zones otherwise. The driver adds energy when it runs low, so the game never
// ends. After every frame the rules and the ring are checked (soak_checks.h); once a
// second the memory is sampled and at the end it must have stayed flat (soak_memory.h).
//
// Not a unit test and not part of the default runs: scripts/soak.sh builds and runs it.
//   orv_soak [MINUTES] [WIDTH HEIGHT]
// Exit status 0 when every check held, 1 otherwise.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/shell.h"
#include "app/startup.h"
#include "app/steering.h"
#include "game/frame_driver.h"
#include "game/world.h"
#include "platform/gl_display.h"
#include "platform/sdl/seam.h"
#include "tests/soak/soak_checks.h"
#include "tests/soak/soak_memory.h"
#include "tests/soak/soak_player.h"
#include "tests/soak/soak_report.h"

namespace {

const int kFramesPerSecond = 60;
const int64_t kCounterFrequency = 1000000000LL;  // ticks per second of the scripted counter

struct Options {
    double minutes = 30.0;
    int width = 640, height = 480;
};

// What the run counts for its report.
struct Tally {
    long spawns = 0, chased = 0, energyTopUps = 0;
};

bool ReadOptions(int argc, char** argv, Options* o) {
    if (argc > 1) o->minutes = std::atof(argv[1]);
    if (argc > 3) {
        o->width = std::atoi(argv[2]);
        o->height = std::atoi(argv[3]);
    }
    return o->minutes > 0.0 && o->width > 0 && o->height > 0;
}

// The game's start-up, in a window: the soak must not switch the screen mode.
bool StartGame(const Options& o) {
    screenWidth = o.width;
    screenHeight = o.height;
    perfFrequency = kCounterFrequency;
    orvseam::SetPerformanceFrequency(kCounterFrequency);
    OpenMainWindow(GetModuleHandleA(nullptr), SW_SHOW);
    if (mainWindow == nullptr) {
        std::fprintf(stderr, "no window (is there an X server?)\n");
        return false;
    }
    if (!BuildObjects(ORV_DATA_DIR "/")) {
        std::fprintf(stderr, "the ship model did not load\n");
        return false;
    }
    display = new GlDisplay();
    if (!display->Create(mainWindow, o.width, o.height, 32, 0)) {
        std::fprintf(stderr, "no GL display\n");
        return false;
    }
    SetGlDefaults();
    if (!LoadFonts(ORV_DATA_DIR "/")) {
        std::fprintf(stderr, "the fonts did not load\n");
        return false;
    }
    CentreMouse();
    // The player clicks into the window: the steering runs only while it has the focus.
    orvseam::PushFocus(mainWindow, true);
    return true;
}

// Handles one waiting message as the main loop does. Returns false on WM_QUIT.
bool HandleMessage(bool* handled) {
    MSG msg;
    *handled = PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) != 0;
    if (!*handled) return true;
    if (msg.message == WM_QUIT) return false;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

// One idle pass of the main loop with a frame of exactly 1/60 s on the scripted clocks.
void PlayFrame(Steering& steering, int64_t* counter, long long* microseconds) {
    *counter += kCounterFrequency / kFramesPerSecond;
    *microseconds += 1000000LL / kFramesPerSecond;
    orvseam::SetPerformanceCounter(*counter);
    orvseam::SetMilliseconds((long)(*microseconds / 1000));
    SteerFrame(steering, game, ship, hasFocus != 0, *counter, kCounterFrequency);
    RunFrame();
}

// A new collectible: placed afresh, far away.
bool NewCollectible(const GameState& g, const GameState& previous) {
    return g.collectibleActive == 1 &&
           (previous.collectibleActive == 0 ||
            g.collectibleMatrix.m[14] > previous.collectibleMatrix.m[14]);
}

void ReportMinute(long frame, const Minute& m, const Tally& t, double wallSeconds) {
    std::printf("minute %5.1f: frames %6ld, collected %d/%d/%d of %ld (chased %ld), "
                "top-ups %ld; ours: slices %lld..%lld segments, other %lld..%lld bytes; "
                "process: heap %.2f..%.2f MB, resident %.1f MB; %.0f frames/s\n",
                frame / (60.0 * kFramesPerSecond), frame, game.collected[0], game.collected[1],
                game.collected[2], t.spawns, t.chased, t.energyTopUps, m.slicesLow,
                m.slicesHigh, m.otherLow, m.otherHigh, m.heapFloor / 1048576.0,
                m.heapPeak / 1048576.0, m.resident / 1048576.0, frame / wallSeconds);
    std::fflush(stdout);
}

// The play as a whole: something was collected and something was missed.
void CheckPlay(long frame, long frames, const Tally& t) {
    const int total = game.collected[0] + game.collected[1] + game.collected[2];
    if (frames >= 60L * kFramesPerSecond && total == 0) Fail(frame, "nothing was collected");
    if (frames >= 60L * kFramesPerSecond && t.spawns - total < 1)
        Fail(frame, "every collectible was collected: the misses were not exercised");
}

void StopGame() {
    display->Shutdown();
    delete display;
    display = nullptr;
    DestroyWindow(mainWindow);
    mainWindow = nullptr;
}

double WallSeconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ReadOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: %s [MINUTES] [WIDTH HEIGHT]\n", argv[0]);
        return 2;
    }
    const long frames = (long)std::llround(options.minutes * 60.0 * kFramesPerSecond);

    // Mesa's software renderer rasterizes on worker threads whose per-frame blocks come
    // and go at their own pace; rendering on this thread makes the heap sampled after a
    // finished frame the game's steady state plus the driver's caches.
    setenv("LP_NUM_THREADS", "0", 0);

    orvseam::Reset();
    // Should the game end after all, its box is answered instead of waiting for a player;
    // the soak counts it as a failure.
    orvseam::QueueMessageBoxAnswer(IDOK);
    if (!StartGame(options)) return 1;
    std::printf("Soak: %.1f minutes of game time, %ld frames of 1/%d s, %dx%d\n",
                options.minutes, frames, kFramesPerSecond, options.width, options.height);
    std::fflush(stdout);

    Steering steering;
    SoakPlayer player;
    RingWatch ring;
    MemoryWatch memory;
    Tally tally;
    int64_t counter = 1000000000LL;
    long long microseconds = 5000000LL;  // the millisecond clock, kept exact in microseconds
    orvseam::SetPerformanceCounter(counter);
    orvseam::SetMilliseconds((long)(microseconds / 1000));
    GameState previous = game;
    ring.previousHead = landscape.head;
    const auto wallStart = std::chrono::steady_clock::now();

    long frame = 0;
    bool quit = false;
    while (frame < frames) {
        bool handled = false;
        if (!HandleMessage(&handled)) {
            quit = true;
            break;
        }
        if (handled) continue;
        if (!(game.energy > 0.0f)) {
            Fail(frame, "the energy ran out: the main loop would stop running frames");
            break;
        }
        player.Move(game, steering, frame, kFramesPerSecond);
        PlayFrame(steering, &counter, &microseconds);
        ++frame;

        CheckRules(frame, game, previous, kFramesPerSecond);
        if (NewCollectible(game, previous)) {
            ++tally.spawns;
            if (player.ChooseToChase()) ++tally.chased;
        }
        CheckRing(frame, ring, kFramesPerSecond);
        if (game.energy < 0.6f) {
            game.energy += 0.8f;
            ++tally.energyTopUps;
        }
        previous = game;

        if (frame % kFramesPerSecond == 0) memory.Sample();
        if (frame % (60 * kFramesPerSecond) == 0 || frame == frames)
            ReportMinute(frame, memory.CloseMinute(), tally, WallSeconds(wallStart));
    }
    if (quit) Fail(frame, "the window was closed");
    if (!orvseam::MessageBoxes().empty())
        Fail(frame, "a message box was shown: " + orvseam::MessageBoxes()[0].text);
    memory.Check(frame);
    CheckPlay(frame, frames, tally);
    StopGame();

    const int total = game.collected[0] + game.collected[1] + game.collected[2];
    std::printf("%ld frames, %ld ring advances, %ld collectibles (%d collected: %d atoms, %d "
                "flowers, %d fractals), %ld energy top-ups, %.0f s wall time\n",
                frame, ring.advances, tally.spawns, total, game.collected[0], game.collected[1],
                game.collected[2], tally.energyTopUps, WallSeconds(wallStart));
    if (Failures() != 0) {
        std::printf("SOAK FAILED: %d failed checks\n", Failures());
        return 1;
    }
    std::printf("SOAK PASSED\n");
    return 0;
}
