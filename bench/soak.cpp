// Soak: the whole game for a long stretch of game time (30 minutes by default) at a fixed
// frame time of 1/60 s, on a real GL context, driven through the platform layer's test
// seam: scripted clocks, and mouse motion that steers the world as a player would,
// chasing about every second collectible and wandering between the sources' zones
// otherwise. The driver adds energy when it runs low, so the game never ends.
//
// Every frame it checks that the rules and the ring stay consistent (energy and meters
// within 0..1.8, counts only growing and only by a collection of the current kind, the
// kind within 0..2, the ring's head advancing with sane stamps and span), and once a
// minute it records the heap in use, the resident size and the slices' capacities. After
// the first minute the ring is full: from then on memory must stay flat.
//
// Not a benchmark and not part of the default runs: scripts/soak.sh builds and runs it.
//   bench_soak [MINUTES] [WIDTH HEIGHT]
// Exit status 0 when every check held, 1 otherwise.
#include <windows.h>

#include <GL/gl.h>

#include <malloc.h>

#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/gl_display.h"
#include "app/shell.h"
#include "game/frame_driver.h"
#include "game/world.h"
#include "platform/sdl/seam.h"

namespace {

const int kFramesPerSecond = 60;
const int64_t kCounterFrequency = 1000000000LL;  // ticks per second of the scripted counter
const float kEnergyCeiling = 1.8f;

int g_failures = 0;

void Fail(long frame, const std::string& what) {
    ++g_failures;
    if (g_failures <= 20) std::fprintf(stderr, "FAIL at frame %ld: %s\n", frame, what.c_str());
    if (g_failures == 20) std::fprintf(stderr, "(further failures not shown)\n");
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

std::string DataFile(const char* name) { return std::string(ORV_DATA_DIR) + "/" + name; }

// Heap bytes in use (everything malloc holds for the process, GL driver included).
long long HeapInUse() {
    struct mallinfo2 info = mallinfo2();
    return (long long)info.uordblks + (long long)info.hblkhd;
}

long long ResidentBytes() {
    long long pages = 0, resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (f == nullptr) return 0;
    if (std::fscanf(f, "%lld %lld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
    return resident * 4096LL;
}

long long SliceCapacity() {
    long long total = 0;
    for (int i = 0; i < kRingSlots; ++i)
        if (landscape.slots[i] != nullptr) total += landscape.slots[i]->capacity;
    return total;
}

// Our own small generator for the driver's choices: the game's sequence is the game's.
struct DriverRandom {
    uint32_t state = 12345u;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    bool Chance(int percent) { return (int)(Next() % 100u) < percent; }
};

struct Snapshot {
    double minute;
    long long heap;
    long long resident;
    long long sliceCapacity;
    int collected[3];
};

// Start-up as the game makes it: the window, the objects, the display, the GL defaults
// and the fonts. Returns false when something the soak needs is missing.
bool StartGame(int width, int height) {
    screenWidth = width;
    screenHeight = height;
    perfFrequency = kCounterFrequency;
    orvseam::SetPerformanceFrequency(kCounterFrequency);

    WNDCLASSEXA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kWindowName;
    RegisterClassExA(&wc);
    mainWindow = CreateWindowExA(WS_EX_TOPMOST, kWindowName, kWindowName, WS_POPUP, 0, 0, width,
                                 height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (mainWindow == nullptr) {
        std::fprintf(stderr, "no window (is there an X server?)\n");
        return false;
    }
    ShowWindow(mainWindow, SW_SHOW);
    UpdateWindow(mainWindow);
    ShowCursor(FALSE);

    fractal.Build();
    flower.Build();
    if (!ship.Build(DataFile("crfighter.3ds").c_str())) {
        std::fprintf(stderr, "the ship model did not load\n");
        return false;
    }
    atom.Build();
    atom.SetViewMatrix(game.cameraMatrix);

    display = new GlDisplay();
    // Windowed: the soak must not switch the screen mode.
    if (!display->Create(mainWindow, width, height, 32, 0)) {
        std::fprintf(stderr, "no GL display\n");
        return false;
    }
    glEnable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    if (!strokeFont.Load(DataFile("font.txt").c_str()) ||
        !fontA.Load(DataFile("font_vimra.tga").c_str()) ||
        !fontB.Load(DataFile("font_tech.tga").c_str())) {
        std::fprintf(stderr, "the fonts did not load\n");
        return false;
    }
    SetCursorPos(width >> 1, height >> 1);
    mouseCentre.x = width >> 1;
    mouseCentre.y = height >> 1;
    // The player clicks into the window: the steering runs only while it has the focus.
    orvseam::PushFocus(mainWindow, true);
    return true;
}

void StopGame() {
    display->Shutdown();
    delete display;
    display = nullptr;
    DestroyWindow(mainWindow);
    mainWindow = nullptr;
}

// Mouse motion (in pixels; the steering divides by 5) that moves the eventual world
// offset by `shift` units, at most `limit` units in one step.
int MotionFor(float shift, float limit) {
    if (shift > limit) shift = limit;
    if (shift < -limit) shift = -limit;
    return (int)std::lround(shift) * 5;
}

double WallSeconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    const double minutes = argc > 1 ? std::atof(argv[1]) : 30.0;
    const int width = argc > 3 ? std::atoi(argv[2]) : 640;
    const int height = argc > 3 ? std::atoi(argv[3]) : 480;
    if (!(minutes > 0.0) || width <= 0 || height <= 0) {
        std::fprintf(stderr, "usage: %s [MINUTES] [WIDTH HEIGHT]\n", argv[0]);
        return 2;
    }
    const long frames = (long)std::llround(minutes * 60.0 * kFramesPerSecond);

    orvseam::Reset();
    // Should the game end after all, its box is answered instead of waiting for a player;
    // the soak counts it as a failure.
    orvseam::QueueMessageBoxAnswer(IDOK);
    if (!StartGame(width, height)) return 1;

    std::printf("Soak: %.1f minutes of game time, %ld frames of 1/%d s, %dx%d\n", minutes,
                frames, kFramesPerSecond, width, height);
    std::fflush(stdout);

    Steering steering;
    DriverRandom rnd;
    int64_t counter = 1000000000LL;
    long long microseconds = 5000000LL;  // the millisecond clock, kept exact in microseconds
    orvseam::SetPerformanceCounter(counter);
    orvseam::SetMilliseconds((long)(microseconds / 1000));

    GameState previous = game;
    int previousHead = landscape.head;
    long advances = 0;
    long spawns = 0;
    long energyTopUps = 0;
    long chased = 0;
    bool chasing = false;
    bool quit = false;
    std::vector<Snapshot> snapshots;
    const auto wallStart = std::chrono::steady_clock::now();

    long frame = 0;
    while (frame < frames && !quit) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        if (!(game.energy > 0.0f)) {
            Fail(frame, "the energy ran out: the main loop would stop running frames");
            break;
        }

        // The player: chase the collectible (about every second one) or wander.
        const float* cm = game.collectibleMatrix.m;
        const float pendingX = steering.steerTarget.x - game.worldOffset.x;
        const float pendingY = steering.steerTarget.y - game.worldOffset.y;
        int dx, dy;
        if (game.collectibleActive == 1 && chasing) {
            // Where the collectible ends up once the world has caught up with the target.
            dx = MotionFor(-(cm[12] + pendingX), 400.0f);
            dy = MotionFor(-(cm[13] + pendingY), 400.0f);
        } else {
            const float t = (float)frame / (float)kFramesPerSecond;
            const float wantX = 700.0f * std::sin(t * 0.05f) + 200.0f * std::sin(t * 0.31f);
            const float wantY = 500.0f * std::sin(t * 0.037f + 1.0f);
            dx = MotionFor(wantX - steering.steerTarget.x, 20.0f);
            dy = MotionFor(wantY - steering.steerTarget.y, 20.0f);
        }
        if (dx != 0 || dy != 0) orvseam::PushMouseMotion(dx, dy);
        if (hasFocus) SteerStep(steering, game, ship);

        counter += kCounterFrequency / kFramesPerSecond;
        microseconds += 1000000LL / kFramesPerSecond;
        orvseam::SetPerformanceCounter(counter);
        orvseam::SetMilliseconds((long)(microseconds / 1000));
        RunFrame();
        ++frame;

        // --- the rules ---
        const GameState& g = game;
        if (g.energy > kEnergyCeiling) Fail(frame, Format("energy %g above 1.8", g.energy));
        for (int i = 0; i < 4; ++i)
            if (!(g.zoneMeters[i] >= 0.0f && g.zoneMeters[i] <= kEnergyCeiling))
                Fail(frame, Format("zone meter %d is %g", i, g.zoneMeters[i]));
        if (g.collectibleKind < 0 || g.collectibleKind > 2)
            Fail(frame, Format("collectible kind %d", g.collectibleKind));
        if (g.collectibleActive != 0 && g.collectibleActive != 1)
            Fail(frame, Format("collectible state %d", g.collectibleActive));
        for (int k = 0; k < 3; ++k) {
            const int d = g.collected[k] - previous.collected[k];
            if (d < 0) Fail(frame, Format("count %d went down", k));
            if (d > 0 && (d != 1 || k != previous.collectibleKind))
                Fail(frame, Format("count %d grew by %d with kind %d out", k, d,
                                   previous.collectibleKind));
        }
        // A new collectible: placed afresh, far away. Chase about every second one.
        if (g.collectibleActive == 1 &&
            (previous.collectibleActive == 0 ||
             g.collectibleMatrix.m[14] > previous.collectibleMatrix.m[14])) {
            ++spawns;
            chasing = rnd.Chance(50);
            if (chasing) ++chased;
        }
        // The first frame has no previous counter reading and lasts 0.
        if (frame > 1 && std::fabs(g.frameTime - 1.0f / kFramesPerSecond) > 1e-6f)
            Fail(frame, Format("frame time %g", g.frameTime));
        if (frame > 1 && !(g.totalTime > previous.totalTime))
            Fail(frame, Format("total time stuck at %g", g.totalTime));
        if (frame > 2 * kFramesPerSecond && std::fabs(g.fps - (float)kFramesPerSecond) > 1.0f)
            Fail(frame, Format("frame rate %g", g.fps));

        // --- the ring ---
        if (!landscape.ready) Fail(frame, "the ring is not ready");
        if (landscape.head < 0 || landscape.head >= kRingSlots)
            Fail(frame, Format("ring head %d", landscape.head));
        if (landscape.head != previousHead) {
            if (landscape.head != (previousHead + 1) % kRingSlots)
                Fail(frame, Format("ring head jumped from %d to %d", previousHead, landscape.head));
            const float newest = landscape.stamps[landscape.head];
            const float before = landscape.stamps[previousHead];
            if (advances > 0 && !(newest > before))
                Fail(frame, Format("stamp %g not after %g", newest, before));
            ++advances;
            previousHead = landscape.head;
        }
        // An advance takes at least 0.015 of stamp time, which is 1.6666666 x a third of
        // the frame time: about every second frame here.
        if (frame > kFramesPerSecond && advances < frame / 3)
            Fail(frame, Format("the ring advanced only %ld times in %ld frames", advances, frame));
        if (advances >= kRingSlots) {
            const float span = landscape.RingSpan();
            if (span != 0.0f && !(span >= 75.0f && span <= 78.0f))
                Fail(frame, Format("ring span %g", span));
        }

        if (g.energy < 0.6f) {
            game.energy += 0.8f;
            ++energyTopUps;
        }
        previous = game;

        if (frame % (60 * kFramesPerSecond) == 0 || frame == frames) {
            Snapshot s;
            s.minute = frame / (60.0 * kFramesPerSecond);
            s.heap = HeapInUse();
            s.resident = ResidentBytes();
            s.sliceCapacity = SliceCapacity();
            std::memcpy(s.collected, g.collected, sizeof s.collected);
            snapshots.push_back(s);
            std::printf("minute %5.1f: frames %6ld, collected %d/%d/%d of %ld (chased %ld), "
                        "top-ups %ld, heap %.2f MB, resident %.1f MB, slice capacity %lld, "
                        "%.0f frames/s\n",
                        s.minute, frame, s.collected[0], s.collected[1], s.collected[2], spawns,
                        chased, energyTopUps, s.heap / 1048576.0, s.resident / 1048576.0,
                        s.sliceCapacity,
                        frame / WallSeconds(wallStart));
            std::fflush(stdout);
        }
    }
    if (quit) Fail(frame, "the window was closed");
    if (!orvseam::MessageBoxes().empty())
        Fail(frame, "a message box was shown: " + orvseam::MessageBoxes()[0].text);

    // --- memory: flat once the ring is full (after the first minute) ---
    if (snapshots.size() >= 2) {
        const Snapshot& first = snapshots.front();
        const Snapshot& last = snapshots.back();
        const long long sliceGrowth =
            (last.sliceCapacity - first.sliceCapacity) * (long long)sizeof(SliceSegment);
        const long long heapGrowth = last.heap - first.heap;
        const long long residentGrowth = last.resident - first.resident;
        std::printf("After minute %.1f: heap %+lld bytes (slices %+lld), resident %+lld bytes\n",
                    first.minute, heapGrowth, sliceGrowth, residentGrowth);
        // The slices may still meet a longer contour than any before; nothing else grows.
        if (heapGrowth > sliceGrowth + 256 * 1024)
            Fail(frame, Format("heap grew by %lld bytes", heapGrowth));
        if (residentGrowth > 8LL * 1024 * 1024 + sliceGrowth)
            Fail(frame, Format("resident size grew by %lld bytes", residentGrowth));
    }
    const int total = game.collected[0] + game.collected[1] + game.collected[2];
    if (frames >= 60L * kFramesPerSecond && total == 0) Fail(frame, "nothing was collected");
    if (frames >= 60L * kFramesPerSecond && spawns - total < 1)
        Fail(frame, "every collectible was collected: the misses were not exercised");

    StopGame();
    std::printf("%ld frames, %ld ring advances, %ld collectibles (%d collected: %d atoms, %d "
                "flowers, %d fractals), %ld energy top-ups, %.0f s wall time\n",
                frame, advances, spawns, total, game.collected[0], game.collected[1],
                game.collected[2], energyTopUps, WallSeconds(wallStart));
    if (g_failures != 0) {
        std::printf("SOAK FAILED: %d failed checks\n", g_failures);
        return 1;
    }
    std::printf("SOAK PASSED\n");
    return 0;
}
