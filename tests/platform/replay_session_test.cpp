// The record-and-replay session of the stand-in, without a window: what the calls read
// while recording comes back from the file while replaying, whatever the machine says
// then; questions are answered and display modes reported from the file without asking
// or changing anything; and the outcome names the frame and what differs.
#include <windows.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/msclock.h"
#include "platform/replay.h"
#include "platform/sdl/seam.h"

using namespace orvreplay;

namespace {

class ReplaySessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        orvseam::Reset();
        char pattern[] = "/tmp/orvendale-replay-XXXXXX";
        int fd = mkstemp(pattern);
        ASSERT_GE(fd, 0);
        close(fd);
        path_ = pattern;
    }
    void TearDown() override {
        Outcome ignored;
        Finish(&ignored);
        orvseam::Reset();
        std::remove(path_.c_str());
    }

    static FrameDigest Digest(float energy) {
        FrameDigest d;
        d.energy = energy;
        d.ringHead = 3;
        return d;
    }

    // One frame of what the game reads: counter, the clock twice, the cursor; then a
    // question and a display-mode change, and the frame's end.
    struct Reads {
        int64_t hz, counter;
        long ms1, ms2;
        POINT cursor;
        int answer;
        LONG mode;
    };
    static Reads ReadFrame(const FrameDigest& digest) {
        Reads r{};
        LARGE_INTEGER v;
        QueryPerformanceFrequency(&v);
        r.hz = v.QuadPart;
        QueryPerformanceCounter(&v);
        r.counter = v.QuadPart;
        r.ms1 = MillisecondClock();
        r.ms2 = MillisecondClock();
        GetCursorPos(&r.cursor);
        r.answer = MessageBoxA(nullptr, "Use windowed mode instead?", "Fullscreen", MB_YESNO);
        DEVMODEA mode{};
        mode.dmSize = sizeof(mode);
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
        mode.dmPelsWidth = 640;
        mode.dmPelsHeight = 480;
        r.mode = ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
        EndFrame(digest);
        return r;
    }

    void Record() {
        // (SetCursorPos pumps the event queue, which is recorded once the events are up:
        // the machine is set before the recording starts.)
        orvseam::SetPerformanceFrequency(1000);
        orvseam::SetPerformanceCounter(123456789012345LL);
        orvseam::SetMilliseconds(-40);
        SetCursorPos(-7, 90000);
        Header h;
        h.width = 800;
        h.height = 600;
        std::string message;
        ASSERT_TRUE(StartRecording(path_.c_str(), h, &message)) << message;
        orvseam::QueueMessageBoxAnswer(IDYES);
        orvseam::FailNext(orvseam::Call::ChangeDisplaySettings);
        recorded_ = ReadFrame(Digest(1.5f));
        Outcome none;
        EXPECT_FALSE(Finish(&none));  // a recording has no outcome
    }

    // The machine now says something else everywhere.
    void ChangeTheMachine() {
        orvseam::Reset();
        orvseam::SetPerformanceFrequency(50);
        orvseam::SetPerformanceCounter(1);
        orvseam::SetMilliseconds(999);
        SetCursorPos(3, 4);
    }

    void StartCheck() {
        Header h;
        std::string message;
        ASSERT_TRUE(StartReplay(path_.c_str(), true, &h, &message)) << message;
        EXPECT_EQ(h.width, 800);
        EXPECT_EQ(h.height, 600);
    }

    std::string path_;
    Reads recorded_{};
};

TEST_F(ReplaySessionTest, ReplayServesWhatWasReadAndChecksExact) {
    Record();
    EXPECT_EQ(recorded_.answer, IDYES);
    EXPECT_EQ(recorded_.mode, DISP_CHANGE_BADMODE);
    ChangeTheMachine();
    StartCheck();
    const Reads replayed = ReadFrame(Digest(1.5f));
    EXPECT_EQ(replayed.hz, 1000);
    EXPECT_EQ(replayed.counter, 123456789012345LL);
    EXPECT_EQ(replayed.ms1, -40);
    EXPECT_EQ(replayed.ms2, -40);
    // Where the cursor was: the point set, unless a display shows the real pointer.
    EXPECT_EQ(replayed.cursor.x, recorded_.cursor.x);
    EXPECT_EQ(replayed.cursor.y, recorded_.cursor.y);
    EXPECT_EQ(replayed.answer, IDYES);
    EXPECT_EQ(replayed.mode, DISP_CHANGE_BADMODE);
    // Neither was the question put again nor the display touched.
    EXPECT_TRUE(orvseam::MessageBoxes().empty());
    EXPECT_EQ(orvseam::CallCount(orvseam::Call::ChangeDisplaySettings), 0);
    Outcome o;
    ASSERT_TRUE(Finish(&o));
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.line, "exact, 1 frames");
}

