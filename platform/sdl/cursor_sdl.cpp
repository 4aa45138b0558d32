// The cursor. ShowCursor keeps Windows' display counter (shown while it is 0 or more).
//
// While the cursor is hidden over a focused window the stand-in uses SDL's relative mouse
// mode: the pointer is captured, never wanders onto another monitor, and works the same on
// X11 and Wayland. GetCursorPos then reports the point of the last SetCursorPos plus the
// motion since, which is exactly what a re-centring game reads on Windows.
#include <windows.h>

#include "platform/sdl/replay_internal.h"
#include "platform/sdl/sdl_internal.h"

namespace orvsdl {
namespace {

int g_showCount = 0;
bool g_relative = false;
bool g_suspended = false;
long g_virtualX = 0, g_virtualY = 0;

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
    g_virtualX = x;
    g_virtualY = y;
    // A hidden cursor is virtual: warping the real pointer would come back as motion.
    if (SDL_WasInit(SDL_INIT_VIDEO) && g_showCount >= 0) SDL_WarpMouseGlobal(x, y);
    return TRUE;
}

}  // extern "C"
