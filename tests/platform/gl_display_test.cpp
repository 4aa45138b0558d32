// The GL display against its failure paths and its state, through the platform seam and
// a real window under the X server.
#include "platform/gl_display.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/sdl/seam.h"
#include "tests/platform/test_window.h"

namespace {

using orvseam::Call;

LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

HWND MakeWindow(int width, int height) {
    HWND w = MakeTestWindow("GlDisplayTest", Proc, WS_EX_TOPMOST, WS_POPUP, 0, 0, width, height);
    if (w != nullptr) ShowWindow(w, SW_SHOW);
    return w;
}

class GlDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        orvseam::Reset();
        window = MakeWindow(320, 240);
        if (window == nullptr) GTEST_SKIP() << "no display";
        cursorAtStart = orvseam::CursorShowCount();
    }
    void TearDown() override {
        if (window != nullptr) DestroyWindow(window);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
        orvseam::Reset();
    }
    int CursorDelta() const { return orvseam::CursorShowCount() - cursorAtStart; }
    HWND window = nullptr;
    int cursorAtStart = 0;
};

TEST_F(GlDisplayTest, RefusedFullScreenAnsweredNoFailsWithOnlyTheQuestion) {
    orvseam::FailNext(Call::ChangeDisplaySettings);
    orvseam::QueueMessageBoxAnswer(IDNO);
    GlDisplay d;
    EXPECT_EQ(d.Create(window, 320, 240, 32, 1), 0);
    ASSERT_EQ(orvseam::MessageBoxes().size(), 1u);
    const orvseam::MessageBoxRecord& box = orvseam::MessageBoxes()[0];
    EXPECT_EQ(box.text, "Unable to set fullscreen mode.\nUse windowed mode instead?");
    EXPECT_EQ(box.caption, "Fullscreen");
    EXPECT_EQ(box.type, (UINT)(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_EQ(d.active, 0);
    EXPECT_EQ(CursorDelta(), 0);
    EXPECT_EQ(orvseam::CallCount(Call::GetDC), 0);
}

TEST_F(GlDisplayTest, RefusedFullScreenAnsweredYesPlaysInTheWindow) {
    orvseam::FailNext(Call::ChangeDisplaySettings);
    orvseam::QueueMessageBoxAnswer(IDYES);
    {
        GlDisplay d;
        ASSERT_EQ(d.Create(window, 320, 240, 32, 1), 1);
        EXPECT_EQ(d.fullscreen, 0);
        EXPECT_EQ(d.active, 1);
        EXPECT_EQ(CursorDelta(), -1) << "the display hides the cursor once more";
        EXPECT_EQ(d.Shutdown(), 1);
        EXPECT_EQ(CursorDelta(), -1) << "a windowed display does not show it again";
        ASSERT_EQ(orvseam::ModeChanges().size(), 1u) << "no restore of the display mode";
        const orvseam::ModeChange& asked = orvseam::ModeChanges()[0];
        EXPECT_EQ(asked.width, 320);
        EXPECT_EQ(asked.height, 240);
        EXPECT_EQ(asked.bitsPerPel, 32);
        EXPECT_EQ(asked.flags, (unsigned)CDS_FULLSCREEN);
    }
    ShowCursor(TRUE);
}

TEST_F(GlDisplayTest, WindowedRequestTouchesNeitherModeNorCursor) {
    GlDisplay d;
    ASSERT_EQ(d.Create(window, 320, 240, 32, 0), 1);
    EXPECT_EQ(d.fullscreen, 0);
    EXPECT_TRUE(orvseam::ModeChanges().empty());
    EXPECT_EQ(CursorDelta(), 0);
    EXPECT_EQ(d.Shutdown(), 1);
    EXPECT_TRUE(orvseam::ModeChanges().empty());
    EXPECT_TRUE(orvseam::MessageBoxes().empty());
}

TEST_F(GlDisplayTest, CreateSetsTheInitialGlState) {
    GlDisplay d;
    ASSERT_EQ(d.Create(window, 320, 240, 32, 0), 1);
    GLint viewport[4], value;
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 240);
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    glGetIntegerv(GL_CULL_FACE_MODE, &value);
    EXPECT_EQ(value, GL_FRONT);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_FLAT);
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_PROJECTION);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // gluPerspective(90, 4/3, ...): x scale = 1 / (aspect * tan 45deg) = 0.75.
    EXPECT_NEAR(projection[0], 0.75f, 1e-6);
    EXPECT_NEAR(projection[5], 1.0f, 1e-6);
    EXPECT_EQ(d.Present(), 1);
    d.Shutdown();
}

