// Soak: the whole game for a long stretch of game time (30 minutes by default) at a fixed
// frame time of 1/60 s, on a real GL context, driven through the platform layer's test
// seam: scripted clocks, and mouse motion that steers the world as a player would,
// chasing about every second collectible and wandering between the sources' zones
// otherwise. The driver adds energy when it runs low, so the game never ends.
//
// Every frame it checks that the rules and the ring stay consistent (energy and meters
// within 0..1.8, counts only growing and only by a collection of the current kind, the
// kind within 0..2, the ring's head advancing with sane stamps and span).
//
// Memory: the ring is full after a few seconds, so from the end of the first minute on
// nothing of ours may grow but the slices' arrays (bounded by the grid). The program's
// own heap is counted exactly: operator new and delete are replaced here, and every
// block asked for by code of this program (the game's libraries are linked in
// statically) is counted until it is deleted. The whole process's heap and resident size
// are sampled too; the GL driver's blocks come and go by the megabyte with what is
// drawn, so those are held to looser bounds.
//
// Not a benchmark and not part of the default runs: scripts/soak.sh builds and runs it.
//   bench_soak [MINUTES] [WIDTH HEIGHT]
// Exit status 0 when every check held, 1 otherwise.
#include <windows.h>

#include <GL/gl.h>

#include <malloc.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "app/gl_display.h"
#include "app/shell.h"
#include "game/frame_driver.h"
#include "game/world.h"
#include "platform/sdl/seam.h"

// --- The program's own heap, counted ---------------------------------------------------

extern "C" char __executable_start[];
extern "C" char etext[];

namespace {

std::atomic<long long> g_ourBytes{0};
std::atomic<long long> g_ourBlocks{0};

// Before every block: its size and whether code of this program asked for it. Sixteen
// bytes keep the block as aligned as malloc's.
struct alignas(16) BlockHeader {
    size_t size;
    size_t ours;
};

void* CountedAllocate(size_t size, void* caller) {
    BlockHeader* h = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + size));
    if (h == nullptr) return nullptr;
    h->size = size;
    h->ours = caller >= (void*)__executable_start && caller < (void*)etext;
    if (h->ours) {
        g_ourBytes += (long long)size;
        ++g_ourBlocks;
    }
    return h + 1;
}

void CountedRelease(void* p) {
    if (p == nullptr) return;
    BlockHeader* h = static_cast<BlockHeader*>(p) - 1;
    if (h->ours) {
        g_ourBytes -= (long long)h->size;
        --g_ourBlocks;
    }
    std::free(h);
}

}  // namespace

