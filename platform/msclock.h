// The runtime's millisecond clock, as the game uses it for its frame-rate count.
//
// On Windows the C runtime's clock() counts wall-clock milliseconds since the process
// started, which is what the game wants. Elsewhere clock() counts processor time in
// microseconds, so the stand-in layer supplies a wall-clock millisecond counter instead.
#pragma once

long MillisecondClock();
