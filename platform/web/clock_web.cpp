// The performance counter and the millisecond clock over the browser's monotonic clock
// (performance.now()), in microseconds.
#include <emscripten.h>

#include "platform/msclock.h"
#include "platform/standin/replay_internal.h"
#include "platform/standin/standin.h"

extern "C" {

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (count == nullptr) return FALSE;
    int64_t ticks = (int64_t)orvstandin::NativeCounter();
    orvreplay::OnCounter(&ticks);
    count->QuadPart = ticks;
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (frequency == nullptr) return FALSE;
    int64_t hz = (int64_t)orvstandin::NativeCounterFrequency();
    orvreplay::OnFrequency(&hz);
    frequency->QuadPart = hz;
    return TRUE;
}

}  // extern "C"

long MillisecondClock() {
    static const double start = emscripten_get_now();
    long ms = (long)(emscripten_get_now() - start);
    orvreplay::OnMilliseconds(&ms);
    return ms;
}
