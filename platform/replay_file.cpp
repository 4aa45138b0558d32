// Encoding and decoding of replay files (layout in replay_file.h). The reader trusts
// nothing: every length is checked against what is left, every block against its CRC,
// and every value against the range the game can have produced, so a damaged file is
// reported, never followed.
#include "platform/replay_file.h"

#include <cstdio>
#include <cstring>

namespace orvreplay {
namespace {

const char kMagic[8] = {'O', 'R', 'V', 'R', 'P', 'L', 'A', 'Y'};
const int32_t kLargestSide = 16384;  // as the game's own window-size check

void PutU32(uint32_t v, std::vector<uint8_t>* out) {
    for (int i = 0; i < 4; ++i) out->push_back((uint8_t)(v >> (8 * i)));
}

void PutU64(uint64_t v, std::vector<uint8_t>* out) {
    for (int i = 0; i < 8; ++i) out->push_back((uint8_t)(v >> (8 * i)));
}

uint32_t GetU32(const uint8_t* p) {
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

uint64_t GetU64(const uint8_t* p) { return (uint64_t)GetU32(p) | ((uint64_t)GetU32(p + 4) << 32); }

void PutVarint(uint64_t v, std::vector<uint8_t>* out) {
    while (v >= 0x80) {
        out->push_back((uint8_t)(v | 0x80));
        v >>= 7;
    }
    out->push_back((uint8_t)v);
}

uint64_t ZigZag(int64_t v) { return ((uint64_t)v << 1) ^ (uint64_t)(v >> 63); }
int64_t UnZigZag(uint64_t v) { return (int64_t)(v >> 1) ^ -(int64_t)(v & 1); }

uint32_t FloatBits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

float BitsFloat(uint32_t u) {
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

// Reads one payload; fails at the first byte that does not fit.
class PayloadReader {
public:
    PayloadReader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
    bool AtEnd() const { return pos_ == n_; }
    size_t Left() const { return n_ - pos_; }

    bool Byte(uint8_t* v) {
        if (pos_ >= n_) return false;
        *v = p_[pos_++];
        return true;
    }
    bool Varint(uint64_t* v) {
        uint64_t result = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            uint8_t b;
            if (!Byte(&b)) return false;
            // The tenth byte may only carry the top bit of a 64-bit value.
            if (shift == 63 && b > 1) return false;
            result |= (uint64_t)(b & 0x7F) << shift;
            if ((b & 0x80) == 0) {
                *v = result;
                return true;
            }
        }
        return false;
    }
    bool Signed(int64_t* v) {
        uint64_t u;
        if (!Varint(&u)) return false;
        *v = UnZigZag(u);
        return true;
    }
    bool Int32(int32_t* v) {
        int64_t s;
        if (!Signed(&s) || s < INT32_MIN || s > INT32_MAX) return false;
        *v = (int32_t)s;
        return true;
    }
    bool Float(float* v) {
        if (Left() < 4) return false;
        *v = BitsFloat(GetU32(p_ + pos_));
        pos_ += 4;
        return true;
    }

private:
    const uint8_t* p_;
    size_t n_;
    size_t pos_ = 0;
};

std::string Describe(const char* what, size_t offset) {
    char text[160];
    std::snprintf(text, sizeof(text), "%s at byte %zu", what, offset);
    return text;
}

std::string FloatText(float f) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.9g", (double)f);
    return text;
}

// Decodes one block's items; false at the first malformed one.
class Decoder {
public:
    explicit Decoder(ReplayFile* file) : file_(file) {}

