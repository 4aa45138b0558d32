// The replay file's reader (layout in replay_file.h). It trusts nothing: every length is
// checked against what is left, every block against its CRC, and every value against the
// range the game can have produced, so a damaged file is reported, never followed.
#include <cstdio>
#include <cstring>

#include "platform/replay_bytes.h"
#include "platform/replay_file.h"

namespace orvreplay {
namespace {

using namespace bytes;

const int32_t kLargestSide = 16384;  // as the game's own window-size check

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

// Decodes one block's items; false at the first malformed one.
class Decoder {
public:
    Decoder(ReplayFile* file, uint32_t firstFrame, int64_t counterBase, int64_t msBase)
        : file_(file), firstFrame_(firstFrame), lastCounter_(counterBase), lastMs_(msBase) {}

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
            case ItemKind::Pad:
                return Pad(r);
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

    bool Pad(PayloadReader* r) {
        // A file from before pads were recorded cannot hold one.
        if (file_->header.version < kFirstVersionWithPads) return false;
        RecordedPad pad;
        uint64_t user, result;
        if (!r->Varint(&user) || user > 3 || !r->Varint(&result) || result > 0xFFFFFFFFu)
            return false;
        pad.user = (uint32_t)user;
        pad.result = (uint32_t)result;
        if (pad.result == 0) {
            uint64_t packet, buttons;
            if (!r->Varint(&packet) || packet > 0xFFFFFFFFu || !r->Varint(&buttons) ||
                buttons > 0xFFFFu || !r->Byte(&pad.leftTrigger) || !r->Byte(&pad.rightTrigger))
                return false;
            pad.packet = (uint32_t)packet;
            pad.buttons = (uint16_t)buttons;
            for (int16_t& t : pad.thumbs) {
                int32_t v;
                if (!r->Int32(&v) || v < -32768 || v > 32767) return false;
                t = (int16_t)v;
            }
        }
        file_->pads.push_back(pad);
        return Push(ItemKind::Pad, (int64_t)file_->pads.size() - 1, 0);
    }

    bool Frame(PayloadReader* r) {
        uint64_t index;
        if (!r->Varint(&index) || index != firstFrame_ + file_->digests.size()) return false;
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
        // Items name their digest by its place in the file.
        return Push(ItemKind::Frame, (int64_t)(file_->digests.size() - 1), 0);
    }

    ReplayFile* file_;
    uint64_t firstFrame_;
    int64_t lastCounter_;
    int64_t lastMs_;
};

}  // namespace

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
    if (version != 0 && version < kOldestPlayableVersion) {
        *error = "made by an older game (format version " + std::to_string(version) +
                 "; this game plays versions " + std::to_string(kOldestPlayableVersion) +
                 " to " + std::to_string(kFormatVersion) + ", since the steering's clock changed)";
        return ReadResult::OlderVersion;
    }
    if (version == 0 || h.width <= 0 || h.width > kLargestSide || h.height <= 0 ||
        h.height > kLargestSide) {
        *error = "corrupted: the header holds impossible values";
        return ReadResult::Corrupted;
    }

    if (version >= 3) {
        if (size < HeaderBytes(version)) {
            *error = Describe("truncated: the header ends", size);
            return ReadResult::Truncated;
        }
        const uint8_t* f = data + kHeaderSize;
        const uint32_t flags = GetU32(f);
        h.flightStart = (flags & 1u) != 0;
        h.randomState = GetU32(f + 4);
        h.focused = (int32_t)GetU32(f + 8);
        h.firstFrame = GetU32(f + 12);
        h.frequency = (int64_t)GetU64(f + 16);
        h.counterBase = (int64_t)GetU64(f + 24);
        h.msBase = (int64_t)GetU64(f + 32);
        if (GetU32(f + 40) != Crc32(f, 40)) {
            *error = "corrupted: the header's checksum does not match";
            return ReadResult::Corrupted;
        }
        if ((flags & ~1u) != 0 || (h.focused != 0 && h.focused != 1) ||
            (h.flightStart && h.frequency <= 0)) {
            *error = "corrupted: the header holds impossible values";
            return ReadResult::Corrupted;
        }
    }

    Decoder decoder(file, h.firstFrame, h.counterBase, h.msBase);
    size_t pos = HeaderBytes(version);
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

}  // namespace orvreplay
