// The byte-level pieces the replay file's reader and writer share: little-endian words,
// LEB128 varints, zigzag signs and float bits. Private to the replay file module.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace orvreplay {
namespace bytes {

const char kMagic[8] = {'O', 'R', 'V', 'R', 'P', 'L', 'A', 'Y'};

inline void PutU32(uint32_t v, std::vector<uint8_t>* out) {
    for (int i = 0; i < 4; ++i) out->push_back((uint8_t)(v >> (8 * i)));
}

inline void PutU64(uint64_t v, std::vector<uint8_t>* out) {
    for (int i = 0; i < 8; ++i) out->push_back((uint8_t)(v >> (8 * i)));
}

inline uint32_t GetU32(const uint8_t* p) {
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

inline uint64_t GetU64(const uint8_t* p) {
    return (uint64_t)GetU32(p) | ((uint64_t)GetU32(p + 4) << 32);
}

inline void PutVarint(uint64_t v, std::vector<uint8_t>* out) {
    while (v >= 0x80) {
        out->push_back((uint8_t)(v | 0x80));
        v >>= 7;
    }
    out->push_back((uint8_t)v);
}

inline uint64_t ZigZag(int64_t v) { return ((uint64_t)v << 1) ^ (uint64_t)(v >> 63); }
inline int64_t UnZigZag(uint64_t v) { return (int64_t)(v >> 1) ^ -(int64_t)(v & 1); }

inline uint32_t FloatBits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

inline float BitsFloat(uint32_t u) {
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

}  // namespace bytes
}  // namespace orvreplay