TEST_F(GlDisplayTest, EachCreateFailureShowsItsMessage) {
    struct Case {
        Call call;
        const char* text;
    };
    const Case cases[] = {
        {Call::GetDC, "Unable to create a GL device context."},
        {Call::ChoosePixelFormat, "Unable to find a suitable pixelformat."},
        {Call::SetPixelFormat, "Unable to set the pixelformat."},
        {Call::wglCreateContext, "Unable to create a GL rendering context."},
        {Call::wglMakeCurrent, "Unable to activate the GL rendering context."},
    };
    for (const Case& c : cases) {
        HWND w = MakeWindow(64, 48);
        ASSERT_NE(w, nullptr);
        orvseam::Reset();
        orvseam::FailNext(c.call);
        orvseam::QueueMessageBoxAnswer(IDOK);
        GlDisplay d;
        EXPECT_EQ(d.Create(w, 64, 48, 32, 0), 0) << c.text;
        ASSERT_EQ(orvseam::MessageBoxes().size(), 1u) << c.text;
        EXPECT_EQ(orvseam::MessageBoxes()[0].text, c.text);
        EXPECT_EQ(orvseam::MessageBoxes()[0].caption, "GL_Drv");
        EXPECT_EQ(orvseam::MessageBoxes()[0].type, (UINT)MB_OK);
        EXPECT_EQ(d.active, 0);
        // A failed display is not shut down by its destructor: that is the program's end.
        if (d.renderContext != nullptr) {
            wglMakeCurrent(nullptr, nullptr);
            wglDeleteContext(d.renderContext);
        }
        DestroyWindow(w);
    }
}

TEST_F(GlDisplayTest, ReleaseFailuresAreReportedAndTheRestStillReleased) {
    struct Case {
        Call call;
        const char* text;  // null: no message
        int deleteCalls;
    };
    const Case cases[] = {
        {Call::wglMakeCurrent, "Release of DC and RC failed.", 1},
        {Call::wglDeleteContext, "Release rendering context failed.", 1},
        {Call::ReleaseDC, nullptr, 1},
    };
    for (const Case& c : cases) {
        HWND w = MakeWindow(64, 48);
        ASSERT_NE(w, nullptr);
        orvseam::Reset();
        GlDisplay d;
        ASSERT_EQ(d.Create(w, 64, 48, 32, 0), 1);
        HGLRC rc = d.renderContext;
        orvseam::FailNext(c.call);
        if (c.text) orvseam::QueueMessageBoxAnswer(IDOK);
        EXPECT_EQ(d.Shutdown(), 0);
        EXPECT_EQ(d.active, 0);
        EXPECT_EQ(orvseam::CallCount(Call::wglDeleteContext), c.deleteCalls);
        if (c.text) {
            ASSERT_EQ(orvseam::MessageBoxes().size(), 1u);
            EXPECT_EQ(orvseam::MessageBoxes()[0].text, c.text);
            EXPECT_EQ(orvseam::MessageBoxes()[0].caption, "GL_Drv");
        } else {
            EXPECT_TRUE(orvseam::MessageBoxes().empty());
        }
        if (c.call == Call::wglDeleteContext) wglDeleteContext(rc);
        // A second Shutdown releases nothing twice.
        int deletes = orvseam::CallCount(Call::wglDeleteContext);
        d.Shutdown();
        EXPECT_EQ(orvseam::CallCount(Call::wglDeleteContext), deletes);
        DestroyWindow(w);
    }
}

TEST_F(GlDisplayTest, DestroyingAnUncreatedOrShutDownDisplayDoesNothing) {
    { GlDisplay never; }
    {
        GlDisplay d;
        ASSERT_EQ(d.Create(window, 320, 240, 32, 0), 1);
        EXPECT_EQ(d.Shutdown(), 1);
    }
    EXPECT_EQ(orvseam::CallCount(Call::wglDeleteContext), 1);
    EXPECT_EQ(orvseam::CallCount(Call::ReleaseDC), 1);
}

TEST(GlDisplayFullScreen, SwitchesToTheModeAndRestoresIt) {
    orvseam::Reset();
    // The X server of the tests has one mode: its own screen size.
    struct { int w, h; } desktop;
    HWND w = MakeWindow(100, 100);
    if (w == nullptr || !orvseam::DesktopSize(&desktop.w, &desktop.h)) GTEST_SKIP() << "no display";
    const int before = orvseam::CursorShowCount();
    {
        GlDisplay d;
        ASSERT_EQ(d.Create(w, desktop.w, desktop.h, 32, 1), 1);
        EXPECT_EQ(d.fullscreen, 1);
        EXPECT_TRUE(orvseam::MessageBoxes().empty());
        EXPECT_EQ(orvseam::CursorShowCount(), before - 1);
        EXPECT_EQ(d.Shutdown(), 1);
        EXPECT_EQ(orvseam::CursorShowCount(), before);
        ASSERT_EQ(orvseam::ModeChanges().size(), 2u);
        const orvseam::ModeChange& change = orvseam::ModeChanges()[0];
        EXPECT_EQ(change.width, desktop.w);
        EXPECT_EQ(change.height, desktop.h);
        EXPECT_EQ(change.bitsPerPel, 32) << "the depth the display was asked for";
        EXPECT_EQ(change.flags, (unsigned)CDS_FULLSCREEN) << "a temporary full-screen mode";
        EXPECT_EQ(change.result, DISP_CHANGE_SUCCESSFUL);
        const orvseam::ModeChange& restore = orvseam::ModeChanges()[1];
        EXPECT_EQ(restore.width, 0) << "a null mode restores the desktop";
        EXPECT_EQ(restore.height, 0);
        EXPECT_EQ(restore.flags, 0u);
    }
    DestroyWindow(w);
    orvseam::Reset();
}

}  // namespace
