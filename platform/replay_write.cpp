// The replay file's writer side: encodes the header, the records and the blocks into byte
// buffers (layout in replay_file.h); the recorder writes them to the file.
#include "platform/replay_bytes.h"
#include "platform/replay_file.h"

namespace orvreplay {

using namespace bytes;

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

void EncodeHeader(const Header& header, std::vector<uint8_t>* out) {
    const size_t start = out->size();
    out->insert(out->end(), kMagic, kMagic + sizeof(kMagic));
    PutU32(header.version, out);
    PutU32((uint32_t)header.width, out);
    PutU32((uint32_t)header.height, out);
    PutU64(header.dataHash, out);
    PutU32(Crc32(out->data() + start, 28), out);
    if (header.version < 3) return;
    const size_t flight = out->size();
    PutU32(header.flightStart ? 1u : 0u, out);
    PutU32(header.randomState, out);
    PutU32((uint32_t)header.focused, out);
    PutU32(header.firstFrame, out);
    PutU64((uint64_t)header.frequency, out);
    PutU64((uint64_t)header.counterBase, out);
    PutU64((uint64_t)header.msBase, out);
    PutU32(Crc32(out->data() + flight, 40), out);
}

size_t HeaderBytes(uint32_t version) {
    return version >= 3 ? kHeaderSize + kFlightHeaderSize : kHeaderSize;
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

void EncodePad(const RecordedPad& pad, std::vector<uint8_t>* payload) {
    payload->push_back((uint8_t)ItemKind::Pad);
    PutVarint(pad.user, payload);
    PutVarint(pad.result, payload);
    if (pad.result != 0) return;
    PutVarint(pad.packet, payload);
    PutVarint(pad.buttons, payload);
    payload->push_back(pad.leftTrigger);
    payload->push_back(pad.rightTrigger);
    for (int16_t t : pad.thumbs) PutVarint(ZigZag(t), payload);
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
