#include "tests/soak/soak_memory.h"

#include <windows.h>

#include <GL/gl.h>

#include <malloc.h>

#include <cstdio>

#include "game/world.h"
#include "tests/soak/counted_heap.h"
#include "tests/soak/soak_report.h"

namespace {

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

void Low(long long& low, long long v) {
    if (low < 0 || v < low) low = v;
}
void High(long long& high, long long v) {
    if (v > high) high = v;
}

}  // namespace

void MemoryWatch::Sample() {
    glFinish();
    const long long heap = HeapInUse();
    const long long slices = SliceCapacity();
    const long long other = OurHeapBytes() - slices * (long long)sizeof(SliceSegment);
    Low(minute.heapFloor, heap);
    High(minute.heapPeak, heap);
    Low(minute.slicesLow, slices);
    High(minute.slicesHigh, slices);
    Low(minute.otherLow, other);
    High(minute.otherHigh, other);
    const int largest = LargestSlice();
    if (largest > largestSlice) largestSlice = largest;
}

const Minute& MemoryWatch::CloseMinute() {
    minute.resident = ResidentBytes();
    history.push_back(minute);
    minute = Minute();
    return history.back();
}

void MemoryWatch::Check(long frame) const {
    // A slice holds at most two segments per grid cell and its stars; the array grows by
    // 50 segments at a time.
    const int sliceBound = 2 * kGridCells * kGridCells + 20 + 50;
    if (largestSlice > sliceBound)
        Fail(frame, Format("a slice holds room for %d segments", largestSlice));
    if (history.size() < 2) return;
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