    bool Payload(const uint8_t* p, size_t n) {
        PayloadReader r(p, n);
        while (!r.AtEnd()) {
            uint8_t tag;
            if (!r.Byte(&tag) || !ItemOf(tag, &r)) return false;
        }
        return true;
    }

private:
    bool ItemOf(uint8_t tag, PayloadReader* r) {
        switch ((ItemKind)tag) {
            case ItemKind::Frequency: {
                int64_t hz;
                if (!r->Signed(&hz) || hz <= 0) return false;
                return Push(ItemKind::Frequency, hz, 0);
            }
            case ItemKind::Counter:
                return Delta(r, ItemKind::Counter, &lastCounter_);
            case ItemKind::Milliseconds:
                return Delta(r, ItemKind::Milliseconds, &lastMs_);
            case ItemKind::Cursor: {
                int32_t x, y;
                if (!r->Int32(&x) || !r->Int32(&y)) return false;
                return Push(ItemKind::Cursor, x, y);
            }
            case ItemKind::QuietPumps: {
                uint64_t count;
                if (!r->Varint(&count) || count == 0 || count > (uint64_t)INT64_MAX) return false;
                return Push(ItemKind::QuietPumps, (int64_t)count, 0);
            }
            case ItemKind::Messages:
                return Messages(r);
            case ItemKind::MessageBox: {
                int32_t answer, type;
                if (!r->Int32(&answer) || !r->Int32(&type)) return false;
                return Push(ItemKind::MessageBox, answer, type);
            }
            case ItemKind::DisplayMode: {
                int32_t result;
                if (!r->Int32(&result)) return false;
                return Push(ItemKind::DisplayMode, result, 0);
            }
            case ItemKind::Frame:
                return Frame(r);
        }
        return false;
    }

    bool Push(ItemKind kind, int64_t a, int64_t b) {
        file_->items.push_back(Item{kind, a, b});
        return true;
    }

    bool Delta(PayloadReader* r, ItemKind kind, int64_t* last) {
        int64_t d;
        if (!r->Signed(&d)) return false;
        // Two's-complement wrap-around, as the writer took the difference.
        *last = (int64_t)((uint64_t)*last + (uint64_t)d);
        return Push(kind, *last, 0);
    }

    bool Messages(PayloadReader* r) {
        uint64_t count;
        // Each message takes at least four bytes, which bounds the count by what is left.
        if (!r->Varint(&count) || count == 0 || count > r->Left() / 4) return false;
        const size_t first = file_->messages.size();
        for (uint64_t i = 0; i < count; ++i) {
            uint64_t message, wParam;
            int64_t lParam;
            uint8_t window;
            if (!r->Varint(&message) || message > 0xFFFFFFFFu || !r->Varint(&wParam) ||
                !r->Signed(&lParam) || !r->Byte(&window) || window > 1)
                return false;
            file_->messages.push_back(RecordedMessage{(uint32_t)message, wParam, lParam, window});
        }
        return Push(ItemKind::Messages, (int64_t)first, (int64_t)count);
    }

    bool Frame(PayloadReader* r) {
        uint64_t index;
        if (!r->Varint(&index) || index != file_->digests.size()) return false;
        FrameDigest d;
        float* floats[] = {&d.energy,       &d.totalTime,    &d.meters[0],     &d.meters[1],
                           &d.meters[2],    &d.meters[3],    &d.worldX,        &d.worldY,
                           &d.collectibleX, &d.collectibleY, &d.collectibleZ};
        for (float* f : floats)
            if (!r->Float(f)) return false;
        int32_t* ints[] = {&d.collected[0], &d.collected[1],   &d.collected[2],
                           &d.collectibleActive, &d.collectibleKind, &d.ringHead};
        for (int32_t* i : ints)
            if (!r->Int32(i)) return false;
        file_->digests.push_back(d);
        return Push(ItemKind::Frame, (int64_t)index, 0);
    }

