// The performance counter and the millisecond clock. SDL's counter is monotonic and, on
// Linux, runs at 1 GHz: a 32-bit difference would wrap after 2.1 s, so callers take the
// full 64-bit difference.
#include <windows.h>

#include "platform/msclock.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/standin/replay_internal.h"
#include "platform/sdl/seam_internal.h"

extern "C" {

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (count == nullptr) return FALSE;
    int64_t ticks;
    if (!orvseam::ScriptedCounter(&ticks)) ticks = (int64_t)SDL_GetPerformanceCounter();
    orvreplay::OnCounter(&ticks);
    count->QuadPart = ticks;
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (frequency == nullptr) return FALSE;
    int64_t hz;
    if (!orvseam::ScriptedFrequency(&hz)) hz = (int64_t)SDL_GetPerformanceFrequency();
    orvreplay::OnFrequency(&hz);
    frequency->QuadPart = hz;
    return TRUE;
}

}  // extern "C"

// Wall-clock milliseconds since the first call (Windows' clock() counts from process
// start; only differences matter to the game).
namespace {

long MachineMilliseconds() {
    long ms;
    if (orvseam::ScriptedMilliseconds(&ms)) return ms;
    static const Uint64 start = SDL_GetPerformanceCounter();
    const Uint64 hz = SDL_GetPerformanceFrequency();
    return (long)((SDL_GetPerformanceCounter() - start) * 1000 / hz);
}

}  // namespace

long MillisecondClock() {
    long ms = MachineMilliseconds();
    orvreplay::OnMilliseconds(&ms);
    return ms;
}
