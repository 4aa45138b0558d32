// Window classes and windows over SDL. A window is an SDL window with an OpenGL-capable
// surface (the game only ever renders with GL into its window); its class supplies the
// window procedure that message dispatch calls.
#include <windows.h>

#include "platform/sdl/sdl_internal.h"
#include "platform/sdl/seam_internal.h"

namespace orvsdl {
namespace {

bool g_videoUp = false;
bool g_videoFailed = false;  // asked once: a display does not appear later
bool g_eventsUp = false;

// Creates the SDL window with the deepest depth buffer the GL driver offers, which is what
// ChoosePixelFormat on Windows gives a request for 32 depth bits.
SDL_Window* CreateGlWindow(const char* title, int x, int y, int w, int h, Uint32 flags,
                           int* depthBits) {
    static const int kDepths[] = {32, 24, 16, 0};
    for (int depth : kDepths) {
        SDL_GL_ResetAttributes();
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        SDL_Window* win = SDL_CreateWindow(title, x, y, w, h, flags);
        if (win != nullptr) {
            *depthBits = depth;
            return win;
        }
    }
    return nullptr;
}

}  // namespace

bool EnsureEvents() {
    if (g_eventsUp) return true;
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) return false;
    g_eventsUp = true;
    return true;
}

bool EnsureVideo() {
    if (g_videoUp) return true;
    if (g_videoFailed) return false;
    g_videoFailed = true;
    // A closed window is the game's business (WM_CLOSE), not a reason for SDL to quit.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    // Without a desktop SDL falls back to drivers that show nothing to anybody; unless
    // asked for by name, that is no display at all.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* wanted = SDL_getenv("SDL_VIDEODRIVER");
    if (driver != nullptr &&
        (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0) &&
        (wanted == nullptr || SDL_strcasecmp(wanted, driver) != 0)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_SetError("no display is available");
        return false;
    }
    EnsureEvents();
    g_videoFailed = false;
    g_videoUp = true;
    return true;
}

WindowRecord* FindBySdlId(Uint32 id) {
    for (orvstandin::Window* base : orvstandin::Windows()) {
        WindowRecord* w = static_cast<WindowRecord*>(base);
        if (!w->destroyed && w->sdlId == id) return w;
    }
    return nullptr;
}

}  // namespace orvsdl

using namespace orvsdl;

extern "C" {

WORD RegisterClassExA(const WNDCLASSEXA* wc) {
    if (orvseam::EnterCall(orvseam::Call::RegisterClassEx)) return 0;
    return orvstandin::RegisterWindowClass(wc);
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND, HMENU, HINSTANCE, LPVOID) {
    if (orvseam::EnterCall(orvseam::Call::CreateWindowEx)) return nullptr;
    const WNDCLASSEXA* windowClass = orvstandin::FindWindowClass(className);
    if (windowClass == nullptr) return nullptr;
    if (width <= 0 || height <= 0) return nullptr;
    if (!EnsureVideo()) return nullptr;

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (style & WS_POPUP) flags |= SDL_WINDOW_BORDERLESS;
    if (exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;

    WindowRecord* w = new WindowRecord();
    w->sdl = CreateGlWindow(windowName ? windowName : "", x, y, width, height, flags,
                            &w->depthBits);
    if (w->sdl == nullptr) {
        delete w;
        return nullptr;
    }
    w->sdlId = SDL_GetWindowID(w->sdl);
    return orvstandin::StartWindow(w, windowClass->lpfnWndProc, style);
}

BOOL DestroyWindow(HWND window) {
    if (!orvstandin::EndWindow(window)) return FALSE;
    WindowRecord* w = FromHandle(window);
    // The SDL window is hidden rather than freed: a GL context made on it may still be
    // current, and the game releases it only after its loop has ended.
    SDL_HideWindow(w->sdl);
    ApplyCursorMode();
    return TRUE;
}

BOOL ShowWindow(HWND window, int showCommand) {
    WindowRecord* w = FromHandle(window);
    if (w == nullptr || w->destroyed) return FALSE;
    bool wasVisible = (SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_SHOWN) != 0;
    if (showCommand == SW_HIDE) {
        SDL_HideWindow(w->sdl);
    } else {
        SDL_ShowWindow(w->sdl);
        SDL_RaiseWindow(w->sdl);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
    WindowRecord* w = FromHandle(window);
    if (w == nullptr || w->destroyed) return FALSE;
    SDL_PumpEvents();
    return TRUE;
}

}  // extern "C"
