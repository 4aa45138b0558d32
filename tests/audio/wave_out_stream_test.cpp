// The game's sound output through the stand-in into SDL's disk writer, which takes sound
// at the pace of a real card: the ring holds 50 ms while frames come in time; a frame
// late enough to let it run dry makes it keep 150 ms (never the sound of the whole gap),
// and it comes back down once frames are in time again; a missing device is a message,
// not a failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "audio/game_cues.h"
#include "audio/wave_out_stream.h"

namespace {

class WaveOutStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", "wave_out_stream_test.raw", 1);
    }
    void TearDown() override {
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
    }
};

TEST_F(WaveOutStreamTest, FiftyMillisecondsQueuedUntilAFrameIsLateThenMoreAndBackDown) {
    EXPECT_EQ(WaveOutStream::kSteadyBuffers * WaveOutStream::kFramesPerBuffer, 44100 / 20);
    EXPECT_EQ(WaveOutStream::kMostBuffers * WaveOutStream::kFramesPerBuffer, 3 * 44100 / 20);
    EXPECT_EQ((int)(GameCues::kAhead * 44100.0f + 0.5f), 44100 / 20) << "the cues know the ring";
    Mixer mixer;
    WaveOutStream stream;
    std::string why;
    ASSERT_TRUE(stream.Open(&why)) << why;
    EXPECT_FLOAT_EQ(stream.Latency(), GameCues::kAhead);
    // The device may take a buffer between the top-up and the look: full or one short.
    ASSERT_TRUE(stream.TopUp(mixer, &why));
    EXPECT_GE(stream.Queued(), WaveOutStream::kSteadyBuffers - 1);
    ASSERT_TRUE(stream.TopUp(mixer, &why));  // a frame right after: nothing to pile up
    EXPECT_LE(stream.Queued(), WaveOutStream::kSteadyBuffers);
    EXPECT_GE(stream.Queued(), WaveOutStream::kSteadyBuffers - 1);
    // A frame a fifth of a second late: the ring has run dry, and is filled to 150 ms,
    // not with the sound of the whole gap.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(stream.Queued(), 0);
    ASSERT_TRUE(stream.TopUp(mixer, &why));
    EXPECT_EQ(stream.Target(), WaveOutStream::kMostBuffers);
    EXPECT_FLOAT_EQ(stream.Latency(), 0.15f);
    EXPECT_LE(stream.Queued(), WaveOutStream::kMostBuffers);
    EXPECT_GE(stream.Queued(), WaveOutStream::kMostBuffers - 1);
    // Frames in time again (a top-up as soon as the device has taken a buffer): a buffer
    // fewer after each second's worth in time, one at a time and never below 50 ms. A
    // busy machine's late wake-up starts the second again, so the wait is for three
    // buffers fewer, with a deadline as a net. The test keeps its own count of buffers
    // written in time since the last step down (a top-up that found the ring nearer than
    // 50 ms to running dry starts it again), so a stream that never steps down fails as
    // soon as three seconds' worth of them have gone by, not at the deadline.
    int lowest = stream.Target();
    int inTime = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (stream.Target() > WaveOutStream::kMostBuffers - 3 &&
           std::chrono::steady_clock::now() < deadline) {
        while (stream.Queued() >= stream.Target() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const int before = stream.Queued();
        const int target = stream.Target();
        ASSERT_TRUE(stream.TopUp(mixer, &why));
        EXPECT_LE(stream.Queued(), stream.Target() + 1) << "one fewer at a time, never more";
        EXPECT_GE(stream.Target(), WaveOutStream::kSteadyBuffers);
        lowest = std::min(lowest, stream.Target());
        if (stream.Target() != target || before < target - WaveOutStream::kSteadyBuffers)
            inTime = 0;
        else
            inTime += std::max(0, stream.Queued() - before);
        ASSERT_LT(inTime, 3 * WaveOutStream::kCalmToShrink)
            << "three seconds' worth of buffers written in time, and still " << stream.Target()
            << " buffers kept";
    }
    EXPECT_EQ(lowest, WaveOutStream::kMostBuffers - 3);
    stream.Close();
    EXPECT_FALSE(stream.IsOpen());
}

TEST_F(WaveOutStreamTest, PlayOutQueuesAWholeToneBeyondTheRing) {
    Mixer mixer;
    WaveOutStream stream;
    std::string why;
    ASSERT_TRUE(stream.Open(&why)) << why;
    mixer.Play(Sound::GameOverFall);
    ASSERT_TRUE(stream.TopUp(mixer, &why));
    ASSERT_TRUE(stream.PlayOut(mixer, &why));
    EXPECT_EQ(mixer.ActiveVoices(), 0);  // all of it is with the device
    // The device may already have taken a buffer or two of the ring meanwhile.
    EXPECT_GE(stream.Queued(), WaveOutStream::kSteadyBuffers - 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    // The ring has long played out; the 1.2 s tone plays on while nobody refills.
    EXPECT_GE(stream.Queued(), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(1700));
    EXPECT_EQ(stream.Queued(), 0);
}

TEST_F(WaveOutStreamTest, WithoutADeviceOpenFailsAndSaysWhy) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    WaveOutStream stream;
    std::string why;
    EXPECT_FALSE(stream.Open(&why));
    EXPECT_NE(why.find("waveOutOpen"), std::string::npos) << why;
    Mixer mixer;
    EXPECT_TRUE(stream.TopUp(mixer, &why));  // a closed stream plays nothing and fails nothing
    EXPECT_EQ(stream.Queued(), 0);
}

}  // namespace
