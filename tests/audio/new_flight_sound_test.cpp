// The sound around a new flight: a new best is a rising A5, C#6, E6, A6 heard note after
// note, and a new flight's sound starts as at a new start (the countdown is heard again
// after a game over).
#include <gtest/gtest.h>

#include <vector>

#include "audio/game_sound.h"
#include "landscape/contour_landscape.h"
#include "tests/support/tone_probe.h"

namespace {

TEST(NewFlightSoundTest, ANewBestRisesThroughTheKeyNoteAfterNote) {
    Mixer mixer;
    PlayNewBestFigure(mixer);
    const int frames = (int)(1.2f * (float)kSampleRate);
    std::vector<int16_t> out((size_t)frames * 2);
    mixer.Render(out.data(), frames);
    const std::vector<float> mono = tone::Mono(out.data(), frames);
    const double want[4] = {880.0, 1108.73, 1318.51, 1760.0};
    const int window = kSampleRate / 20;  // 50 ms, inside each note before the next
    for (int i = 0; i < 4; ++i) {
        const int start = (int)((kBestNoteEvery * (float)i + 0.03f) * (float)kSampleRate);
        const double f = tone::Strongest(mono, kSampleRate, 800.0, 1900.0, 5.0, start, window);
        EXPECT_NEAR(f, want[i], 25.0) << "note " << i + 1;
    }
    // Short: over within a second.
    const int tail = (int)(1.1f * (float)kSampleRate);
    double loudest = 0.0;
    for (int i = tail; i < frames; ++i) loudest = std::max(loudest, (double)std::abs(mono[(size_t)i]));
    EXPECT_LT(loudest, 0.01);
}

TEST(NewFlightSoundTest, TheCountdownIsHeardAgainAfterARestart) {
    GameSound sound;
    ContourLandscape land;
    GameState over;
    over.totalTime = 14.0f;
    over.energy = -0.01f;
    sound.Follow(over, land);
    sound.Restart();
    EXPECT_EQ(sound.mixer().ActiveVoices(), 0) << "the game over's fall does not ring on";
    GameState fresh;
    fresh.frameTime = 0.016f;
    sound.Follow(fresh, land);
    EXPECT_GT(sound.mixer().ActiveVoices(), 0) << "the countdown's first tick";
}

}  // namespace
