// The replay file's reader and writer: every kind of record survives the round trip at
// the edges of its range; every cut of a file is either a whole-block prefix or reported
// as truncated; every damaged byte is caught; the table of unusable files gives the
// right verdict; digests name the first field that differs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/replay_file.h"

using namespace orvreplay;

namespace {

FrameDigest SampleDigest(float energy) {
    FrameDigest d;
    d.energy = energy;
    d.totalTime = 2.3125f;
    d.meters[2] = 1.8f;
    d.worldX = -12.5f;
    d.worldY = 3.0f;
    d.collectibleX = 166.66667f;
    d.collectibleZ = -1e30f;
    d.collected[1] = 7;
    d.collectibleActive = 1;
    d.collectibleKind = 2;
    d.ringHead = 74;
    return d;
}

struct Sample {
    std::vector<uint8_t> bytes;
    std::vector<size_t> blockEnds;  // where each whole block ends
};

// A file with every kind of record, the counter and the clock going both ways and
// across the 64-bit range, in three blocks.
Sample MakeSample() {
    Sample s;
    Header h;
    h.width = 1024;
    h.height = 768;
    h.dataHash = 0xFEDCBA9876543210ull;
    EncodeHeader(h, &s.bytes);
    std::vector<uint8_t> p;
    EncodeValue(ItemKind::Frequency, 1000000000LL, 0, &p);
    EncodeValue(ItemKind::DisplayMode, -2, 0, &p);
    EncodeMessageBox(6, 0x34, &p);
    EncodeValue(ItemKind::Counter, std::numeric_limits<int64_t>::max(), 0, &p);
    EncodeValue(ItemKind::Counter, std::numeric_limits<int64_t>::min(),
                std::numeric_limits<int64_t>::max(), &p);
    EncodeValue(ItemKind::Milliseconds, 5000, 0, &p);
    EncodeValue(ItemKind::Milliseconds, 4990, 5000, &p);
    EncodeBlock(p, &s.bytes);
    s.blockEnds.push_back(s.bytes.size());
    p.clear();
    EncodeCursor(-2147483647LL - 1, 2147483647LL, &p);
    EncodeQuietPumps(3000000000ull, &p);
    EncodeMessages({{0x0100, 27, -1, 1}, {0x0008, 0xFFFFFFFFFFFFFFFFull, (int64_t)1 << 40, 0}},
                   &p);
    RecordedPad none;
    none.user = 3;
    none.result = 1167;
    EncodePad(none, &p);
    RecordedPad held;
    held.user = 1;
    held.packet = 0xFFFFFFFFu;
    held.buttons = 0xF3FF;
    held.leftTrigger = 255;
    held.rightTrigger = 1;
    held.thumbs[0] = -32768;
    held.thumbs[1] = 32767;
    held.thumbs[2] = -1;
    held.thumbs[3] = 0;
    EncodePad(held, &p);
    EncodeFrame(0, SampleDigest(1.5f), &p);
    EncodeBlock(p, &s.bytes);
    s.blockEnds.push_back(s.bytes.size());
    p.clear();
    EncodeFrame(1, SampleDigest(-0.0f), &p);
    EncodeBlock(p, &s.bytes);
    s.blockEnds.push_back(s.bytes.size());
    return s;
}

ReadResult Read(const std::vector<uint8_t>& bytes, ReplayFile* file = nullptr,
                std::string* error = nullptr) {
    ReplayFile f;
    std::string e;
    return ReadReplay(bytes.data(), bytes.size(), file ? file : &f, error ? error : &e);
}

uint32_t Bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

}  // namespace

