// Version 3 files: the flight part of the header, which lets a recording start at a
// flight's first frame in the middle of a session and play alone; version 2 files (whole
// sessions, 32-byte header) still read.
#include <gtest/gtest.h>

#include "platform/replay_file.h"

using namespace orvreplay;

namespace {

Header FlightHeader() {
    Header h;
    h.width = 800;
    h.height = 600;
    h.dataHash = 0x0123456789ABCDEFull;
    h.flightStart = true;
    h.randomState = 0xDEADBEEFu;
    h.focused = 1;
    h.firstFrame = 595;
    h.frequency = 1000000000;
    h.counterBase = 5000000000123LL;
    h.msBase = 98765;
    return h;
}

std::vector<uint8_t> FileOf(const Header& h, uint32_t firstFrame) {
    std::vector<uint8_t> bytes;
    EncodeHeader(h, &bytes);
    std::vector<uint8_t> p;
    EncodeValue(ItemKind::Counter, h.counterBase + 16000000, h.counterBase, &p);
    EncodeValue(ItemKind::Milliseconds, h.msBase + 16, h.msBase, &p);
    EncodeFrame(firstFrame, FrameDigest(), &p);
    EncodeFrame(firstFrame + 1, FrameDigest(), &p);
    EncodeBlock(p, &bytes);
    return bytes;
}

TEST(ReplayFlightHeaderTest, AFlightsRecordingReadsAloneFromWhereItsSessionWas) {
    const Header h = FlightHeader();
    const std::vector<uint8_t> bytes = FileOf(h, h.firstFrame);
    EXPECT_EQ(HeaderBytes(kFormatVersion), kHeaderSize + kFlightHeaderSize);
    ReplayFile f;
    std::string error;
    ASSERT_EQ(ReadReplay(bytes.data(), bytes.size(), &f, &error), ReadResult::Ok) << error;
    EXPECT_TRUE(f.header.flightStart);
    EXPECT_EQ(f.header.randomState, 0xDEADBEEFu);
    EXPECT_EQ(f.header.focused, 1);
    EXPECT_EQ(f.header.firstFrame, 595u);
    EXPECT_EQ(f.header.frequency, 1000000000);
    EXPECT_EQ(f.header.counterBase, 5000000000123LL);
    EXPECT_EQ(f.header.msBase, 98765);
    ASSERT_EQ(f.items.size(), 4u);
    // The clocks go on from the session's last readings; the frames are the file's own.
    EXPECT_EQ(f.items[0].a, 5000016000123LL);
    EXPECT_EQ(f.items[1].a, 98781);
    EXPECT_EQ(f.items[2].a, 0);
    EXPECT_EQ(f.items[3].a, 1);
    EXPECT_EQ(f.digests.size(), 2u);
}

TEST(ReplayFlightHeaderTest, ADamagedOrImpossibleFlightPartIsRefused) {
    const Header h = FlightHeader();
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* says;
    };
    std::vector<uint8_t> flipped = FileOf(h, h.firstFrame);
    flipped[kHeaderSize + 4] ^= 0x01;  // the random state, under the flight part's CRC
    Header noClock = h;
    noClock.frequency = 0;
    const std::vector<uint8_t> whole = FileOf(h, h.firstFrame);
    const Case cases[] = {
        {"a flipped random state", flipped, "checksum"},
        {"a flight without a counter frequency", FileOf(noClock, h.firstFrame), "impossible"},
        {"frames not counting on from the first", FileOf(h, 0), "malformed record"},
        {"the flight part cut off",
         std::vector<uint8_t>(whole.begin(), whole.begin() + (long)kHeaderSize + 10), "header ends"},
    };
    for (const Case& c : cases) {
        ReplayFile f;
        std::string error;
        EXPECT_NE(ReadReplay(c.bytes.data(), c.bytes.size(), &f, &error), ReadResult::Ok) << c.name;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.name << ": " << error;
    }
}

TEST(ReplayFlightHeaderTest, VersionTwoFilesStillReadAsWholeSessions) {
    Header h;
    h.version = 2;
    h.width = 640;
    h.height = 480;
    std::vector<uint8_t> bytes;
    EncodeHeader(h, &bytes);
    ASSERT_EQ(bytes.size(), kHeaderSize) << "a version 2 header has no flight part";
    std::vector<uint8_t> p;
    EncodeValue(ItemKind::Counter, 1000, 0, &p);
    EncodeFrame(0, FrameDigest(), &p);
    EncodeBlock(p, &bytes);
    ReplayFile f;
    std::string error;
    ASSERT_EQ(ReadReplay(bytes.data(), bytes.size(), &f, &error), ReadResult::Ok) << error;
    EXPECT_EQ(f.header.version, 2u);
    EXPECT_FALSE(f.header.flightStart);
    EXPECT_EQ(f.items[0].a, 1000);
    EXPECT_EQ(f.digests.size(), 1u);
}

}  // namespace
