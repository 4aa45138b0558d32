// The stand-in Win32 layer against the semantics the game relies on, driven through the
// test seam and, where it matters, a real window and GL context under the X server.
#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/message_box_1250.h"
#include "platform/msclock.h"
#include "platform/sdl/seam.h"
#include "tests/platform/test_window.h"
#include "tests/support/gl_test_window.h"

namespace {

std::vector<UINT> g_seen;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_seen.push_back(message);
    if (message == WM_DESTROY) PostQuitMessage(7);
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow() {
    return MakeTestWindow("PlatformTest", RecordingProc, WS_EX_TOPMOST, WS_POPUP, 0, 0, 64, 48);
}

void Drain() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
}

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        orvseam::Reset();
        g_seen.clear();
    }
    void TearDown() override { orvseam::Reset(); }
};

TEST_F(PlatformTest, PeekMessageNeverBlocksOnAnEmptyQueue) {
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(PlatformTest, PostQuitMessageQueuesWmQuitWithItsCode) {
    PostQuitMessage(3);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, (UINT)WM_QUIT);
    EXPECT_EQ(m.wParam, (WPARAM)3);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(PlatformTest, CloseRequestDestroysTheWindowThroughDefWindowProc) {
    HWND w = MakeWindow();
    if (w == nullptr) GTEST_SKIP() << "no display";
    Drain();
    g_seen.clear();
    orvseam::PushCloseRequest(w);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, (UINT)WM_CLOSE);
    DispatchMessageA(&m);
    // WM_CLOSE -> DefWindowProc -> DestroyWindow -> WM_DESTROY -> PostQuitMessage.
    ASSERT_GE(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0], (UINT)WM_CLOSE);
    EXPECT_EQ(g_seen[1], (UINT)WM_DESTROY);
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, (UINT)WM_QUIT);
    EXPECT_EQ(m.wParam, (WPARAM)7);
    EXPECT_EQ(SendMessageA(w, WM_CLOSE, 0, 0), 0) << "a destroyed window takes no messages";
}

TEST_F(PlatformTest, KeysAndFocusBecomeWindowMessages) {
    HWND w = MakeWindow();
    if (w == nullptr) GTEST_SKIP() << "no display";
    ShowWindow(w, SW_SHOW);
    Drain();
    orvseam::PushFocus(w, false);
    orvseam::PushFocus(w, true);
    orvseam::PushKeyDown(VK_ESCAPE);
    orvseam::PushKeyDown('A');
    std::vector<MSG> got;
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) got.push_back(m);
    std::vector<std::pair<UINT, WPARAM>> wanted = {
        {WM_KILLFOCUS, 0}, {WM_SETFOCUS, 0}, {WM_KEYDOWN, VK_ESCAPE}, {WM_KEYDOWN, 'A'}};
    std::vector<std::pair<UINT, WPARAM>> seen;
    for (const MSG& x : got)
        if (x.message == WM_KILLFOCUS || x.message == WM_SETFOCUS)
            seen.push_back({x.message, 0});
        else if (x.message == WM_KEYDOWN)
            seen.push_back({x.message, x.wParam});
    // Real focus events of the new window may come first; the scripted ones end the list.
    ASSERT_GE(seen.size(), wanted.size());
    seen.erase(seen.begin(), seen.end() - (long)wanted.size());
    EXPECT_EQ(seen, wanted);
    DestroyWindow(w);
    Drain();
}

TEST_F(PlatformTest, SendMessageCallsTheProcedureAtOnce) {
    HWND w = MakeWindow();
    if (w == nullptr) GTEST_SKIP() << "no display";
    g_seen.clear();
    SendMessageA(w, WM_KEYDOWN, 'B', 0);
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0], (UINT)WM_KEYDOWN);
    DestroyWindow(w);
    Drain();
}

TEST_F(PlatformTest, ShowCursorKeepsTheDisplayCounter) {
    const int start = orvseam::CursorShowCount();
    EXPECT_EQ(ShowCursor(FALSE), start - 1);
    EXPECT_EQ(ShowCursor(FALSE), start - 2);
    EXPECT_EQ(ShowCursor(TRUE), start - 1);
    EXPECT_EQ(ShowCursor(TRUE), start);
}