TEST(ReplayFileTest, EveryRecordSurvivesTheRoundTripAtTheEdgesOfItsRange) {
    Sample s = MakeSample();
    ReplayFile f;
    std::string error;
    ASSERT_EQ(ReadReplay(s.bytes.data(), s.bytes.size(), &f, &error), ReadResult::Ok) << error;
    EXPECT_EQ(f.header.width, 1024);
    EXPECT_EQ(f.header.height, 768);
    EXPECT_EQ(f.header.dataHash, 0xFEDCBA9876543210ull);
    struct Want {
        ItemKind kind;
        int64_t a, b;
    };
    const Want want[] = {
        {ItemKind::Frequency, 1000000000LL, 0},
        {ItemKind::DisplayMode, -2, 0},
        {ItemKind::MessageBox, 6, 0x34},
        {ItemKind::Counter, std::numeric_limits<int64_t>::max(), 0},
        {ItemKind::Counter, std::numeric_limits<int64_t>::min(), 0},
        {ItemKind::Milliseconds, 5000, 0},
        {ItemKind::Milliseconds, 4990, 0},
        {ItemKind::Cursor, -2147483647LL - 1, 2147483647LL},
        {ItemKind::QuietPumps, 3000000000LL, 0},
        {ItemKind::Messages, 0, 2},
        {ItemKind::Pad, 0, 0},
        {ItemKind::Pad, 1, 0},
        {ItemKind::Frame, 0, 0},
        {ItemKind::Frame, 1, 0},
    };
    ASSERT_EQ(f.items.size(), sizeof(want) / sizeof(want[0]));
    for (size_t i = 0; i < f.items.size(); ++i) {
        EXPECT_EQ(f.items[i].kind, want[i].kind) << i;
        EXPECT_EQ(f.items[i].a, want[i].a) << i;
        EXPECT_EQ(f.items[i].b, want[i].b) << i;
    }
    ASSERT_EQ(f.messages.size(), 2u);
    EXPECT_EQ(f.messages[0].message, 0x0100u);
    EXPECT_EQ(f.messages[0].wParam, 27u);
    EXPECT_EQ(f.messages[0].lParam, -1);
    EXPECT_EQ(f.messages[0].window, 1);
    EXPECT_EQ(f.messages[1].wParam, 0xFFFFFFFFFFFFFFFFull);
    EXPECT_EQ(f.messages[1].lParam, (int64_t)1 << 40);
    EXPECT_EQ(f.messages[1].window, 0);
    ASSERT_EQ(f.pads.size(), 2u);
    EXPECT_EQ(f.pads[0].user, 3u);
    EXPECT_EQ(f.pads[0].result, 1167u);
    const RecordedPad& p = f.pads[1];
    EXPECT_EQ(p.user, 1u);
    EXPECT_EQ(p.result, 0u);
    EXPECT_EQ(p.packet, 0xFFFFFFFFu);
    EXPECT_EQ(p.buttons, 0xF3FF);
    EXPECT_EQ(p.leftTrigger, 255);
    EXPECT_EQ(p.rightTrigger, 1);
    EXPECT_EQ(p.thumbs[0], -32768);
    EXPECT_EQ(p.thumbs[1], 32767);
    EXPECT_EQ(p.thumbs[2], -1);
    EXPECT_EQ(p.thumbs[3], 0);
    ASSERT_EQ(f.digests.size(), 2u);
    EXPECT_TRUE(CompareDigests(f.digests[0], SampleDigest(1.5f)).field.empty());
    // -0 keeps its sign bit: digests compare bits, not values.
    EXPECT_EQ(Bits(f.digests[1].energy), Bits(-0.0f));
}

TEST(ReplayFileTest, EveryCutIsAWholeBlockPrefixOrTruncated) {
    Sample s = MakeSample();
    for (size_t cut = 0; cut < s.bytes.size(); ++cut) {
        std::vector<uint8_t> part(s.bytes.begin(), s.bytes.begin() + (long)cut);
        std::string error;
        ReplayFile f;
        const ReadResult r = Read(part, &f, &error);
        bool boundary = cut == HeaderBytes(kFormatVersion);
        size_t wholeBlocks = 0;
        for (size_t i = 0; i < s.blockEnds.size(); ++i) {
            if (s.blockEnds[i] == cut) boundary = true;
            if (s.blockEnds[i] <= cut) wholeBlocks = i + 1;
        }
        if (boundary) {
            EXPECT_EQ(r, ReadResult::Ok) << "cut at " << cut << ": " << error;
            EXPECT_EQ(f.digests.size(), wholeBlocks <= 1 ? 0u : wholeBlocks - 1) << cut;
        } else {
            EXPECT_EQ(r, ReadResult::Truncated) << "cut at " << cut << ": " << error;
            EXPECT_NE(error.find(cut == 0 ? "empty" : "truncated"), std::string::npos) << error;
        }
    }
}

TEST(ReplayFileTest, EveryDamagedByteIsCaught) {
    Sample s = MakeSample();
    for (size_t at = 0; at < s.bytes.size(); ++at) {
        for (uint8_t flip : {0x01, 0x80, 0xFF}) {
            std::vector<uint8_t> bad = s.bytes;
            bad[at] ^= flip;
            const ReadResult r = Read(bad);
            if (at < 8) {
                EXPECT_EQ(r, ReadResult::Foreign) << at;
            } else if (at < 12) {
                EXPECT_TRUE(r == ReadResult::NewerVersion || r == ReadResult::Corrupted) << at;
            } else {
                // A damaged length may also claim more than is left.
                EXPECT_TRUE(r == ReadResult::Corrupted || r == ReadResult::Truncated)
                    << at << " ^ " << (int)flip << " gave " << (int)r;
            }
        }
    }
}

