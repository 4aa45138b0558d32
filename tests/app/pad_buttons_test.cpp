// The pad in the game's loop, through the stand-in's XInputGetState under SDL's virtual
// pads: Start pauses and resumes and a held Start does not repeat, Y mutes, B and Back
// quit from the pause only, a pad that goes away in flight pauses the game, and without
// the focus the pad neither presses nor steers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/gamepad.h"
#include "app/shell.h"
#include "app/window_proc.h"
#include "audio/sound.h"
#include "game/world.h"
#include "platform/sdl/seam.h"

namespace {

using orvseam::PadAxis;
using orvseam::PadButton;

std::vector<UINT> g_closes;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        g_closes.push_back(message);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class PadButtonsTest : public ::testing::Test {
protected:
    void SetUp() override {
        orvseam::Reset();
        game = GameState();
        screenWidth = 640;
        screenHeight = 480;
        ShowCursor(FALSE);
        ShowCursor(FALSE);
        g_closes.clear();
        if (SoundMuted()) ToggleSoundMute();
        std::string why;
        pad = orvseam::AttachVirtualPad(&why);
        ASSERT_GE(pad, 0) << "SDL made no virtual pad: " << why;
    }
    void TearDown() override {
        while (orvseam::CursorShowCount() < 0) ShowCursor(TRUE);
        if (SoundMuted()) ToggleSoundMute();
        if (window != nullptr) DestroyWindow(window);
        game = GameState();
        orvseam::Reset();
    }
    StickDeflection Poll(bool focused = true) { return PollGamepads(pads, window, focused); }
    // A press and its release, one poll each.
    void Tap(PadButton b, bool focused = true) {
        orvseam::SetVirtualPadButton(pad, b, true);
        Poll(focused);
        orvseam::SetVirtualPadButton(pad, b, false);
        Poll(focused);
    }
    // A window whose closing the test counts, for the quit.
    bool MakeWindow() {
        WNDCLASSEXA wc;
        std::memset(&wc, 0, sizeof(wc));
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = CountingProc;
        wc.lpszClassName = "PadButtonsTestWindow";
        RegisterClassExA(&wc);
        window = CreateWindowExA(0, "PadButtonsTestWindow", "t", WS_POPUP, 0, 0, 32, 32, nullptr,
                                 nullptr, nullptr, nullptr);
        return window != nullptr;
    }
    int pad = -1;
    Gamepads pads;
    HWND window = nullptr;
};

TEST_F(PadButtonsTest, StartPausesAndResumesAndAHeldStartDoesNotRepeat) {
    Poll();
    EXPECT_TRUE(AnyGamepad(pads));
    orvseam::SetVirtualPadButton(pad, PadButton::Start, true);
    Poll();
    EXPECT_EQ(game.paused, 1);
    for (int k = 0; k < 3; ++k) {
        Poll();
        EXPECT_EQ(game.paused, 1) << "held, it stays paused: poll " << k;
    }
    orvseam::SetVirtualPadButton(pad, PadButton::Start, false);
    Poll();
    EXPECT_EQ(game.paused, 1);
    Tap(PadButton::Start);
    EXPECT_EQ(game.paused, 0);
}

TEST_F(PadButtonsTest, YMutesAndUnmutes) {
    Tap(PadButton::Y);
    EXPECT_TRUE(SoundMuted());
    Tap(PadButton::Y);
    EXPECT_FALSE(SoundMuted());
}

TEST_F(PadButtonsTest, BAndBackQuitFromThePauseOnly) {
    if (!MakeWindow()) GTEST_SKIP() << "no display";
    Tap(PadButton::B);
    Tap(PadButton::Back);
    Tap(PadButton::A);
    EXPECT_TRUE(g_closes.empty()) << "never in the middle of a flight";
    EXPECT_EQ(game.paused, 0);
    for (PadButton quit : {PadButton::B, PadButton::Back}) {
        g_closes.clear();
        Tap(PadButton::Start);
        ASSERT_EQ(game.paused, 1);
        Tap(quit);
        EXPECT_EQ(g_closes.size(), 1u) << "from the pause it quits";
        Tap(PadButton::Start);
        ASSERT_EQ(game.paused, 0);
    }
}

TEST_F(PadButtonsTest, APadThatGoesAwayInFlightPausesAndAnyDeviceResumes) {
    Poll();
    orvseam::DetachVirtualPad(pad);
    Poll();
    EXPECT_EQ(game.paused, 1);
    EXPECT_FALSE(AnyGamepad(pads));
    // The keyboard resumes it, as P always does.
    WindowProc(nullptr, WM_KEYDOWN, 'P', 0);
    EXPECT_EQ(game.paused, 0);
    Poll();
    EXPECT_EQ(game.paused, 0) << "a pad that stays away pauses once";

    // Gone while paused, it stays paused; a pad that arrives resumes it with Start.
    const int second = orvseam::AttachVirtualPad();
    ASSERT_GE(second, 0);
    Poll();
    WindowProc(nullptr, WM_KEYDOWN, 'P', 0);
    ASSERT_EQ(game.paused, 1);
    orvseam::DetachVirtualPad(second);
    Poll();
    EXPECT_EQ(game.paused, 1);
    pad = orvseam::AttachVirtualPad();
    ASSERT_GE(pad, 0);
    Poll();
    Tap(PadButton::Start);
    EXPECT_EQ(game.paused, 0);
}

TEST_F(PadButtonsTest, APadThatGoesAwayAfterTheGameIsOverPausesNothing) {
    Poll();
    game.energy = 0.0f;
    orvseam::DetachVirtualPad(pad);
    Poll();
    EXPECT_EQ(game.paused, 0);
}

TEST_F(PadButtonsTest, WithoutTheFocusThePadNeitherPressesNorSteers) {
    orvseam::SetVirtualPadAxis(pad, PadAxis::LeftX, 32767);
    orvseam::SetVirtualPadButton(pad, PadButton::Start, true);
    const StickDeflection away = Poll(false);
    EXPECT_EQ(away.x, 0.0f);
    EXPECT_EQ(game.paused, 0);
    // Still held when the focus comes back: no press, but the stick steers.
    const StickDeflection back = Poll(true);
    EXPECT_EQ(game.paused, 0);
    EXPECT_FLOAT_EQ(back.x, 1.0f);
}

TEST_F(PadButtonsTest, TheStickAndTheDpadSteerUpIsUp) {
    orvseam::SetVirtualPadAxis(pad, PadAxis::LeftY, -32768);  // SDL's up
    StickDeflection d = Poll();
    EXPECT_FLOAT_EQ(d.y, 1.0f);
    orvseam::SetVirtualPadAxis(pad, PadAxis::LeftY, 3000);  // inside the dead zone
    d = Poll();
    EXPECT_EQ(d.y, 0.0f);
    orvseam::SetVirtualPadButton(pad, PadButton::DpadLeft, true);
    d = Poll();
    EXPECT_FLOAT_EQ(d.x, -1.0f);
    // Two pads add up, to one at most.
    const int second = orvseam::AttachVirtualPad();
    ASSERT_GE(second, 0);
    orvseam::SetVirtualPadButton(second, PadButton::DpadLeft, true);
    orvseam::SetVirtualPadButton(second, PadButton::DpadUp, true);
    d = Poll();
    EXPECT_FLOAT_EQ(d.x, -1.0f);
    EXPECT_NEAR(d.y, 0.70711f, 1e-4);
}

}  // namespace
