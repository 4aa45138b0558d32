// What the head-up display draws, recorded in GL feedback mode and compared with the
// fonts drawing the expected texts themselves.
#include "game/hud.h"

#include <gtest/gtest.h>

#include <cmath>

#include "game/world.h"
#include "tests/support/game/game_harness.h"

namespace {

GameHarness& Harness() {
    static GameHarness* h = new GameHarness();
    return *h;
}

class HudTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Harness().Ok()) GTEST_SKIP() << "no display or data files";
        Harness().NewGame();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    std::vector<FedPrimitive> StartTexts(float t) {
        GameState g;
        g.totalTime = t;
        return RecordFeedback([&] { DrawStartTexts(g, fontA, fontB); });
    }
    static std::vector<FedPrimitive> BitmapText(BitmapFont& font, float scale, float x, float y,
                                                const char* text) {
        return RecordFeedback([&] {
            float old = font.scale;
            font.SetScale(scale);
            font.DrawString(x, y, text);
            font.SetScale(old);
        });
    }
};

void ExpectSame(const std::vector<FedPrimitive>& a, const std::vector<FedPrimitive>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i].token, b[i].token);
        ASSERT_EQ(a[i].xy.size(), b[i].xy.size());
        for (size_t k = 0; k < a[i].xy.size(); ++k) EXPECT_NEAR(a[i].xy[k], b[i].xy[k], 1e-3);
    }
}

TEST_F(HudTest, CountdownNumberAndScale) {
    struct Case {
        float t;
        const char* text;
        float scale;
    };
    const Case cases[] = {{0.5f, "..3..", 2.0f}, {2.25f, "..1..", 1.0f}, {1.75f, "..2..", 3.0f}};
    for (const Case& c : cases) {
        std::vector<FedPrimitive> drawn = StartTexts(c.t);
        ASSERT_FALSE(drawn.empty()) << c.t;
        ExpectSame(drawn, BitmapText(fontB, c.scale, -0.1f, 0.9f, c.text));
        EXPECT_EQ(fontB.scale, 0.65f) << "back to the counters' scale";
    }
}

TEST_F(HudTest, BannerOnlyAfterThreeSecondsAndNeitherAtThree) {
    EXPECT_TRUE(StartTexts(3.0f).empty());
    std::vector<FedPrimitive> drawn = StartTexts(3.2f);
    ASSERT_FALSE(drawn.empty());
    ExpectSame(drawn, BitmapText(fontA, 1.0f, -0.3f, 0.9f, "SLIDE !"));
}

// Whether `part` stands in `whole` as one run, vertex for vertex.
bool Contains(const std::vector<FedPrimitive>& whole, const std::vector<FedPrimitive>& part) {
    for (size_t at = 0; at + part.size() <= whole.size(); ++at) {
        bool same = true;
        for (size_t i = 0; same && i < part.size(); ++i) {
            const FedPrimitive& a = whole[at + i];
            const FedPrimitive& b = part[i];
            same = a.token == b.token && a.xy.size() == b.xy.size();
            for (size_t k = 0; same && k < a.xy.size(); ++k)
                same = std::fabs(a.xy[k] - b.xy[k]) < 1e-3f;
        }
        if (same) return true;
    }
    return false;
}

TEST_F(HudTest, PausedTheFrameSaysSoAcrossTheMiddle) {
    const std::vector<FedPrimitive> word = BitmapText(fontA, 1.0f, -0.25f, 0.1f, "PAUSED");
    ASSERT_FALSE(word.empty());
    // Across the middle of the picture: from left of the centre to right of it.
    float left = 1e9f, right = -1e9f;
    for (const FedPrimitive& p : word)
        for (size_t k = 0; k < p.xy.size(); k += 2) {
            left = std::fmin(left, p.xy[k]);
            right = std::fmax(right, p.xy[k]);
        }
    EXPECT_LT(left, 320.0f);
    EXPECT_GT(right, 320.0f);

    game.paused = 1;
    const std::vector<FedPrimitive> paused = RecordFeedback([] { Harness().Frame(0.0); });
    game.paused = 0;
    const std::vector<FedPrimitive> playing = RecordFeedback([] { Harness().Frame(0.0); });
    EXPECT_TRUE(Contains(paused, word)) << "the paused frame shows the word";
    EXPECT_FALSE(Contains(playing, word)) << "a frame in play does not";
}

// Window y of an NDC y on the 480-pixel-high test window.
float WinY(float ndc) { return (ndc + 1.0f) * 240.0f; }
float WinX(float ndc) { return (ndc + 1.0f) * 320.0f; }

TEST_F(HudTest, BarsHangFromTheTopByTheirValues) {
    struct Case {
        float energy;
        float bottom;
    };
    const Case cases[] = {{1.8f, -0.9f}, {0.3f, 0.6f}};
    for (const Case& c : cases) {
        GameState g;
        g.energy = c.energy;
        g.zoneMeters[2] = 1.0f;
        std::vector<FedPrimitive> lines;
        for (const FedPrimitive& p :
             RecordFeedback([&] { DrawBarsCountersAndRate(g, fontB, strokeFont); }))
            if (p.token == GL_LINE_TOKEN) lines.push_back(p);
        ASSERT_GE(lines.size(), 10u);
        // Energy bar twice (wide dark, narrow bright), then the four zone bars twice each.
        for (int k = 0; k < 2; ++k) {
            EXPECT_NEAR(lines[k].xy[0], WinX(-0.9f), 1e-3);
            EXPECT_NEAR(lines[k].xy[1], WinY(c.bottom), 1e-3) << c.energy;
            EXPECT_NEAR(lines[k].xy[3], WinY(0.9f), 1e-3);
        }
        for (int i = 0; i < 4; ++i)
            for (int k = 0; k < 2; ++k) {
                const FedPrimitive& l = lines[2 + 2 * i + k];
                EXPECT_NEAR(l.xy[0], WinX(i * 0.04f - 0.8f), 1e-3);
                EXPECT_NEAR(l.xy[1], WinY(i == 2 ? -0.1f : 0.9f), 1e-3);
            }
    }
}

TEST_F(HudTest, CountersAndTheRateBeforeTheFirstMeasurement) {
    GameState g;
    g.collected[0] = 3;
    g.collected[1] = 14;
    g.collected[2] = 7;
    std::vector<FedPrimitive> drawn =
        RecordFeedback([&] { DrawBarsCountersAndRate(g, fontB, strokeFont); });
    std::vector<FedPrimitive> polygons, lines;
    for (const FedPrimitive& p : drawn)
        (p.token == GL_POLYGON_TOKEN ? polygons : lines).push_back(p);
    std::vector<FedPrimitive> expected = BitmapText(fontB, 0.65f, 0.85f, -0.55f, "3");
    for (const FedPrimitive& p : BitmapText(fontB, 0.65f, 0.6f, -0.55f, "14"))
        expected.push_back(p);
    for (const FedPrimitive& p : BitmapText(fontB, 0.65f, 0.37f, -0.55f, "7"))
        expected.push_back(p);
    ExpectSame(polygons, expected);

    // After the ten bar lines: "0.00 FPS" twice, outline then line.
    std::vector<FedPrimitive> rate(lines.begin() + 10, lines.end());
    std::vector<FedPrimitive> once = RecordFeedback([&] {
        strokeFont.SetSize(0.007f);
        strokeFont.DrawString(0.7f, 0.9f, "0.00 FPS");
    });
    ASSERT_FALSE(once.empty());
    std::vector<FedPrimitive> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    ExpectSame(rate, twice);
}

}  // namespace
