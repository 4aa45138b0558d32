// Replay reader: ReadReplay on the input bytes. A file it accepts must hold only records
// that point where they may, and must come back the same when written out again and
// read (the writer and the reader agree on every value the reader lets through).
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/replay_file.h"

using namespace orvreplay;

namespace {

bool SameDigest(const FrameDigest& a, const FrameDigest& b) {
    return std::memcmp(&a, &b, sizeof(FrameDigest)) == 0;
}

// Writes the decoded file out again, one block per frame (as the recorder does).
std::vector<uint8_t> Rewrite(const ReplayFile& f) {
    std::vector<uint8_t> out;
    EncodeHeader(f.header, &out);
    std::vector<uint8_t> payload;
    int64_t lastCounter = 0, lastMs = 0;
    for (const Item& i : f.items) {
        switch (i.kind) {
            case ItemKind::Counter:
                EncodeValue(i.kind, i.a, lastCounter, &payload);
                lastCounter = i.a;
                break;
            case ItemKind::Milliseconds:
                EncodeValue(i.kind, i.a, lastMs, &payload);
                lastMs = i.a;
                break;
            case ItemKind::Frequency:
            case ItemKind::DisplayMode:
                EncodeValue(i.kind, i.a, 0, &payload);
                break;
            case ItemKind::Cursor: EncodeCursor(i.a, i.b, &payload); break;
            case ItemKind::QuietPumps: EncodeQuietPumps((uint64_t)i.a, &payload); break;
            case ItemKind::MessageBox: EncodeMessageBox(i.a, i.b, &payload); break;
            case ItemKind::Messages:
                EncodeMessages(std::vector<RecordedMessage>(f.messages.begin() + i.a,
                                                            f.messages.begin() + i.a + i.b),
                               &payload);
                break;
            case ItemKind::Pad: EncodePad(f.pads[(size_t)i.a], &payload); break;
            case ItemKind::Frame:
                EncodeFrame((uint32_t)i.a, f.digests[(size_t)i.a], &payload);
                EncodeBlock(payload, &out);
                payload.clear();
                break;
        }
    }
    if (!payload.empty()) EncodeBlock(payload, &out);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReplayFile f;
    std::string error;
    const ReadResult r = ReadReplay(data, size, &f, &error);
    if (r != ReadResult::Ok) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    FUZZ_CHECK(error.empty());
    FUZZ_CHECK(size >= kHeaderSize);
    FUZZ_CHECK(f.header.width > 0 && f.header.height > 0);
    size_t frames = 0, messages = 0, pads = 0;
    for (const Item& i : f.items) {
        if (i.kind == ItemKind::Pad) FUZZ_CHECK(i.a == (int64_t)pads++);
        if (i.kind == ItemKind::Frame) FUZZ_CHECK(i.a == (int64_t)frames++);
        if (i.kind == ItemKind::Messages) {
            FUZZ_CHECK(i.a == (int64_t)messages && i.b > 0);
            messages += (size_t)i.b;
        }
        if (i.kind == ItemKind::QuietPumps) FUZZ_CHECK(i.a > 0);
    }
    FUZZ_CHECK(frames == f.digests.size() && messages == f.messages.size() &&
               pads == f.pads.size());

    const std::vector<uint8_t> again = Rewrite(f);
    ReplayFile g;
    FUZZ_CHECK(ReadReplay(again.data(), again.size(), &g, &error) == ReadResult::Ok);
    FUZZ_CHECK(g.header.width == f.header.width && g.header.height == f.header.height &&
               g.header.dataHash == f.header.dataHash);
    FUZZ_CHECK(g.items.size() == f.items.size() && g.messages.size() == f.messages.size() &&
               g.digests.size() == f.digests.size());
    for (size_t i = 0; i < f.items.size(); ++i)
        FUZZ_CHECK(g.items[i].kind == f.items[i].kind && g.items[i].a == f.items[i].a &&
                   g.items[i].b == f.items[i].b);
    for (size_t i = 0; i < f.messages.size(); ++i)
        FUZZ_CHECK(g.messages[i].message == f.messages[i].message &&
                   g.messages[i].wParam == f.messages[i].wParam &&
                   g.messages[i].lParam == f.messages[i].lParam &&
                   g.messages[i].window == f.messages[i].window);
    for (size_t i = 0; i < f.digests.size(); ++i)
        FUZZ_CHECK(SameDigest(g.digests[i], f.digests[i]));
    FUZZ_CHECK(g.pads.size() == f.pads.size());
    for (size_t i = 0; i < f.pads.size(); ++i) {
        const RecordedPad& a = f.pads[i];
        const RecordedPad& b = g.pads[i];
        FUZZ_CHECK(a.user == b.user && a.result == b.result && a.packet == b.packet &&
                   a.buttons == b.buttons && a.leftTrigger == b.leftTrigger &&
                   a.rightTrigger == b.rightTrigger &&
                   std::memcmp(a.thumbs, b.thumbs, sizeof(a.thumbs)) == 0);
    }
    return 0;
}