TEST_F(PlatformTest, HiddenCursorReportsTheLastCentrePlusTheMotionSince) {
    ShowCursor(FALSE);
    SetCursorPos(320, 240);
    orvseam::PushMouseMotion(12, -7);
    orvseam::PushMouseMotion(3, 0);
    POINT p;
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, 335);
    EXPECT_EQ(p.y, 233);
    SetCursorPos(320, 240);
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, 320);
    EXPECT_EQ(p.y, 240);
    ShowCursor(TRUE);
}

TEST_F(PlatformTest, ClocksAreWallClockAndCanBeScripted) {
    LARGE_INTEGER f, a;
    ASSERT_TRUE(QueryPerformanceFrequency(&f));
    EXPECT_GT(f.QuadPart, 0);
    long ms0 = MillisecondClock();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    long ms1 = MillisecondClock();
    EXPECT_GE(ms1 - ms0, 25) << "the frame-rate clock counts wall-clock milliseconds";
    orvseam::SetPerformanceCounter(5000000000LL);
    orvseam::SetPerformanceFrequency(1000000000LL);
    orvseam::SetMilliseconds(1234);
    ASSERT_TRUE(QueryPerformanceCounter(&a));
    EXPECT_EQ(a.QuadPart, 5000000000LL);
    ASSERT_TRUE(QueryPerformanceFrequency(&f));
    EXPECT_EQ(f.QuadPart, 1000000000LL);
    EXPECT_EQ(MillisecondClock(), 1234);
}

TEST_F(PlatformTest, MessageBoxTextsAreReadAsCodePage1250) {
    orvseam::QueueMessageBoxAnswer(IDYES);
    EXPECT_EQ(MessageBox1250(nullptr, "Poda\xF8ilo sesb\xEDrat atom\xF9", "Game Over", MB_OK),
              IDYES);
    ASSERT_EQ(orvseam::MessageBoxes().size(), 1u);
    EXPECT_EQ(orvseam::MessageBoxes()[0].text, "Poda\xC5\x99ilo sesb\xC3\xADrat atom\xC5\xAF");
    EXPECT_EQ(orvseam::MessageBoxes()[0].caption, "Game Over");
}

TEST_F(PlatformTest, InjectedFailuresLookLikeTheRealApiFailing) {
    orvseam::FailNext(orvseam::Call::ChangeDisplaySettings);
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof(mode));
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    mode.dmPelsWidth = 640;
    mode.dmPelsHeight = 480;
    mode.dmBitsPerPel = 32;
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    orvseam::FailNext(orvseam::Call::GetDC);
    EXPECT_EQ(GetDC(nullptr), nullptr);
    EXPECT_EQ(orvseam::CallCount(orvseam::Call::GetDC), 1);
}

TEST_F(PlatformTest, AModeTheDisplayDoesNotHaveIsRefused) {
    HWND w = MakeWindow();
    if (w == nullptr) GTEST_SKIP() << "no display";
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof(mode));
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    mode.dmPelsWidth = 637;
    mode.dmPelsHeight = 479;
    mode.dmBitsPerPel = 32;
    EXPECT_NE(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    DestroyWindow(w);
    Drain();
}

TEST_F(PlatformTest, TheGlContextReallyDraws) {
    GlTestWindow gl(64, 48);
    if (!gl.Ok()) GTEST_SKIP() << "no display";
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1.0f, 0.0f, 0.0f);
    glBegin(GL_QUADS);
    glVertex2f(-1.0f, -1.0f);
    glVertex2f(0.0f, -1.0f);
    glVertex2f(0.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    std::vector<unsigned char> px = gl.ReadPixels();
    const unsigned char* left = &px[(24 * 64 + 10) * 4];
    const unsigned char* right = &px[(24 * 64 + 50) * 4];
    EXPECT_EQ(left[0], 255);
    EXPECT_EQ(left[1], 0);
    EXPECT_EQ(right[0], 0);
    gl.Present();
}

}  // namespace
