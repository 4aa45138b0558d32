// The stand-in's wave-out calls against winmm's semantics, played into SDL's disk writer
// (a file that receives what a sound card would) or with no audio driver at all.
#include <windows.h>

#include <mmsystem.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

namespace {

const char kFile[] = "wave_out_test.raw";

WAVEFORMATEX Stereo16() {
    WAVEFORMATEX f = {};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 2;
    f.nSamplesPerSec = 44100;
    f.wBitsPerSample = 16;
    f.nBlockAlign = 4;
    f.nAvgBytesPerSec = 44100 * 4;
    return f;
}

bool Done(const WAVEHDR& h) { return (*(const volatile DWORD*)&h.dwFlags & WHDR_DONE) != 0; }

// Polls as a game would, for at most two seconds.
bool WaitDone(const WAVEHDR& h) {
    for (int i = 0; i < 200 && !Done(h); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return Done(h);
}

class WaveOutTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", kFile, 1);
        std::remove(kFile);
    }
    void TearDown() override {
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
    }
};

TEST_F(WaveOutTest, OpenRefusesWhatItCannotPlay) {
    struct Case {
        const char* what;
        WAVEFORMATEX format;
        UINT device;
        DWORD flags;
        MMRESULT expected;
    };
    std::vector<Case> cases;
    WAVEFORMATEX f = Stereo16();
    f.wFormatTag = 3;  // IEEE float
    cases.push_back({"not PCM", f, WAVE_MAPPER, CALLBACK_NULL, WAVERR_BADFORMAT});
    f = Stereo16();
    f.wBitsPerSample = 24;
    f.nBlockAlign = 6;
    cases.push_back({"24 bits", f, WAVE_MAPPER, CALLBACK_NULL, WAVERR_BADFORMAT});
    f = Stereo16();
    f.nBlockAlign = 2;
    cases.push_back({"block size", f, WAVE_MAPPER, CALLBACK_NULL, WAVERR_BADFORMAT});
    f = Stereo16();
    f.nChannels = 6;
    f.nBlockAlign = 12;
    cases.push_back({"six channels", f, WAVE_MAPPER, CALLBACK_NULL, WAVERR_BADFORMAT});
    cases.push_back({"a callback", Stereo16(), WAVE_MAPPER, 0x00030000L, MMSYSERR_INVALFLAG});
    cases.push_back({"device 7", Stereo16(), 7, CALLBACK_NULL, MMSYSERR_BADDEVICEID});
    for (const Case& c : cases) {
        HWAVEOUT device = nullptr;
        EXPECT_EQ(waveOutOpen(&device, c.device, &c.format, 0, 0, c.flags), c.expected) << c.what;
        EXPECT_EQ(device, nullptr) << c.what;
    }
}

TEST_F(WaveOutTest, WithoutADriverOpenSaysNoDriver) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    HWAVEOUT device = nullptr;
    const WAVEFORMATEX f = Stereo16();
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), (MMRESULT)MMSYSERR_NODRIVER);
    EXPECT_EQ(device, nullptr);
}