TEST_F(ReplaySessionTest, AnEndedReplayHoldsItsClocksWhereTheRecordingLeftThem) {
    // Once the recording has run out (or the viewer pressed Escape) the game finishes its
    // frame and closes: its clocks must not jump to the machine's, which would make that
    // frame as long as the whole replay.
    Record();
    ChangeTheMachine();
    StartCheck();
    ReadFrame(Digest(1.5f));
    for (int i = 0; i < 2; ++i) {
        LARGE_INTEGER v;
        QueryPerformanceCounter(&v);
        EXPECT_EQ(v.QuadPart, 123456789012345LL) << "read " << i << " after the end";
        EXPECT_EQ(MillisecondClock(), -40) << "read " << i << " after the end";
    }
}

TEST_F(ReplaySessionTest, OutcomesNameTheFrameAndWhatDiffers) {
    Record();
    struct Case {
        const char* name;
        void (*play)();
        int result;
        const char* line;
    };
    const Case cases[] = {
        {"another energy", [] { ReadFrame(Digest(1.25f)); }, 1,
         "frame 1 differs in energy (recorded 1.5, replayed 1.25)"},
        {"the clock read before the frequency", [] { MillisecondClock(); }, 1,
         "frame 1 differs: the game read the millisecond clock where the recording has the "
         "counter frequency"},
        {"the game ends early", [] {}, 1,
         "the game ended after frame 0; the recording goes on to frame 1"},
        {"the game goes on past the recording",
         [] {
             ReadFrame(Digest(1.5f));
             // Beyond the recording the clock stays where the recording left it.
             LARGE_INTEGER v;
             QueryPerformanceCounter(&v);
             EXPECT_EQ(v.QuadPart, 123456789012345LL);
         },
         0, "exact, 1 frames"},
    };
    for (const Case& c : cases) {
        ChangeTheMachine();
        StartCheck();
        c.play();
        Outcome o;
        ASSERT_TRUE(Finish(&o)) << c.name;
        EXPECT_EQ(o.result, c.result) << c.name;
        EXPECT_EQ(o.line, c.line) << c.name;
    }
}

TEST_F(ReplaySessionTest, ACheckStopsAtTheFirstDifferenceAndNeverAsks) {
    Record();
    ChangeTheMachine();
    StartCheck();
    LARGE_INTEGER v;
    QueryPerformanceCounter(&v);  // the recording has the frequency here
    // From here the replay has ended: the machine answers, and a check still asks nobody.
    EXPECT_EQ(v.QuadPart, 1);
    EXPECT_EQ(MessageBoxA(nullptr, "Question?", "Q", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Game over", "Game Over", MB_OK), IDOK);
    EXPECT_TRUE(orvseam::MessageBoxes().empty());
    Outcome o;
    ASSERT_TRUE(Finish(&o));
    EXPECT_EQ(o.line,
              "frame 1 differs: the game read the performance counter where the recording has "
              "the counter frequency");
}

TEST_F(ReplaySessionTest, AMissingFileIsReportedAndNothingIsReplayed) {
    Header h;
    std::string message;
    EXPECT_FALSE(StartReplay("/nonexistent/replay.orvr", true, &h, &message));
    EXPECT_EQ(message, "cannot open it: No such file or directory");
    Outcome o;
    EXPECT_FALSE(Finish(&o));
    orvseam::SetPerformanceCounter(77);
    LARGE_INTEGER v;
    QueryPerformanceCounter(&v);
    EXPECT_EQ(v.QuadPart, 77);
}

}  // namespace
