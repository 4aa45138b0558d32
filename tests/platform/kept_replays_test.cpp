// The replays kept in tests/replays hold the games they are said to hold (the end-to-end
// tests check that they replay exact): every frame lasts 1/64 s and the game ends with
// Escape (the frames of a pause take none); one collects each kind, one ends in game over,
// and in one the window loses the focus, with the steering frozen until it comes back, and
// the player pauses.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/replay_file.h"

using namespace orvreplay;

namespace {

ReplayFile Load(const char* name) {
    ReplayFile f;
    const std::string path = std::string(ORV_TESTS_DIR) + "/replays/" + name;
    FILE* in = std::fopen(path.c_str(), "rb");
    EXPECT_NE(in, nullptr) << path;
    if (in == nullptr) return f;
    std::vector<uint8_t> bytes;
    int c;
    while ((c = std::fgetc(in)) != EOF) bytes.push_back((uint8_t)c);
    std::fclose(in);
    std::string error;
    EXPECT_EQ(ReadReplay(bytes.data(), bytes.size(), &f, &error), ReadResult::Ok) << error;
    return f;
}

// The messages of every pump, in order, with the number of frames before each.
struct Delivered {
    UINT message;
    WPARAM wParam;
    size_t framesBefore;
};
std::vector<Delivered> Messages(const ReplayFile& f) {
    std::vector<Delivered> out;
    size_t frames = 0;
    for (const Item& i : f.items) {
        if (i.kind == ItemKind::Frame) ++frames;
        if (i.kind != ItemKind::Messages) continue;
        for (int64_t k = 0; k < i.b; ++k) {
            const RecordedMessage& m = f.messages[(size_t)(i.a + k)];
            out.push_back({m.message, (WPARAM)m.wParam, frames});
        }
    }
    return out;
}

// The frames that took no time: the one drawn when P paused the game and the first after
// P resumed it (the digest index of each).
std::vector<size_t> PausedFrames(const ReplayFile& f) {
    std::vector<size_t> zero;
    for (const Delivered& d : Messages(f))
        if (d.message == WM_KEYDOWN && d.wParam == 'P') zero.push_back(d.framesBefore);
    return zero;
}

class KeptReplayTest : public ::testing::TestWithParam<const char*> {};

TEST_P(KeptReplayTest, FramesOfOneSixtyFourthAndEscapeAtTheEnd) {
    const ReplayFile f = Load(GetParam());
    ASSERT_FALSE(f.digests.empty());
    EXPECT_EQ(f.header.width, 640);
    EXPECT_EQ(f.header.height, 480);
    ASSERT_EQ(f.items[0].kind, ItemKind::Frequency);
    EXPECT_EQ(f.items[0].a, 1000000000LL);
    const std::vector<size_t> zero = PausedFrames(f);
    size_t timed = 0;  // frames before n that took their 1/64 s
    for (size_t n = 0; n < f.digests.size(); ++n) {
        ASSERT_EQ(f.digests[n].totalTime, (float)timed / 64.0f) << "frame " << n + 1;
        bool none = false;
        for (size_t z : zero) none = none || z == n + 1;
        if (!none) ++timed;
    }
    const std::vector<Delivered> m = Messages(f);
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(m.back().message, (UINT)WM_KEYDOWN);
    EXPECT_EQ(m.back().wParam, (WPARAM)VK_ESCAPE);
    EXPECT_EQ(m.back().framesBefore, f.digests.size());
}

INSTANTIATE_TEST_SUITE_P(All, KeptReplayTest,
                         ::testing::Values("collect_each.orvr", "game_over.orvr",
                                           "focus_lost.orvr"));

TEST(KeptReplays, CollectEachCollectsOneOfEachKindAndItsFirstCollectibleAtFrame149) {
    const ReplayFile f = Load("collect_each.orvr");
    ASSERT_GT(f.digests.size(), 149u);
    const FrameDigest& last = f.digests.back();
    EXPECT_GE(last.collected[0], 1);
    EXPECT_GE(last.collected[1], 1);
    EXPECT_GE(last.collected[2], 1);
    EXPECT_GT(last.energy, 0.0f);
    // The changed-rule test relies on it.
    EXPECT_EQ(f.digests[147].collectibleActive, 0);
    EXPECT_EQ(f.digests[148].collectibleActive, 1);
}

TEST(KeptReplays, GameOverEndsWithTheBoxAnsweredOk) {
    const ReplayFile f = Load("game_over.orvr");
    ASSERT_GE(f.digests.size(), 2u);
    for (size_t n = 0; n + 1 < f.digests.size(); ++n) ASSERT_GT(f.digests[n].energy, 0.0f) << n;
    EXPECT_LE(f.digests.back().energy, 0.0f);
    // The box comes within the last frame, before its end.
    size_t lastFrame = 0, box = 0;
    for (size_t i = 0; i < f.items.size(); ++i) {
        if (f.items[i].kind == ItemKind::Frame) lastFrame = i;
        if (f.items[i].kind == ItemKind::MessageBox) box = i;
    }
    ASSERT_GT(box, 0u);
    EXPECT_LT(box, lastFrame);
    EXPECT_EQ(f.items[box].a, IDOK);
    EXPECT_EQ(f.items[box].b, MB_OK);
}

TEST(KeptReplays, FocusLostPausesForTwoSecondsThatNeverReachTheGame) {
    const ReplayFile f = Load("focus_lost.orvr");
    const std::vector<size_t> p = PausedFrames(f);
    ASSERT_EQ(p.size(), 2u) << "paused and resumed";
    ASSERT_EQ(p[1], p[0] + 1) << "one paused frame";
    ASSERT_GT(f.digests.size(), p[1] + 2);
    // The paused frame is the frame before, to the bit; the first after resuming takes no
    // time either, whatever the clock did meanwhile.
    const FrameDigest& before = f.digests[p[0] - 1];
    const DigestDifference paused = CompareDigests(before, f.digests[p[0]]);
    EXPECT_TRUE(paused.field.empty()) << paused.field;
    EXPECT_EQ(f.digests[p[1]].totalTime, before.totalTime);
    EXPECT_EQ(f.digests[p[1]].energy, before.energy);
    EXPECT_EQ(f.digests[p[1] + 1].totalTime, before.totalTime + 1.0f / 64.0f);
}

TEST(KeptReplays, FocusLostFreezesTheSteeringUntilItComesBack) {
    const ReplayFile f = Load("focus_lost.orvr");
    size_t lost = 0, gained = 0;
    for (const Delivered& d : Messages(f)) {
        if (d.message == WM_KILLFOCUS && lost == 0) lost = d.framesBefore;
        if (d.message == WM_SETFOCUS && lost != 0) gained = d.framesBefore;
    }
    ASSERT_GT(lost, 0u);
    ASSERT_GT(gained, lost + 20);
    ASSERT_GT(f.digests.size(), gained + 20);
    // Without the focus the cursor is not read and the world stays where it was, while
    // the game goes on.
    size_t frames = 0, cursorReadsWithoutFocus = 0;
    for (const Item& i : f.items) {
        if (i.kind == ItemKind::Frame) ++frames;
        if (i.kind == ItemKind::Cursor && frames >= lost && frames < gained)
            ++cursorReadsWithoutFocus;
    }
    EXPECT_EQ(cursorReadsWithoutFocus, 0u);
    for (size_t n = lost; n < gained; ++n) {
        EXPECT_EQ(f.digests[n].worldX, f.digests[lost - 1].worldX) << "frame " << n + 1;
        EXPECT_GT(f.digests[n].totalTime, f.digests[n - 1].totalTime);
    }
    // Steering before and after.
    EXPECT_NE(f.digests[lost - 1].worldX, 0.0f);
    EXPECT_NE(f.digests.back().worldX, f.digests[gained].worldX);
}

// The pad's reads, frame by frame: the frame count before each read of slot `slot`.
struct PadRead {
    size_t framesBefore;
    RecordedPad pad;
};
std::vector<PadRead> PadReads(const ReplayFile& f, uint32_t slot) {
    std::vector<PadRead> out;
    size_t frames = 0;
    for (const Item& i : f.items) {
        if (i.kind == ItemKind::Frame) ++frames;
        if (i.kind == ItemKind::Pad && f.pads[(size_t)i.a].user == slot)
            out.push_back({frames, f.pads[(size_t)i.a]});
    }
    return out;
}

TEST(KeptReplays, TheOlderReplaysAreOfVersion2AndThePadFlightOfVersion3) {
    for (const char* name : {"collect_each.orvr", "game_over.orvr", "focus_lost.orvr"}) {
        const ReplayFile f = Load(name);
        EXPECT_EQ(f.header.version, 2u) << name << ": kept to show that version 2 still plays";
        EXPECT_TRUE(f.pads.empty()) << name;
    }
    EXPECT_EQ(Load("pad_flight.orvr").header.version, 3u);
}

TEST(KeptReplays, PadFlightIsSteeredPausedUnpluggedAndFlownAgainWithAPad) {
    const ReplayFile f = Load("pad_flight.orvr");
    ASSERT_GT(f.digests.size(), 250u);
    for (uint32_t slot = 1; slot < 4; ++slot)
        for (const PadRead& r : PadReads(f, slot))
            ASSERT_NE(r.pad.result, 0u) << "only one pad, in slot 0";
    const std::vector<PadRead> reads = PadReads(f, 0);
    ASSERT_FALSE(reads.empty());
    // Connected from the start until it is unplugged, then plugged in again, once each.
    size_t unplugged = 0, pluggedAgain = 0;
    for (const PadRead& r : reads) {
        if (r.pad.result != 0 && unplugged == 0) unplugged = r.framesBefore;
        if (r.pad.result == 0 && unplugged != 0 && pluggedAgain == 0)
            pluggedAgain = r.framesBefore;
        if (pluggedAgain != 0) ASSERT_EQ(r.pad.result, 0u) << "frame " << r.framesBefore;
    }
    ASSERT_GT(unplugged, 150u);
    ASSERT_GT(pluggedAgain, unplugged);
    // The flight ran out of energy, and A on the results began the next one: a fresh
    // flight's first frame follows the last of the first.
    bool aPressed = false;
    for (const PadRead& r : reads) aPressed = aPressed || (r.pad.buttons & 0x1000) != 0;
    EXPECT_TRUE(aPressed);
    size_t again = 0;
    for (size_t n = 1; n < f.digests.size() && again == 0; ++n)
        if (!(f.digests[n - 1].energy > 0.0f) && f.digests[n].totalTime == 0.0f) again = n;
    ASSERT_GT(again, pluggedAgain) << "no second flight after the results";
    EXPECT_EQ(f.digests[again].energy, 1.8f);
    EXPECT_GT(f.digests.size(), again + 60) << "the second flight flies on";
    // What the hand did, in XInput's terms: full right, half up, the d-pad, Start twice, Y.
    bool fullRight = false, halfUp = false, dpadLeft = false, y = false;
    int startPresses = 0;
    WORD before = 0;
    for (const PadRead& r : reads) {
        if (r.pad.result != 0) continue;
        fullRight = fullRight || r.pad.thumbs[0] == 32767;
        halfUp = halfUp || r.pad.thumbs[1] == 16384;
        dpadLeft = dpadLeft || (r.pad.buttons & 0x0004) != 0;
        y = y || (r.pad.buttons & 0x8000) != 0;
        if ((r.pad.buttons & 0x0010) && !(before & 0x0010)) ++startPresses;
        before = r.pad.buttons;
    }
    EXPECT_TRUE(fullRight && halfUp && dpadLeft && y);
    EXPECT_EQ(startPresses, 2) << "one to pause, one to resume";
    // The stick steered: right, then up (the world's y falls).
    EXPECT_GT(f.digests[69].worldX, 100.0f);
    EXPECT_LT(f.digests[105].worldY, f.digests[69].worldY - 5.0f);
    // Two pauses (Start, then the unplug), each a paused frame and a first frame after it
    // that take no time.
    std::vector<size_t> still;
    for (size_t n = 1; n < f.digests.size(); ++n)
        if (f.digests[n].totalTime == f.digests[n - 1].totalTime) still.push_back(n + 1);
    ASSERT_EQ(still.size(), 4u);
    EXPECT_EQ(still[3], still[2] + 1);
    EXPECT_EQ(still[2], unplugged + 1) << "the unplug paused the next frame";
}

}  // namespace