namespace {

std::vector<uint8_t> HeaderWith(uint32_t version, uint32_t width, uint32_t height) {
    std::vector<uint8_t> b;
    Header h;
    h.version = version;
    h.width = (int32_t)width;
    h.height = (int32_t)height;
    EncodeHeader(h, &b);
    return b;
}

std::vector<uint8_t> WithBlock(std::vector<uint8_t> file, const std::vector<uint8_t>& payload) {
    EncodeBlock(payload, &file);
    return file;
}

std::vector<uint8_t> WithRawBlock(std::vector<uint8_t> file, uint32_t length) {
    for (int i = 0; i < 4; ++i) file.push_back((uint8_t)(length >> (8 * i)));
    return file;
}

}  // namespace

TEST(ReplayFileTest, UnusableFilesTable) {
    const std::vector<uint8_t> good = HeaderWith(kFormatVersion, 640, 480);
    const std::vector<uint8_t> tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 32, 8};
    const std::string text = "n_Width = 1024;\nn_Height = 768;\n";
    std::vector<uint8_t> frameOutOfOrder;
    EncodeFrame(1, FrameDigest(), &frameOutOfOrder);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        ReadResult result;
        const char* says;
    };
    const Case cases[] = {
        {"header only", good, ReadResult::Ok, ""},
        {"empty", {}, ReadResult::Truncated, "the file is empty"},
        {"half the magic", {'O', 'R', 'V'}, ReadResult::Truncated, "header ends at byte 3"},
        {"a picture", tga, ReadResult::Foreign, "not a replay file"},
        {"a settings file", std::vector<uint8_t>(text.begin(), text.end()), ReadResult::Foreign,
         "not a replay file"},
        {"a newer version", HeaderWith(kFormatVersion + 1, 640, 480), ReadResult::NewerVersion, "format version 4"},
        {"version 2, before pads were recorded", HeaderWith(2, 640, 480), ReadResult::Ok, ""},
        {"a pad in a version 2 file",
         WithBlock(HeaderWith(2, 640, 480), {(uint8_t)ItemKind::Pad, 0x00, 0x8F, 0x09}),
         ReadResult::Corrupted, "malformed record"},
        {"a pad in slot 4", WithBlock(good, {(uint8_t)ItemKind::Pad, 0x04, 0x8F, 0x09}),
         ReadResult::Corrupted, "malformed record"},
        {"a connected pad cut short", WithBlock(good, {(uint8_t)ItemKind::Pad, 0x00, 0x00, 0x01}),
         ReadResult::Corrupted, "malformed record"},
        {"version 1, before the steering's clock", HeaderWith(1, 640, 480),
         ReadResult::OlderVersion, "older game (format version 1"},
        {"version 2^32-1", HeaderWith(0xFFFFFFFFu, 640, 480), ReadResult::NewerVersion,
         "format version 4294967295"},
        {"version 0", HeaderWith(0, 640, 480), ReadResult::Corrupted, "impossible values"},
        {"width 0", HeaderWith(kFormatVersion, 0, 480), ReadResult::Corrupted, "impossible values"},
        {"height too large", HeaderWith(kFormatVersion, 640, 16385), ReadResult::Corrupted,
         "impossible values"},
        {"negative width", HeaderWith(kFormatVersion, 0xFFFFFFFFu, 480), ReadResult::Corrupted,
         "impossible values"},
        {"block length 0", WithRawBlock(good, 0), ReadResult::Corrupted, "block length"},
        {"block length huge", WithRawBlock(good, kMaxBlockPayload + 1), ReadResult::Corrupted,
         "block length"},
        {"block cut after its length", WithRawBlock(good, 10), ReadResult::Truncated,
         "last block is cut off at byte 76"},
        {"unknown tag", WithBlock(good, {0x7F}), ReadResult::Corrupted, "malformed record"},
        {"tag 0", WithBlock(good, {0x00}), ReadResult::Corrupted, "malformed record"},
        {"record cut inside its block", WithBlock(good, {(uint8_t)ItemKind::Cursor, 0x02}),
         ReadResult::Corrupted, "malformed record"},
        {"varint of eleven bytes",
         WithBlock(good, {(uint8_t)ItemKind::Counter, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80,
                          0x80, 0x80, 0x80, 0x01}),
         ReadResult::Corrupted, "malformed record"},
        {"varint beyond 64 bits",
         WithBlock(good, {(uint8_t)ItemKind::Counter, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                          0xFF, 0xFF, 0x02}),
         ReadResult::Corrupted, "malformed record"},
        {"no quiet pumps", WithBlock(good, {(uint8_t)ItemKind::QuietPumps, 0}),
         ReadResult::Corrupted, "malformed record"},
        {"zero frequency", WithBlock(good, {(uint8_t)ItemKind::Frequency, 0}),
         ReadResult::Corrupted, "malformed record"},
        {"cursor beyond 32 bits",
         WithBlock(good, {(uint8_t)ItemKind::Cursor, 0x80, 0x80, 0x80, 0x80, 0x10, 0}),
         ReadResult::Corrupted, "malformed record"},
        {"more messages than bytes",
         WithBlock(good, {(uint8_t)ItemKind::Messages, 0x7F, 1, 2, 3, 4}), ReadResult::Corrupted,
         "malformed record"},
        {"message for a third window",
         WithBlock(good, {(uint8_t)ItemKind::Messages, 1, 0x10, 0, 0, 2}), ReadResult::Corrupted,
         "malformed record"},
        {"frames out of order", WithBlock(good, frameOutOfOrder), ReadResult::Corrupted,
         "malformed record"},
    };
    for (const Case& c : cases) {
        ReplayFile f;
        std::string error;
        EXPECT_EQ(Read(c.bytes, &f, &error), c.result) << c.name << ": " << error;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.name << ": " << error;
    }
    // A null pointer is an empty file.
    ReplayFile f;
    std::string error;
    EXPECT_EQ(ReadReplay(nullptr, 0, &f, &error), ReadResult::Truncated);
}

