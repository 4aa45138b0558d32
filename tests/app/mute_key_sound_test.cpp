// M in a running game, heard at the output: the game's sound goes through the stand-in's
// wave-out into SDL's disk writer while the loop's UpdateSound follows the game; M through
// the window procedure silences what is written, and M again brings the sound back.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "app/window_proc.h"
#include "audio/sound.h"
#include "game/world.h"

namespace {

const char kFile[] = "mute_key_sound_test.raw";
const int kRate = 44100;

long FileFrames() {
    struct stat st;
    return stat(kFile, &st) == 0 ? (long)(st.st_size / 4) : 0;
}

// Runs the loop's sound step until the disk writer has taken `seconds` more of sound
// (with a deadline as a safety net); returns where it stood when the wait began.
long PlayFor(double seconds) {
    const long from = FileFrames();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (FileFrames() < from + (long)(seconds * kRate) && std::chrono::steady_clock::now() < deadline) {
        UpdateSound();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return from;
}

double Rms(const std::vector<int16_t>& s, long from, long to) {
    double sum = 0.0;
    long n = 0;
    for (long i = 2 * from; i < 2 * to && i < (long)s.size(); ++i, ++n) sum += (double)s[(size_t)i] * s[(size_t)i];
    return n > 0 ? std::sqrt(sum / (double)n) : 0.0;
}

TEST(MuteKeySoundTest, MSilencesTheOutputAndMAgainBringsItBack) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", kFile, 1);
    std::remove(kFile);
    // In flight past the countdown, in the field: the drone plays all the time.
    game = GameState();
    game.totalTime = 10.0f;
    ASSERT_FALSE(SoundMuted());
    OpenSound(true);
    PlayFor(0.6);
    const long muted = PlayFor(0.0);
    WindowProc(nullptr, WM_KEYDOWN, 'M', 0);
    ASSERT_TRUE(SoundMuted());
    PlayFor(0.8);
    const long back = PlayFor(0.0);
    WindowProc(nullptr, WM_KEYDOWN, 'M', 0);
    ASSERT_FALSE(SoundMuted());
    PlayFor(0.6);
    const long end = PlayFor(0.0);
    CloseSound();  // the disk writer has all of it once the device is closed
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
    game = GameState();

    std::ifstream in(kFile, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> s(bytes.size() / 2);
    if (!s.empty()) std::memcpy(s.data(), bytes.data(), 2 * s.size());
    ASSERT_GE((long)s.size() / 2, end) << "all that was written is in the file";
    // What was queued and what the writer had not yet put in the file when M was
    // pressed (at most a few tenths) still plays; then silence to the second press.
    const long settle = (long)(0.3 * kRate);
    EXPECT_GT(Rms(s, muted - settle, muted), 300.0) << "the drone before M";
    EXPECT_EQ(Rms(s, muted + settle, back), 0.0) << "nothing while muted";
    EXPECT_GT(Rms(s, back + settle, end), 300.0) << "the drone after M again";
}

}  // namespace
