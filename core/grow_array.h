// GrowArray: the one container of the game. A contiguous, owned array of plain records
// that grows by a fixed step (50 slots from Push) rather than by doubling. Faces point at
// vertices and sort entries at faces by raw pointers, so owners fill an array completely
// before taking pointers into it and never grow it afterwards.
//
// Storage comes from the global allocation operator without exceptions: a failed
// allocation makes the operation return 0 and leaves the array as it was. Tests make
// allocations fail through SetAllocFailure (core/alloc_failure.h).
#pragma once

#include <cstring>
#include <new>
#include <type_traits>

namespace growarray_detail {
// Null when out of memory or when a test has made allocations fail.
void* Allocate(long bytes);
void Release(void* p);
}  // namespace growarray_detail

template <typename T>
class GrowArray {
    static_assert(std::is_trivially_copyable<T>::value, "GrowArray holds plain records");

public:
    int capacity = 0;
    int count = 0;
    T* items = nullptr;

    GrowArray() = default;
    GrowArray(const GrowArray&) = delete;
    GrowArray& operator=(const GrowArray&) = delete;
    ~GrowArray() {
        if (capacity != 0) growarray_detail::Release(items);
    }

    void Clear() {
        if (capacity != 0) growarray_detail::Release(items);
        capacity = 0;
        count = 0;
        items = nullptr;
    }

    int Push(const T& element) {
        if (count == capacity && !Grow(50)) return 0;
        std::memcpy(static_cast<void*>(&items[count]), &element, sizeof(T));
        ++count;
        return 1;
    }

    int Grow(int n) {
        if (n <= 0) return 0;
        if (capacity == 0) {
            items = static_cast<T*>(growarray_detail::Allocate((long)n * (long)sizeof(T)));
            if (items == nullptr) return 0;
            capacity = n;
            return 1;
        }
        T* bigger = static_cast<T*>(
            growarray_detail::Allocate(((long)capacity + n) * (long)sizeof(T)));
        if (bigger == nullptr) return 0;
        if (count > 0) std::memcpy(static_cast<void*>(bigger), items, (size_t)count * sizeof(T));
        capacity += n;
        growarray_detail::Release(items);
        items = bigger;
        return 1;
    }

    T* At(int index) {
        if (index < 0 || index >= count || capacity == 0) return nullptr;
        return &items[index];
    }
    const T* At(int index) const {
        if (index < 0 || index >= count || capacity == 0) return nullptr;
        return &items[index];
    }

    // Counts n more elements as in use without writing them.
    int AddCount(int n) {
        if (n < 0) return 0;
        int newCount = count + n;
        if (capacity < newCount && !Grow(newCount - capacity)) return 0;
        count = newCount;
        return 1;
    }

    // Removes n elements from start, keeping the order of the rest; n = -1 means to
    // the end. Capacity and storage stay.
    int RemoveRange(int start, int n) {
        if (start < 0 || start >= count) return 0;
        if (n < -1) return 0;
        if (n == -1 || start + n >= count) {
            count = start;
            return 1;
        }
        for (int i = 0; start + n + i < count; ++i)
            std::memcpy(static_cast<void*>(&items[start + i]), &items[start + n + i], sizeof(T));
        count -= n;
        return 1;
    }
};