    ReplayFile* file_;
    int64_t lastCounter_ = 0;
    int64_t lastMs_ = 0;
};

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

const char* ItemName(ItemKind kind) {
    switch (kind) {
        case ItemKind::Frequency: return "the counter frequency";
        case ItemKind::Counter: return "the performance counter";
        case ItemKind::Milliseconds: return "the millisecond clock";
        case ItemKind::Cursor: return "the cursor position";
        case ItemKind::QuietPumps:
        case ItemKind::Messages: return "the window messages";
        case ItemKind::MessageBox: return "a message-box answer";
        case ItemKind::DisplayMode: return "a display-mode change";
        case ItemKind::Frame: return "the frame's end";
    }
    return "an unknown item";
}

DigestDifference CompareDigests(const FrameDigest& a, const FrameDigest& b) {
    struct FloatField {
        const char* name;
        float FrameDigest::*member;
    };
    static const FloatField floats[] = {
        {"energy", &FrameDigest::energy},
        {"total time", &FrameDigest::totalTime},
        {"world offset x", &FrameDigest::worldX},
        {"world offset y", &FrameDigest::worldY},
        {"collectible x", &FrameDigest::collectibleX},
        {"collectible y", &FrameDigest::collectibleY},
        {"collectible z", &FrameDigest::collectibleZ},
    };
    for (const FloatField& f : floats)
        if (FloatBits(a.*f.member) != FloatBits(b.*f.member))
            return {f.name, FloatText(a.*f.member), FloatText(b.*f.member)};
    for (int i = 0; i < 4; ++i)
        if (FloatBits(a.meters[i]) != FloatBits(b.meters[i]))
            return {"zone meter " + std::to_string(i), FloatText(a.meters[i]),
                    FloatText(b.meters[i])};
    static const char* const kCounts[3] = {"atoms collected", "flowers collected",
                                           "fractals collected"};
    for (int i = 0; i < 3; ++i)
        if (a.collected[i] != b.collected[i])
            return {kCounts[i], std::to_string(a.collected[i]), std::to_string(b.collected[i])};
    struct IntField {
        const char* name;
        int32_t FrameDigest::*member;
    };
    static const IntField ints[] = {
        {"collectible active", &FrameDigest::collectibleActive},
        {"collectible kind", &FrameDigest::collectibleKind},
        {"ring head", &FrameDigest::ringHead},
    };
    for (const IntField& f : ints)
        if (a.*f.member != b.*f.member)
            return {f.name, std::to_string(a.*f.member), std::to_string(b.*f.member)};
    return {};
}

ReadResult ReadReplay(const uint8_t* data, size_t size, ReplayFile* file, std::string* error) {
    *file = ReplayFile();
    error->clear();
    if (data == nullptr) size = 0;
    // A file shorter than the magic that starts like it was cut off, not foreign.
    const size_t magicSeen = size < sizeof(kMagic) ? size : sizeof(kMagic);
    if (std::memcmp(data == nullptr ? kMagic : (const char*)data, kMagic, magicSeen) != 0) {
        *error = "not a replay file (its first bytes are not a replay's)";
        return ReadResult::Foreign;
    }
    if (size < kHeaderSize) {
        *error = size == 0 ? std::string("the file is empty")
                           : Describe("truncated: the header ends", size);
        return ReadResult::Truncated;
    }
    const uint32_t version = GetU32(data + 8);
    if (version > kFormatVersion) {
        *error = "made by a newer game (format version " + std::to_string(version) +
                 "; this game reads up to version " + std::to_string(kFormatVersion) + ")";
        return ReadResult::NewerVersion;
    }
    if (GetU32(data + 28) != Crc32(data, 28)) {
        *error = "corrupted: the header's checksum does not match";
        return ReadResult::Corrupted;
    }
    Header& h = file->header;
    h.version = version;
    h.width = (int32_t)GetU32(data + 12);
    h.height = (int32_t)GetU32(data + 16);
    h.dataHash = GetU64(data + 20);
    if (version == 0 || h.width <= 0 || h.width > kLargestSide || h.height <= 0 ||
        h.height > kLargestSide) {
        *error = "corrupted: the header holds impossible values";
        return ReadResult::Corrupted;
    }

    Decoder decoder(file);
    size_t pos = kHeaderSize;
    while (pos < size) {
        const size_t left = size - pos;
        if (left < 4) {
            *error = Describe("truncated: a block's length is cut off", pos);
            return ReadResult::Truncated;
        }
        const uint32_t length = GetU32(data + pos);
        if (length == 0 || length > kMaxBlockPayload) {
            *error = Describe("corrupted: impossible block length", pos);
            return ReadResult::Corrupted;
        }
        if (left - 4 < (size_t)length + 4) {
            *error = Describe("truncated: the last block is cut off", pos);
            return ReadResult::Truncated;
        }
        const uint8_t* payload = data + pos + 4;
        if (GetU32(payload + length) != Crc32(payload, length)) {
            *error = Describe("corrupted: a block's checksum does not match", pos);
            return ReadResult::Corrupted;
        }
        if (!decoder.Payload(payload, length)) {
            *error = Describe("corrupted: a block holds a malformed record", pos);
            return ReadResult::Corrupted;
        }
        pos += 4 + (size_t)length + 4;
    }
    return ReadResult::Ok;
}

void EncodeHeader(const Header& header, std::vector<uint8_t>* out) {
    const size_t start = out->size();
    out->insert(out->end(), kMagic, kMagic + sizeof(kMagic));
    PutU32(header.version, out);
    PutU32((uint32_t)header.width, out);
    PutU32((uint32_t)header.height, out);
    PutU64(header.dataHash, out);
    PutU32(Crc32(out->data() + start, 28), out);
}

void EncodeValue(ItemKind kind, int64_t value, int64_t previous, std::vector<uint8_t>* payload) {
    payload->push_back((uint8_t)kind);
    if (kind == ItemKind::Counter || kind == ItemKind::Milliseconds)
        value = (int64_t)((uint64_t)value - (uint64_t)previous);
    PutVarint(ZigZag(value), payload);
}

void EncodeCursor(int64_t x, int64_t y, std::vector<uint8_t>* payload) {
    payload->push_back((uint8_t)ItemKind::Cursor);
    PutVarint(ZigZag(x), payload);
    PutVarint(ZigZag(y), payload);
}

void EncodeQuietPumps(uint64_t count, std::vector<uint8_t>* payload) {
    payload->push_back((uint8_t)ItemKind::QuietPumps);
    PutVarint(count, payload);
}

void EncodeMessages(const std::vector<RecordedMessage>& messages, std::vector<uint8_t>* payload) {
    payload->push_back((uint8_t)ItemKind::Messages);
    PutVarint(messages.size(), payload);
    for (const RecordedMessage& m : messages) {
        PutVarint(m.message, payload);
        PutVarint(m.wParam, payload);
        PutVarint(ZigZag(m.lParam), payload);
        payload->push_back(m.window);
    }
}

void EncodeMessageBox(int64_t answer, int64_t type, std::vector<uint8_t>* payload) {
    payload->push_back((uint8_t)ItemKind::MessageBox);
    PutVarint(ZigZag(answer), payload);
    PutVarint(ZigZag(type), payload);
}

void EncodeFrame(uint32_t frameIndex, const FrameDigest& d, std::vector<uint8_t>* payload) {
    payload->push_back((uint8_t)ItemKind::Frame);
    PutVarint(frameIndex, payload);
    const float floats[] = {d.energy,    d.totalTime, d.meters[0],     d.meters[1],
                            d.meters[2], d.meters[3], d.worldX,        d.worldY,
                            d.collectibleX, d.collectibleY, d.collectibleZ};
    for (float f : floats) PutU32(FloatBits(f), payload);
    const int32_t ints[] = {d.collected[0],      d.collected[1],     d.collected[2],
                            d.collectibleActive, d.collectibleKind, d.ringHead};
    for (int32_t i : ints) PutVarint(ZigZag(i), payload);
}

void EncodeBlock(const std::vector<uint8_t>& payload, std::vector<uint8_t>* out) {
    PutU32((uint32_t)payload.size(), out);
    out->insert(out->end(), payload.begin(), payload.end());
    PutU32(Crc32(payload.data(), payload.size()), out);
}

}  // namespace orvreplay
