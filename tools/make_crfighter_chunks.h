// A small writer of 3DS chunks: the crfighter tool builds the ship's model file with it,
// and the reader's tests build their files with it in memory.
//
//   ChunkWriter w;
//   w.Begin(kChunkMain);      // opens a chunk; its length is patched in by End
//   w.U16(3); w.Name("hull");
//   w.End();
//   w.bytes                   // the file
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class ChunkWriter {
public:
    std::vector<unsigned char> bytes;

    void Begin(uint16_t id) {
        open_.push_back(bytes.size());
        U16(id);
        U32(0);
    }
    // Closes the innermost open chunk, writing its length (header included).
    void End() {
        const size_t start = open_.back();
        open_.pop_back();
        Patch32(start + 2, (uint32_t)(bytes.size() - start));
    }
    // A whole chunk with a given length field, whatever its real size (for bad files).
    void RawChunk(uint16_t id, uint32_t length, const std::vector<unsigned char>& body) {
        U16(id);
        U32(length);
        bytes.insert(bytes.end(), body.begin(), body.end());
    }

    void U8(uint8_t v) { bytes.push_back(v); }
    void U16(uint16_t v) {
        bytes.push_back((unsigned char)(v & 0xFF));
        bytes.push_back((unsigned char)(v >> 8));
    }
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back((unsigned char)((v >> (8 * i)) & 0xFF));
    }
    void F32(float f) {
        uint32_t v;
        std::memcpy(&v, &f, sizeof v);
        U32(v);
    }
    // NUL-terminated.
    void Name(const std::string& s) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        bytes.push_back(0);
    }
    void Patch32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = (unsigned char)((v >> (8 * i)) & 0xFF);
    }

    // Keyframer key: frame, flags word, one float per set flag bit 0..2 (tension,
    // continuity, bias), then the caller writes the key's values.
    void KeyHeader(uint32_t frame, uint16_t flags) {
        U32(frame);
        U16(flags);
        for (int bit = 0; bit < 3; ++bit)
            if (flags & (1 << bit)) F32(0.0f);
    }
    // Track header: flags, 8 unused bytes, 32-bit key count.
    void TrackHeader(uint32_t keyCount) {
        U16(0);
        U32(0);
        U32(0);
        U32(keyCount);
    }

private:
    std::vector<size_t> open_;
};
