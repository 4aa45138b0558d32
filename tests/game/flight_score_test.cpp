// The score: seconds flown from "SLIDE !" to game over, in hundredths; paused time is not
// in it; of equal scores the one with more catches ranks higher.
#include "game/flight_score.h"

#include <gtest/gtest.h>

#include "game/frame_driver.h"

namespace {

TEST(FlightScoreTest, SecondsFlownAfterTheCountdownInHundredths) {
    struct Case {
        float totalTime;
        int collected[3];
        int hundredths;
        int catches;
        const char* text;
    };
    const Case cases[] = {
        {14.237f, {2, 1, 0}, 1124, 3, "11.24"},  // rounded to the nearest hundredth
        {14.234f, {0, 0, 0}, 1123, 0, "11.23"},
        {3.0f, {0, 0, 0}, 0, 0, "0.00"},          // over the moment SLIDE ! shows
        {2.5f, {0, 0, 0}, 0, 0, "0.00"},          // never below nothing
        {3.05f, {0, 0, 1}, 5, 1, "0.05"},
        {103.0f, {7, 8, 9}, 10000, 24, "100.00"},
    };
    for (const Case& c : cases) {
        GameState g;
        g.totalTime = c.totalTime;
        for (int k = 0; k < 3; ++k) g.collected[k] = c.collected[k];
        const FlightScore s = ScoreOf(g);
        EXPECT_EQ(s.hundredths, c.hundredths) << c.totalTime;
        EXPECT_EQ(s.catches, c.catches) << c.totalTime;
        char text[32];
        FormatScore(s.hundredths, text, (int)sizeof(text));
        EXPECT_STREQ(text, c.text) << c.totalTime;
    }
}

TEST(FlightScoreTest, PausedTimeIsNotFlown) {
    // 1 s frames of a 1000 Hz counter: 20 s of play with a 100 s pause in the middle.
    GameState g;
    long long now = 0;
    for (int i = 0; i <= 10; ++i, now += 1000) AdvanceTime(g, now, 1000);
    g.paused = 1;
    AdvanceTime(g, now, 1000);
    now += 100000;
    AdvanceTime(g, now, 1000);
    g.paused = 0;
    for (int i = 0; i <= 10; ++i, now += 1000) AdvanceTime(g, now, 1000);
    EXPECT_EQ(ScoreOf(g).hundredths, 1700) << "20 s of play less the 3 s countdown";
}

TEST(FlightScoreTest, LongerRanksAboveAndTiesGoToMoreCatches) {
    struct Case {
        FlightScore a, b;
        bool aAbove, bAbove;
    };
    const Case cases[] = {
        {{1000, 0}, {999, 9}, true, false},   // time first
        {{1000, 3}, {1000, 2}, true, false},  // equal time: more catches
        {{1000, 2}, {1000, 2}, false, false}, // the same: neither
        {{0, 1}, {0, 0}, true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RanksAbove(c.a, c.b), c.aAbove) << c.a.hundredths << "/" << c.a.catches;
        EXPECT_EQ(RanksAbove(c.b, c.a), c.bAbove) << c.b.hundredths << "/" << c.b.catches;
    }
}

}  // namespace
