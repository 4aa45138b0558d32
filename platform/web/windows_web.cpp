// Window classes and windows in the page. The page has one canvas; a window is that
// canvas at the window's size in pixels (the page scales it to fill the browser's
// window), and its class supplies the window procedure that message dispatch calls.
#include <emscripten.h>

#include "platform/standin/replay_internal.h"
#include "platform/web/web_internal.h"

namespace {

EM_JS(void, orvweb_size_canvas, (int width, int height), {
    Module.orvStandIn.sizeCanvas(width, height);
});

// A window coming up in a page that has the focus gets the keyboard focus, as a new window
// on the desktop does; the message comes with the next pump, like every event.
EM_JS(void, orvweb_focus_if_page_has_it, (), {
    if (document.hasFocus()) Module.orvStandIn.events.push([6, 1, 0, 0]);
});

}  // namespace

using namespace orvweb;

extern "C" {

WORD RegisterClassExA(const WNDCLASSEXA* wc) { return orvstandin::RegisterWindowClass(wc); }

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR, DWORD style, int, int, int width,
                     int height, HWND, HMENU, HINSTANCE, LPVOID) {
    const WNDCLASSEXA* windowClass = orvstandin::FindWindowClass(className);
    if (windowClass == nullptr || width <= 0 || height <= 0) return nullptr;
    // One canvas, one window at a time.
    if (LatestWindow() != nullptr) return nullptr;
    WebWindow* w = new WebWindow();
    w->width = width;
    w->height = height;
    orvweb_size_canvas(width, height);
    WatchFrames();
    return orvstandin::StartWindow(w, windowClass->lpfnWndProc, style);
}

BOOL DestroyWindow(HWND window) { return orvstandin::EndWindow(window) ? TRUE : FALSE; }

BOOL ShowWindow(HWND window, int showCommand) {
    WebWindow* w = FromHandle(window);
    if (w == nullptr || w->destroyed) return FALSE;
    // The canvas is always on show.
    if (showCommand != SW_HIDE) orvweb_focus_if_page_has_it();
    return FALSE;
}

BOOL UpdateWindow(HWND window) {
    WebWindow* w = FromHandle(window);
    return w != nullptr && !w->destroyed ? TRUE : FALSE;
}

// The browser has no screen modes: its full screen is the page's button. A request for a
// mode fails, as on a desktop that has no such mode; restoring the desktop succeeds.
LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD) {
    return orvreplay::OnDisplayMode(mode == nullptr, [&] {
        return mode == nullptr ? (LONG)DISP_CHANGE_SUCCESSFUL : (LONG)DISP_CHANGE_FAILED;
    });
}

}  // extern "C"