TEST_F(WaveOutTest, BuffersPlayInTheOrderWrittenAndAreMarkedDone) {
    HWAVEOUT device = nullptr;
    const WAVEFORMATEX f = Stereo16();
    ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), (MMRESULT)MMSYSERR_NOERROR);
    // Three buffers of 10 ms, each a constant of its own: 1000, 2000, 3000.
    std::vector<int16_t> data[3];
    WAVEHDR h[3] = {};
    for (int i = 0; i < 3; ++i) {
        data[i].assign(2 * 441, (int16_t)(1000 * (i + 1)));
        h[i].lpData = (LPSTR)data[i].data();
        h[i].dwBufferLength = (DWORD)(data[i].size() * sizeof(int16_t));
        EXPECT_EQ(waveOutWrite(device, &h[i], sizeof(WAVEHDR)), (MMRESULT)WAVERR_UNPREPARED);
        ASSERT_EQ(waveOutPrepareHeader(device, &h[i], sizeof(WAVEHDR)), (MMRESULT)MMSYSERR_NOERROR);
        EXPECT_EQ(h[i].dwFlags, (DWORD)WHDR_PREPARED);
    }
    for (int i = 0; i < 3; ++i) ASSERT_EQ(waveOutWrite(device, &h[i], sizeof(WAVEHDR)), (MMRESULT)MMSYSERR_NOERROR);
    EXPECT_TRUE(h[2].dwFlags & WHDR_INQUEUE);
    EXPECT_EQ(waveOutWrite(device, &h[2], sizeof(WAVEHDR)), (MMRESULT)MMSYSERR_INVALPARAM);
    ASSERT_TRUE(WaitDone(h[2]));
    EXPECT_TRUE(Done(h[0]) && Done(h[1]));
    EXPECT_FALSE(h[0].dwFlags & WHDR_INQUEUE);
    for (WAVEHDR& x : h) EXPECT_EQ(waveOutUnprepareHeader(device, &x, sizeof(WAVEHDR)), (MMRESULT)MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(device), (MMRESULT)MMSYSERR_NOERROR);

    // The device took them whole and in order, with silence only before and after.
    std::ifstream in(kFile, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> played(bytes.size() / 2);
    std::memcpy(played.data(), bytes.data(), played.size() * 2);
    size_t at = 0;
    while (at < played.size() && played[at] == 0) ++at;
    ASSERT_GE(played.size(), at + 3 * 882);
    for (int i = 0; i < 3; ++i)
        for (int s = 0; s < 882; ++s) ASSERT_EQ(played[at + i * 882 + s], 1000 * (i + 1)) << i << " " << s;
    for (size_t s = at + 3 * 882; s < played.size(); ++s) ASSERT_EQ(played[s], 0) << s;
}

TEST_F(WaveOutTest, ResetEndsEveryBufferAtOnceAndOnlyThenMayTheDeviceClose) {
    HWAVEOUT device = nullptr;
    const WAVEFORMATEX f = Stereo16();
    ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), (MMRESULT)MMSYSERR_NOERROR);
    std::vector<int16_t> data(2 * 44100, 500);  // a whole second
    WAVEHDR h = {};
    h.lpData = (LPSTR)data.data();
    h.dwBufferLength = (DWORD)(data.size() * sizeof(int16_t));
    ASSERT_EQ(waveOutPrepareHeader(device, &h, sizeof(WAVEHDR)), (MMRESULT)MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(device, &h, sizeof(WAVEHDR)), (MMRESULT)MMSYSERR_NOERROR);
    EXPECT_FALSE(Done(h));
    EXPECT_EQ(waveOutUnprepareHeader(device, &h, sizeof(WAVEHDR)), (MMRESULT)WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutClose(device), (MMRESULT)WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutReset(device), (MMRESULT)MMSYSERR_NOERROR);
    EXPECT_TRUE(Done(h));
    EXPECT_FALSE(h.dwFlags & WHDR_INQUEUE);
    EXPECT_EQ(waveOutUnprepareHeader(device, &h, sizeof(WAVEHDR)), (MMRESULT)MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(device), (MMRESULT)MMSYSERR_NOERROR);
}

TEST_F(WaveOutTest, CallsOnNoDeviceSayInvalidHandle) {
    WAVEHDR h = {};
    int16_t x[4] = {};
    h.lpData = (LPSTR)x;
    h.dwBufferLength = sizeof(x);
    EXPECT_EQ(waveOutPrepareHeader(nullptr, &h, sizeof(WAVEHDR)), (MMRESULT)MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutWrite(nullptr, &h, sizeof(WAVEHDR)), (MMRESULT)MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutReset(nullptr), (MMRESULT)MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutClose(nullptr), (MMRESULT)MMSYSERR_INVALHANDLE);
}

}  // namespace
