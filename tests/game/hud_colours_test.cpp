// The head-up display's colours, widths and drawing order, seen in the picture: each bar
// is a wide dark line under a narrow bright one in its own colours, and the frame-rate
// text is a wide black outline under a thin light-green line.
#include "game/hud.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "game/world.h"
#include "tests/support/game/game_harness.h"

namespace {

class HudColours : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SharedGameHarness().Ok()) GTEST_SKIP() << "no display or data files";
        // The display state of the frame (blending on, no depth test, identity matrices),
        // with aliased lines so that widths are whole pixels.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LINE_SMOOTH);
        glDisable(GL_CULL_FACE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    void TearDown() override {
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_LIGHTING);
        glDisable(GL_BLEND);
        glLineWidth(1.0f);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    }
    static void Clear(float grey) {
        glClearColor(grey, grey, grey, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    int W() const { return SharedGameHarness().Width(); }
    int H() const { return SharedGameHarness().Height(); }
};

struct Rgb {
    int r, g, b;
};

Rgb Byte(float r, float g, float b) {
    return Rgb{(int)(r * 255.0f + 0.5f), (int)(g * 255.0f + 0.5f), (int)(b * 255.0f + 0.5f)};
}

bool Near(const unsigned char* p, Rgb c) {
    return std::abs(p[0] - c.r) <= 2 && std::abs(p[1] - c.g) <= 2 && std::abs(p[2] - c.b) <= 2;
}

std::string Describe(const unsigned char* p) {
    return "(" + std::to_string(p[0]) + ", " + std::to_string(p[1]) + ", " + std::to_string(p[2]) +
           ")";
}

TEST_F(HudColours, EachBarIsAWideDarkLineUnderANarrowBrightOne) {
    struct Bar {
        const char* name;
        Rgb dark, bright;
    };
    const Bar bars[] = {
        {"energy", Byte(0.4f, 0.4f, 0.4f), Byte(0.7f, 0.7f, 0.7f)},
        {"zone 0 (blue)", Byte(0.0f, 0.0f, 0.4f), Byte(0.0f, 0.0f, 1.0f)},
        {"zone 1 (magenta)", Byte(0.4f, 0.0f, 0.4f), Byte(1.0f, 0.0f, 1.0f)},
        {"zone 2 (red)", Byte(0.4f, 0.0f, 0.0f), Byte(1.0f, 0.0f, 0.0f)},
        {"zone 3 (green)", Byte(0.0f, 0.4f, 0.0f), Byte(0.0f, 1.0f, 0.0f)},
    };
    GameState g;
    g.energy = 1.0f;
    for (int i = 0; i < 4; ++i) g.zoneMeters[i] = 1.0f;  // every bar from -0.1 up to 0.9
    Clear(0.0f);
    DrawBarsCountersAndRate(g, fontB, strokeFont);
    const std::vector<unsigned char> rgba = SharedGameHarness().ReadPixels();

    // The row at y = 0.4 crosses all five bars and nothing else, left of the middle.
    const int row = (int)((0.4f + 1.0f) * 0.5f * (float)H());
    std::vector<std::pair<int, int>> runs;  // [first, last] lit columns
    for (int x = 0; x < W() / 2; ++x) {
        const unsigned char* p = &rgba[((size_t)row * (size_t)W() + (size_t)x) * 4];
        const bool lit = p[0] + p[1] + p[2] > 0;
        if (lit && (runs.empty() || runs.back().second != x - 1)) runs.push_back({x, x});
        else if (lit) runs.back().second = x;
    }
    ASSERT_EQ(5u, runs.size()) << "energy bar and four zone bars";
    for (size_t i = 0; i < runs.size(); ++i) {
        const Bar& bar = bars[i];
        const int first = runs[i].first, width = runs[i].second - first + 1;
        EXPECT_EQ(8, width) << bar.name << ": the dark line is 8 wide";
        for (int k = 0; k < width; ++k) {
            const unsigned char* p = &rgba[((size_t)row * (size_t)W() + (size_t)(first + k)) * 4];
            const bool inner = k >= 2 && k < 6;  // the bright line, 4 wide, on top
            EXPECT_TRUE(Near(p, inner ? bar.bright : bar.dark))
                << bar.name << ", column " << k << " of the bar: " << Describe(p);
        }
    }
}

// Which pixels of the frame-rate corner differ from the background.
std::vector<bool> Mask(const std::vector<unsigned char>& rgba, int w, int h, int grey) {
    std::vector<bool> m((size_t)w * (size_t)h, false);
    for (int y = (int)(0.75f * (float)h); y < h; ++y)
        for (int x = (int)(0.8f * (float)w); x < w; ++x) {
            const unsigned char* p = &rgba[((size_t)y * (size_t)w + (size_t)x) * 4];
            m[(size_t)y * (size_t)w + (size_t)x] =
                std::abs(p[0] - grey) > 2 || std::abs(p[1] - grey) > 2 || std::abs(p[2] - grey) > 2;
        }
    return m;
}

TEST_F(HudColours, TheFrameRateIsAThinLightGreenLineOverAWideBlackOutline) {
    const float grey = 0.3f;  // a background on which black shows
    const int greyByte = (int)(grey * 255.0f + 0.5f);
    const char* text = "88.88 FPS";
    // The two strokes on their own, drawn by the font with the widths the HUD gives them.
    auto strokes = [&](float width) {
        Clear(grey);
        glLineWidth(width);
        glColor3f(1.0f, 1.0f, 1.0f);
        strokeFont.SetSize(0.007f);
        strokeFont.DrawString(0.7f, 0.9f, text);
        return Mask(SharedGameHarness().ReadPixels(), W(), H(), greyByte);
    };
    const std::vector<bool> thin = strokes(1.0f), wide = strokes(4.0f);

    GameState g;
    g.fps = 88.88f;
    g.energy = 0.0f;
    Clear(grey);
    DrawBarsCountersAndRate(g, fontB, strokeFont);
    const std::vector<unsigned char> rgba = SharedGameHarness().ReadPixels();
    const Rgb light = Byte(0.7f, 1.0f, 0.5f), black{0, 0, 0},
              background{greyByte, greyByte, greyByte};
    int thinPixels = 0, wrong = 0;
    std::string firstWrong;
    for (size_t i = 0; i < thin.size(); ++i) {
        const unsigned char* p = &rgba[i * 4];
        Rgb want = background;
        if (thin[i]) want = light;        // the line, on top
        else if (wide[i]) want = black;   // the outline around it
        thinPixels += thin[i] ? 1 : 0;
        if ((thin[i] || wide[i]) && !Near(p, want)) {
            if (wrong++ == 0)
                firstWrong = "pixel " + std::to_string(i % (size_t)W()) + ", " +
                             std::to_string(i / (size_t)W()) + " is " + Describe(p);
        }
    }
    ASSERT_GT(thinPixels, 50) << "the text is in the corner";
    EXPECT_EQ(0, wrong) << firstWrong;
    // Nothing else of the text: the corner shows only the two strokes.
    const std::vector<bool> drawn = Mask(rgba, W(), H(), greyByte);
    int stray = 0;
    for (size_t i = 0; i < drawn.size(); ++i) stray += (drawn[i] && !wide[i] && !thin[i]) ? 1 : 0;
    EXPECT_EQ(0, stray);
}

}  // namespace
