// Memory over the soak: the ring is full after a few seconds, so from the end of the first
// minute on nothing of ours may grow but the slices' arrays (bounded by the grid). Our own
// heap is counted exactly (counted_heap.h); the whole process's heap and resident size are
// sampled too, but the GL driver's blocks come and go by the megabyte with what is drawn,
// so those are held to looser bounds.
#pragma once

#include <vector>

// One minute of game time: the lowest and highest values sampled once a second.
struct Minute {
    long long heapFloor = -1, heapPeak = 0;
    long long slicesLow = -1, slicesHigh = 0;
    long long otherLow = -1, otherHigh = 0;  // our heap besides the slices' arrays
    long long resident = 0;
};

struct MemoryWatch {
    std::vector<Minute> history;
    Minute minute;
    int largestSlice = 0;

    // Once a second, after a finished frame.
    void Sample();
    // Once a minute: closes the minute and returns it.
    const Minute& CloseMinute();
    // The verdict at the end of the run.
    void Check(long frame) const;
};