TEST(ReplayFileTest, DigestsNameTheFirstFieldThatDiffers) {
    const FrameDigest base = SampleDigest(1.0f);
    struct Case {
        const char* field;
        void (*change)(FrameDigest&);
        const char* recorded;
        const char* replayed;
    };
    const Case cases[] = {
        {"energy", [](FrameDigest& d) { d.energy = std::nextafter(1.0f, 2.0f); }, "1",
         "1.00000012"},
        {"energy", [](FrameDigest& d) { d.energy = std::nanf(""); }, "1", "nan"},
        {"total time", [](FrameDigest& d) { d.totalTime = 2.3f; }, "2.3125", "2.29999995"},
        {"world offset x", [](FrameDigest& d) { d.worldX = 0.0f; }, "-12.5", "0"},
        {"world offset y", [](FrameDigest& d) { d.worldY = -3.0f; }, "3", "-3"},
        {"collectible x", [](FrameDigest& d) { d.collectibleX = 0.0f; }, "166.666672", "0"},
        {"collectible y", [](FrameDigest& d) { d.collectibleY = -0.0f; }, "0", "-0"},
        {"collectible z", [](FrameDigest& d) { d.collectibleZ = 1.0f; }, "-1.00000002e+30", "1"},
        {"zone meter 2", [](FrameDigest& d) { d.meters[2] = 1.7f; }, "1.79999995", "1.70000005"},
        {"zone meter 3", [](FrameDigest& d) { d.meters[3] = 0.1f; }, "0", "0.100000001"},
        {"atoms collected", [](FrameDigest& d) { d.collected[0] = 1; }, "0", "1"},
        {"flowers collected", [](FrameDigest& d) { d.collected[1] = 8; }, "7", "8"},
        {"fractals collected", [](FrameDigest& d) { d.collected[2] = -1; }, "0", "-1"},
        {"collectible active", [](FrameDigest& d) { d.collectibleActive = 0; }, "1", "0"},
        {"collectible kind", [](FrameDigest& d) { d.collectibleKind = 0; }, "2", "0"},
        {"ring head", [](FrameDigest& d) { d.ringHead = 0; }, "74", "0"},
        // Two fields at once: the first in the digest's order is named.
        {"energy", [](FrameDigest& d) { d.ringHead = 1; d.energy = 0.5f; }, "1", "0.5"},
    };
    EXPECT_TRUE(CompareDigests(base, base).field.empty());
    for (const Case& c : cases) {
        FrameDigest other = base;
        c.change(other);
        DigestDifference d = CompareDigests(base, other);
        EXPECT_EQ(d.field, c.field);
        EXPECT_EQ(d.recorded, c.recorded) << c.field;
        EXPECT_EQ(d.replayed, c.replayed) << c.field;
    }
}
