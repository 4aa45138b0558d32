// P in the window procedure: a press pauses and the next resumes, a held key's repeats do
// nothing, a game that is over has nothing to pause, and resuming puts the cursor back at
// the centre before hiding it again.
#include <gtest/gtest.h>

#include "app/shell.h"
#include "app/window_proc.h"
#include "game/world.h"
#include "platform/sdl/seam.h"

namespace {

const LPARAM kRepeat = (LPARAM)1 << 30;

class PauseKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        orvseam::Reset();
        game = GameState();
        screenWidth = 640;
        screenHeight = 480;
        // Hidden twice, as the start-up and the display leave it.
        ShowCursor(FALSE);
        ShowCursor(FALSE);
    }
    void TearDown() override {
        while (orvseam::CursorShowCount() < 0) ShowCursor(TRUE);
        game = GameState();
        orvseam::Reset();
    }
    void Press(LPARAM lParam = 0) { WindowProc(nullptr, WM_KEYDOWN, 'P', lParam); }
};

TEST_F(PauseKeyTest, APressPausesTheNextResumesAndRepeatsDoNothing) {
    const int hidden = orvseam::CursorShowCount();
    game.lastCounter = 123456;
    Press();
    EXPECT_EQ(game.paused, 1);
    EXPECT_EQ(game.lastCounter, -1) << "the time from here on is not the game's";
    EXPECT_GE(orvseam::CursorShowCount(), 0) << "the cursor is shown";
    Press(kRepeat);
    Press(kRepeat);
    EXPECT_EQ(game.paused, 1) << "a held P stays paused";
    SetCursorPos(600, 20);
    Press();
    EXPECT_EQ(game.paused, 0);
    EXPECT_EQ(orvseam::CursorShowCount(), hidden) << "hidden as before";
    POINT p;
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 320);
    EXPECT_EQ(p.y, 240);
    Press(kRepeat);
    EXPECT_EQ(game.paused, 0);
}

TEST_F(PauseKeyTest, AGameThatIsOverDoesNotPause) {
    game.energy = 0.0f;
    const int hidden = orvseam::CursorShowCount();
    Press();
    EXPECT_EQ(game.paused, 0);
    EXPECT_EQ(orvseam::CursorShowCount(), hidden);
}

}  // namespace
