// GDI device contexts and WGL rendering contexts over SDL's OpenGL support. The context
// is a legacy (compatibility) one: the game draws in OpenGL 1.1 immediate mode.
#include <windows.h>

#include "platform/sdl/sdl_internal.h"
#include "platform/sdl/seam_internal.h"

using namespace orvsdl;

namespace {
ContextRecord* g_current = nullptr;

bool Live(WindowRecord* w) { return w != nullptr && !w->destroyed; }
}  // namespace

extern "C" {

HDC GetDC(HWND window) {
    if (orvseam::EnterCall(orvseam::Call::GetDC)) return nullptr;
    WindowRecord* w = FromHandle(window);
    if (!Live(w)) return nullptr;
    w->hasDc = true;
    return ToDc(w);
}

int ReleaseDC(HWND window, HDC dc) {
    if (orvseam::EnterCall(orvseam::Call::ReleaseDC)) return 0;
    WindowRecord* w = FromHandle(window);
    // A destroyed window has already taken its device context with it.
    if (!Live(w) || FromDc(dc) != w || !w->hasDc) return 0;
    w->hasDc = false;
    return 1;
}

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd) {
    if (orvseam::EnterCall(orvseam::Call::ChoosePixelFormat)) return 0;
    WindowRecord* w = FromDc(dc);
    if (!Live(w) || pfd == nullptr) return 0;
    // One format per window: double-buffered RGBA with the deepest depth buffer the
    // driver has (chosen when the window was made). Colour-index requests have no match.
    if (pfd->iPixelType != PFD_TYPE_RGBA) return 0;
    if (!(pfd->dwFlags & PFD_SUPPORT_OPENGL)) return 0;
    return 1;
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
    if (orvseam::EnterCall(orvseam::Call::SetPixelFormat)) return FALSE;
    WindowRecord* w = FromDc(dc);
    if (!Live(w) || format != 1) return FALSE;
    w->pixelFormatSet = true;
    return TRUE;
}

HGLRC wglCreateContext(HDC dc) {
    if (orvseam::EnterCall(orvseam::Call::wglCreateContext)) return nullptr;
    WindowRecord* w = FromDc(dc);
    if (!Live(w) || !w->pixelFormatSet) return nullptr;
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous = SDL_GL_GetCurrentContext();
    SDL_GLContext context = SDL_GL_CreateContext(w->sdl);
    if (context == nullptr) return nullptr;
    // The swap interval is left as the driver and the desktop set it, as wglCreateContext
    // does: with vertical sync the game runs at the display's refresh rate, the pace its
    // per-step steering was made for. Whoever wants frames as fast as they come says so in
    // the driver's own way (Mesa: vblank_mode=0 in the environment).
    // Unlike SDL, wglCreateContext does not make the new context current.
    SDL_GL_MakeCurrent(previousWindow, previous);
    ContextRecord* rc = new ContextRecord();
    rc->context = context;
    rc->window = w;
    return reinterpret_cast<HGLRC>(rc);
}

BOOL wglMakeCurrent(HDC dc, HGLRC context) {
    if (orvseam::EnterCall(orvseam::Call::wglMakeCurrent)) return FALSE;
    ContextRecord* rc = reinterpret_cast<ContextRecord*>(context);
    if (rc == nullptr) {
        if (g_current != nullptr) SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr);
        g_current = nullptr;
        return TRUE;
    }
    WindowRecord* w = FromDc(dc);
    if (!Live(w)) return FALSE;
    if (SDL_GL_MakeCurrent(w->sdl, rc->context) != 0) return FALSE;
    g_current = rc;
    return TRUE;
}

BOOL wglDeleteContext(HGLRC context) {
    if (orvseam::EnterCall(orvseam::Call::wglDeleteContext)) return FALSE;
    ContextRecord* rc = reinterpret_cast<ContextRecord*>(context);
    if (rc == nullptr) return FALSE;
    if (g_current == rc) {
        SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr);
        g_current = nullptr;
    }
    SDL_GL_DeleteContext(rc->context);
    delete rc;
    return TRUE;
}

BOOL SwapBuffers(HDC dc) {
    WindowRecord* w = FromDc(dc);
    if (!Live(w)) return FALSE;
    SDL_GL_SwapWindow(w->sdl);
    return TRUE;
}

}  // extern "C"
