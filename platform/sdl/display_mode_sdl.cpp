// ChangeDisplaySettingsA over SDL full-screen modes. A request for width x height succeeds
// only when the display really has that mode and ends up running at it; otherwise it
// reports a failure code, as Windows does (SDL on its own would quietly pick another
// mode). A null mode restores the desktop.
//
// On Windows a temporary (CDS_FULLSCREEN) change is undone when the process ends, however
// it ends. X keeps a mode after its client has gone, so the stand-in remembers the window
// that holds the mode and restores the desktop at exit if nobody did before.
#include <windows.h>

#include <cstdlib>

#include "platform/standin/replay_internal.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/sdl/seam_internal.h"

namespace {

bool DisplayHasMode(int display, int width, int height, SDL_DisplayMode* found) {
    int n = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < n; ++i) {
        SDL_DisplayMode m;
        if (SDL_GetDisplayMode(display, i, &m) == 0 && m.w == width && m.h == height) {
            *found = m;
            return true;
        }
    }
    return false;
}

// The depth a mode asks for, as recorded for tests.
int Bits(const DEVMODEA* mode) {
    return (mode != nullptr && (mode->dmFields & DM_BITSPERPEL)) ? (int)mode->dmBitsPerPel : 0;
}

LONG Record(const DEVMODEA* mode, int width, int height, unsigned flags, LONG result) {
    orvseam::RecordModeChange(width, height, Bits(mode), flags, result);
    return result;
}

// The window whose full-screen mode is in force. It may be destroyed already: the game
// destroys its window before it restores the desktop, and the mode is still its mode.
orvsdl::WindowRecord* g_modeHolder = nullptr;

void RestoreDesktop() {
    if (g_modeHolder == nullptr) return;
    SDL_SetWindowFullscreen(g_modeHolder->sdl, 0);
    g_modeHolder = nullptr;
}

void HoldMode(orvsdl::WindowRecord* w) {
    static bool registered = false;
    if (!registered) registered = std::atexit(RestoreDesktop) == 0;
    g_modeHolder = w;
}

}  // namespace

namespace orvsdl {
bool DisplayModeChanged() { return g_modeHolder != nullptr; }
}  // namespace orvsdl

using namespace orvsdl;

static LONG ChangeMode(DEVMODEA* mode, DWORD flags) {
    if (orvseam::EnterCall(orvseam::Call::ChangeDisplaySettings))
        return Record(mode, mode ? (int)mode->dmPelsWidth : 0, mode ? (int)mode->dmPelsHeight : 0,
                      flags, DISP_CHANGE_BADMODE);
    if (!EnsureVideo()) return Record(mode, 0, 0, flags, DISP_CHANGE_FAILED);

    if (mode == nullptr) {
        RestoreDesktop();
        return Record(mode, 0, 0, flags, DISP_CHANGE_SUCCESSFUL);
    }
    WindowRecord* w = LatestWindow();

    const int width = (mode->dmFields & DM_PELSWIDTH) ? (int)mode->dmPelsWidth : 0;
    const int height = (mode->dmFields & DM_PELSHEIGHT) ? (int)mode->dmPelsHeight : 0;
    if (mode->dmFields & DM_BITSPERPEL) {
        // SDL modes carry no depth choice beyond the desktop's; true colour is all we offer.
        if (mode->dmBitsPerPel != 32 && mode->dmBitsPerPel != 24)
            return Record(mode, width, height, flags, DISP_CHANGE_BADMODE);
    }
    // Full-screen modes need a window to show them on.
    if (w == nullptr) return Record(mode, width, height, flags, DISP_CHANGE_FAILED);

    int display = SDL_GetWindowDisplayIndex(w->sdl);
    if (display < 0) display = 0;
    SDL_DisplayMode wanted;
    if (!DisplayHasMode(display, width, height, &wanted))
        return Record(mode, width, height, flags, DISP_CHANGE_BADMODE);

    if (SDL_SetWindowDisplayMode(w->sdl, &wanted) != 0 ||
        SDL_SetWindowFullscreen(w->sdl, SDL_WINDOW_FULLSCREEN) != 0) {
        SDL_SetWindowFullscreen(w->sdl, 0);
        return Record(mode, width, height, flags, DISP_CHANGE_FAILED);
    }
    SDL_DisplayMode now;
    if (SDL_GetWindowDisplayMode(w->sdl, &now) != 0 || now.w != width || now.h != height) {
        SDL_SetWindowFullscreen(w->sdl, 0);
        return Record(mode, width, height, flags, DISP_CHANGE_FAILED);
    }
    HoldMode(w);
    return Record(mode, width, height, flags, DISP_CHANGE_SUCCESSFUL);
}

extern "C" LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    return orvreplay::OnDisplayMode(mode == nullptr, [&] { return ChangeMode(mode, flags); });
}
