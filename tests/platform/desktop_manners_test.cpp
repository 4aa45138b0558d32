// How the stand-in treats the desktop it runs on: a loop with nothing to draw sleeps, the
// cursor keeps to the screen and re-centres even without relative mode, a box that cannot
// be shown takes its default answer, and a full-screen mode is given back.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/sdl/seam.h"
#include "tests/platform/test_window.h"

namespace {

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow(int width, int height, bool visible, int x = 0, int y = 0) {
    return MakeTestWindow("DesktopMannersTest", PlainProc, 0,
                          WS_POPUP | (visible ? WS_VISIBLE : 0), x, y, width, height);
}

void Drain() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
}

class DesktopMannersTest : public ::testing::Test {
protected:
    void SetUp() override {
        orvseam::Reset();
        Drain();
    }
    void TearDown() override {
        Drain();
        orvseam::Reset();
    }
};

TEST_F(DesktopMannersTest, WaitMessageSleepsUntilAMessageArrives) {
    HWND w = MakeWindow(64, 48, false);
    if (w == nullptr) GTEST_SKIP() << "no display";
    std::atomic<bool> pushed{false};
    std::thread player([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        pushed = true;
        orvseam::PushKeyDown(VK_ESCAPE);
    });
    // Waits as the game's loop does: any event wakes the wait, also one that becomes no
    // message (the new window's own, which the server may send late on a busy machine),
    // and the loop peeks and waits again. A wait that polled instead of sleeping would
    // come round thousands of times before the key.
    MSG m;
    int wakes = 0;
    while (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        ASSERT_TRUE(WaitMessage());
        ASSERT_LT(++wakes, 50) << "the wait polls instead of sleeping";
    }
    EXPECT_TRUE(pushed.load());
    player.join();
    EXPECT_EQ(m.message, (UINT)WM_KEYDOWN);
    EXPECT_EQ(m.wParam, (WPARAM)VK_ESCAPE);

    // A message already waiting is answered at once.
    PostMessageA(w, WM_USER, 0, 0);
    EXPECT_TRUE(WaitMessage());
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, (UINT)WM_USER);
    DestroyWindow(w);
}

TEST_F(DesktopMannersTest, TheHiddenCursorStopsAtTheScreensEdge) {
    int sw = 0, sh = 0;
    if (!orvseam::DesktopSize(&sw, &sh)) GTEST_SKIP() << "no display";
    struct Case {
        int startX, startY, dx, dy;
        int x, y;
    };
    const Case cases[] = {
        {320, 240, 12, -7, 332, 233},                  // inside: motion as it comes
        {320, 240, 100000, 0, sw - 1, 240},            // right edge
        {320, 240, -100000, -100000, 0, 0},            // top left corner
        {320, 240, 0, 100000, 320, sh - 1},            // bottom edge
        {sw - 2, 10, 5, 0, sw - 1, 10},                // a few pixels short of the edge
        {-50, 20000, 0, 0, 0, sh - 1},                 // SetCursorPos keeps to the screen too
    };
    ShowCursor(FALSE);
    for (const Case& c : cases) {
        SetCursorPos(c.startX, c.startY);
        orvseam::PushMouseMotion(c.dx, c.dy);
        POINT p;
        ASSERT_TRUE(GetCursorPos(&p));
        EXPECT_EQ(p.x, c.x) << c.startX << "," << c.startY << " + " << c.dx << "," << c.dy;
        EXPECT_EQ(p.y, c.y) << c.startX << "," << c.startY << " + " << c.dx << "," << c.dy;
    }
    // What went past the edge is lost: moving back starts from the edge.
    SetCursorPos(sw - 10, 100);
    orvseam::PushMouseMotion(50, 0);
    orvseam::PushMouseMotion(-20, 0);
    POINT p;
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, sw - 1 - 20);
    ShowCursor(TRUE);
}

TEST_F(DesktopMannersTest, SetCursorPosMovesTheRealPointerWhileHiddenWithoutCapture) {
    // A window without the keyboard focus: relative mode is off although the cursor is
    // hidden. Re-centring must still move the pointer, or it runs into the screen's edge.
    HWND w = MakeWindow(64, 48, false);
    if (w == nullptr) GTEST_SKIP() << "no display";
    ShowCursor(FALSE);
    const POINT targets[] = {{100, 90}, {300, 200}, {17, 33}};
    for (const POINT& t : targets) {
        ASSERT_TRUE(SetCursorPos(t.x, t.y));
        int x = -1, y = -1;
        ASSERT_TRUE(orvseam::PointerPosition(&x, &y));
        EXPECT_EQ(x, t.x);
        EXPECT_EQ(y, t.y);
    }
    ShowCursor(TRUE);
    DestroyWindow(w);
}

TEST_F(DesktopMannersTest, AFreePointersMotionPutsTheCursorWhereThePointerIs) {
    // Without capture the X server reports where the pointer is, in the window's
    // coordinates. The echo of our own SetCursorPos then lands on its point, and a real
    // move counts once, however far the pointer was before.
    HWND w = MakeWindow(400, 300, false, 50, 40);
    if (w == nullptr) GTEST_SKIP() << "no display";
    ShowCursor(FALSE);
    SetCursorPos(250, 190);
    // The echo of the move, with the distance X measured from wherever the pointer was.
    orvseam::PushPointerMotion(w, 200, 150, 180, -60);
    POINT p;
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, 250);
    EXPECT_EQ(p.y, 190);
    orvseam::PushPointerMotion(w, 212, 143, 12, -7);
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, 262);
    EXPECT_EQ(p.y, 183);
    ShowCursor(TRUE);
    DestroyWindow(w);
}

TEST_F(DesktopMannersTest, ABoxThatCannotBeShownTakesItsDefaultAnswer) {
    HWND w = MakeWindow(64, 48, false);
    if (w == nullptr) GTEST_SKIP() << "no display";
    struct Case {
        UINT type;
        int answer;
        const char* said;
    };
    const Case cases[] = {
        {MB_YESNO | MB_ICONEXCLAMATION, IDYES, "taking its default answer, Yes"},
        {MB_OK, IDOK, "taking its default answer, OK"},
        {MB_OKCANCEL, IDOK, "taking its default answer, OK"},
    };
    orvseam::SetMessageBoxesUnshowable(true);
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(MessageBoxA(nullptr, "Use windowed mode instead?", "Fullscreen", c.type),
                  c.answer);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("Fullscreen: Use windowed mode instead?"), std::string::npos) << said;
        EXPECT_NE(said.find(c.said), std::string::npos) << said;
    }
    ASSERT_EQ(orvseam::MessageBoxes().size(), 3u);
    EXPECT_EQ(orvseam::MessageBoxes()[0].answer, IDYES);
    DestroyWindow(w);
}

TEST_F(DesktopMannersTest, AFullScreenModeIsHeldUntilANullModeRestoresIt) {
    int sw = 0, sh = 0;
    HWND w = MakeWindow(100, 100, true);
    if (w == nullptr || !orvseam::DesktopSize(&sw, &sh)) GTEST_SKIP() << "no display";
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof(mode));
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    mode.dmPelsWidth = (DWORD)sw;
    mode.dmPelsHeight = (DWORD)sh;
    mode.dmBitsPerPel = 32;
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_TRUE(orvseam::DisplayModeChanged());
    // The game destroys its window first and restores the desktop after: the mode is still
    // the destroyed window's to give back.
    DestroyWindow(w);
    EXPECT_TRUE(orvseam::DisplayModeChanged());
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_FALSE(orvseam::DisplayModeChanged());
}

}  // namespace
