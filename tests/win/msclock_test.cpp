// The frame-rate count takes its seconds from MillisecondClock: on Windows the runtime's
// clock(), which counts wall-clock milliseconds, so time spent waiting counts too.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/msclock.h"

TEST(MillisecondClock, CountsWallClockMillisecondsWhileIdle) {
    long before = MillisecondClock();
    Sleep(300);
    long elapsed = MillisecondClock() - before;
    // A processor-time clock would stand still while the thread sleeps.
    EXPECT_GE(elapsed, 250);
    EXPECT_LT(elapsed, 5000) << "milliseconds, not a finer unit";
}
