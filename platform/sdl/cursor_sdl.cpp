// The cursor. ShowCursor keeps Windows' display counter (shown while it is 0 or more).
//
// While the cursor is hidden over a focused window the stand-in uses SDL's relative mouse
// mode: the pointer is captured, never wanders onto another monitor, and works the same on
// X11 and Wayland. GetCursorPos then reports the point of the last SetCursorPos plus the
// motion since, which is exactly what a re-centring game reads on Windows.
//
// Two rules of the Windows cursor hold here too. It never leaves the screen, so the
// motion one step can see ends at the screen's edge. And SetCursorPos moves it: when
// relative mode is off while the cursor is hidden (SDL has not given the window the
// keyboard focus), the real pointer is moved as well, or it would run into the screen's
// edge and the motion would stop coming.
#include <windows.h>

#include <algorithm>

#include "platform/standin/replay_internal.h"
#include "platform/sdl/sdl_internal.h"

namespace orvsdl {
namespace {

int g_showCount = 0;
bool g_relative = false;
bool g_suspended = false;
long g_virtualX = 0, g_virtualY = 0;

// The screen as the cursor knows it: every display's bounds together. False without one.
bool ScreenRect(SDL_Rect* screen) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    const int n = SDL_GetNumVideoDisplays();
    bool any = false;
    for (int i = 0; i < n; ++i) {
        SDL_Rect r;
        if (SDL_GetDisplayBounds(i, &r) != 0 || r.w <= 0 || r.h <= 0) continue;
        if (!any) *screen = r;
        else SDL_UnionRect(screen, &r, screen);
        any = true;
    }
    return any;
}

void ClampToScreen(long* x, long* y) {
    SDL_Rect screen;
    if (!ScreenRect(&screen)) return;
    *x = std::min(std::max(*x, (long)screen.x), (long)(screen.x + screen.w - 1));
    *y = std::min(std::max(*y, (long)screen.y), (long)(screen.y + screen.h - 1));
}

bool WantRelative() {
    if (g_showCount >= 0 || g_suspended) return false;
    SDL_Window* focus = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetKeyboardFocus() : nullptr;
    return focus != nullptr;
}

}  // namespace

int CurrentShowCount() { return g_showCount; }

void AddMouseMotion(int dx, int dy) {
    g_virtualX += dx;
    g_virtualY += dy;
    ClampToScreen(&g_virtualX, &g_virtualY);
}

void TakeMouseMotion(const SDL_MouseMotionEvent& motion) {
    SDL_Window* window = motion.windowID != 0 ? SDL_GetWindowFromID(motion.windowID) : nullptr;
    if (window == nullptr || SDL_GetRelativeMouseMode()) {
        AddMouseMotion(motion.xrel, motion.yrel);
        return;
    }
    // The pointer roams free: the event says where it is, which also makes the motion of
    // our own SetCursorPos land exactly on its point instead of counting as a move.
    int wx = 0, wy = 0;
    SDL_GetWindowPosition(window, &wx, &wy);
    g_virtualX = wx + motion.x;
    g_virtualY = wy + motion.y;
    ClampToScreen(&g_virtualX, &g_virtualY);
}

void ApplyCursorMode() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    bool want = WantRelative();
    if (want != g_relative) {
        // Relative mode can be refused (no focus yet, no pointer): the cursor is then
        // simply hidden and the motion events still arrive.
        SDL_SetRelativeMouseMode(want ? SDL_TRUE : SDL_FALSE);
        g_relative = want;
    }
    SDL_ShowCursor((g_showCount >= 0 || g_suspended) ? SDL_ENABLE : SDL_DISABLE);
}

void SuspendRelativeMouse() {
    g_suspended = true;
    ApplyCursorMode();
}

void ResumeRelativeMouse() {
    g_suspended = false;
    ApplyCursorMode();
}

}  // namespace orvsdl

using namespace orvsdl;

extern "C" {

int ShowCursor(BOOL show) {
    g_showCount += show ? 1 : -1;
    ApplyCursorMode();
    return g_showCount;
}

BOOL GetCursorPos(LPPOINT point) {
    if (point == nullptr) return FALSE;
    PumpEvents();
    if (g_showCount < 0 || !SDL_WasInit(SDL_INIT_VIDEO)) {
        point->x = (LONG)g_virtualX;
        point->y = (LONG)g_virtualY;
    } else {
        int x = 0, y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        point->x = x;
        point->y = y;
    }
    orvreplay::OnCursor(&point->x, &point->y);
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    PumpEvents();
    long cx = x, cy = y;
    ClampToScreen(&cx, &cy);
    g_virtualX = cx;
    g_virtualY = cy;
    // Captured in relative mode, the real pointer stays where SDL holds it; otherwise it is
    // moved, hidden or not.
    if (SDL_WasInit(SDL_INIT_VIDEO) && !SDL_GetRelativeMouseMode())
        SDL_WarpMouseGlobal((int)cx, (int)cy);
    return TRUE;
}

}  // extern "C"