void* operator new(size_t size) {
    void* p = CountedAllocate(size, __builtin_return_address(0));
    if (p == nullptr) throw std::bad_alloc();
    return p;
}
void* operator new[](size_t size) {
    void* p = CountedAllocate(size, __builtin_return_address(0));
    if (p == nullptr) throw std::bad_alloc();
    return p;
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return CountedAllocate(size, __builtin_return_address(0));
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return CountedAllocate(size, __builtin_return_address(0));
}
void operator delete(void* p) noexcept { CountedRelease(p); }
void operator delete[](void* p) noexcept { CountedRelease(p); }
void operator delete(void* p, size_t) noexcept { CountedRelease(p); }
void operator delete[](void* p, size_t) noexcept { CountedRelease(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { CountedRelease(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { CountedRelease(p); }

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

int LargestSlice() {
    int largest = 0;
    for (int i = 0; i < kRingSlots; ++i)
        if (landscape.slots[i] != nullptr && landscape.slots[i]->capacity > largest)
            largest = landscape.slots[i]->capacity;
    return largest;
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

// One minute of game time: the lowest and highest values sampled once a second.
struct Minute {
    long long heapFloor = -1, heapPeak = 0;
    long long slicesLow = -1, slicesHigh = 0;
    long long otherLow = -1, otherHigh = 0;  // our heap besides the slices' arrays
    long long resident = 0;

    static void Low(long long& low, long long v) {
        if (low < 0 || v < low) low = v;
    }
    void Sample(long long heap, long long slices, long long other) {
        Low(heapFloor, heap);
        if (heap > heapPeak) heapPeak = heap;
        Low(slicesLow, slices);
        if (slices > slicesHigh) slicesHigh = slices;
        Low(otherLow, other);
        if (other > otherHigh) otherHigh = other;
    }
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

    // Mesa's software renderer rasterizes on worker threads whose per-frame blocks come
    // and go at their own pace; rendering on this thread makes the heap sampled after a
    // finished frame the game's steady state plus the driver's caches.
    setenv("LP_NUM_THREADS", "0", 0);

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
    std::vector<Minute> history;
    Minute minute;
    int largestSlice = 0;
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

        if (frame % kFramesPerSecond == 0) {
            glFinish();
            const long long slices = SliceCapacity();
            const long long sliceBytes = slices * (long long)sizeof(SliceSegment);
            minute.Sample(HeapInUse(), slices, g_ourBytes.load() - sliceBytes);
            const int largest = LargestSlice();
            if (largest > largestSlice) largestSlice = largest;
        }
        if (frame % (60 * kFramesPerSecond) == 0 || frame == frames) {
            minute.resident = ResidentBytes();
            history.push_back(minute);
            std::printf("minute %5.1f: frames %6ld, collected %d/%d/%d of %ld (chased %ld), "
                        "top-ups %ld; ours: slices %lld..%lld segments, other %lld..%lld bytes; "
                        "process: heap %.2f..%.2f MB, resident %.1f MB; %.0f frames/s\n",
                        frame / (60.0 * kFramesPerSecond), frame, g.collected[0],
                        g.collected[1], g.collected[2], spawns, chased, energyTopUps,
                        minute.slicesLow, minute.slicesHigh, minute.otherLow, minute.otherHigh,
                        minute.heapFloor / 1048576.0, minute.heapPeak / 1048576.0,
                        minute.resident / 1048576.0, frame / WallSeconds(wallStart));
            std::fflush(stdout);
            minute = Minute();
        }
    }
    if (quit) Fail(frame, "the window was closed");
    if (!orvseam::MessageBoxes().empty())
        Fail(frame, "a message box was shown: " + orvseam::MessageBoxes()[0].text);

    // --- memory: flat once the ring is full (from the second minute on) ---
    // A slice holds at most two segments per grid cell and its stars; the array grows by
    // 50 segments at a time.
    const int sliceBound = 2 * kGridCells * kGridCells + 20 + 50;
    if (largestSlice > sliceBound)
        Fail(frame, Format("a slice holds room for %d segments", largestSlice));
    if (history.size() >= 2) {
        const Minute& first = history[0];
        const Minute& last = history.back();
        // Ours: nothing but the slices may grow once the first minute is over. (The soak's
        // own records of the minutes are a few hundred bytes.)
        const long long otherGrowth = last.otherHigh - first.otherHigh;
        std::printf("Ours from minute 1 to the end: other blocks %+lld bytes, slices %lld..%lld "
                    "segments (largest %d)\n",
                    otherGrowth, first.slicesLow, last.slicesHigh, largestSlice);
        if (otherGrowth > 4096)
            Fail(frame, Format("our heap besides the slices grew by %lld bytes", otherGrowth));
        // The process: the driver's share swings by megabytes with what is drawn, so its
        // floor is compared with the highest floor of the first minutes, and the resident
        // size with its value after minute 1.
        long long earlyFloor = 0;
        for (size_t i = 1; i < history.size() && i <= 5; ++i)
            if (history[i].heapFloor > earlyFloor) earlyFloor = history[i].heapFloor;
        const long long residentGrowth = last.resident - first.resident;
        std::printf("Process: heap floor %.2f MB at the end, at most %.2f MB in minutes 2 to 6; "
                    "resident %+lld bytes from minute 1\n",
                    last.heapFloor / 1048576.0, earlyFloor / 1048576.0, residentGrowth);
        if (history.size() >= 3 && last.heapFloor > earlyFloor + 1024 * 1024)
            Fail(frame, Format("the process heap's floor rose to %lld bytes", last.heapFloor));
        if (residentGrowth > 8LL * 1024 * 1024)
            Fail(frame, Format("the resident size grew by %lld bytes", residentGrowth));
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
