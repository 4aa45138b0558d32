// GDI device contexts and WGL rendering contexts in the page: the rendering context is a
// WebGL 1 context on the canvas, and the game's GL 1.1 calls are drawn on it by
// platform/web/gl. SwapBuffers ends the frame: the browser shows the picture and the game
// goes on at its next animation frame.
#include <emscripten.h>
#include <emscripten/html5.h>

#include "platform/web/gl/webgl_context.h"
#include "platform/web/web_internal.h"

using namespace orvweb;

namespace {

struct WebContext {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = 0;
    WebWindow* window = nullptr;
};

WebContext* g_current = nullptr;

bool Live(WebWindow* w) { return w != nullptr && !w->destroyed; }

EM_ASYNC_JS(void, orvweb_next_frame, (), { await Module.orvStandIn.nextFrame(); });

}  // namespace

extern "C" {

HDC GetDC(HWND window) {
    WebWindow* w = FromHandle(window);
    if (!Live(w)) return nullptr;
    w->hasDc = true;
    return ToDc(w);
}

int ReleaseDC(HWND window, HDC dc) {
    WebWindow* w = FromHandle(window);
    if (!Live(w) || FromDc(dc) != w || !w->hasDc) return 0;
    w->hasDc = false;
    return 1;
}

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd) {
    WebWindow* w = FromDc(dc);
    if (!Live(w) || pfd == nullptr) return 0;
    // One format: double-buffered RGBA with a depth buffer, as WebGL gives it.
    if (pfd->iPixelType != PFD_TYPE_RGBA || !(pfd->dwFlags & PFD_SUPPORT_OPENGL)) return 0;
    return 1;
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
    WebWindow* w = FromDc(dc);
    if (!Live(w) || format != 1) return FALSE;
    w->pixelFormatSet = true;
    return TRUE;
}

HGLRC wglCreateContext(HDC dc) {
    WebWindow* w = FromDc(dc);
    if (!Live(w) || !w->pixelFormatSet) return nullptr;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    attributes.alpha = false;
    attributes.depth = true;
    attributes.stencil = false;
    attributes.antialias = false;
    // The results are drawn over the last picture, read back after it was shown.
    attributes.preserveDrawingBuffer = true;
    attributes.failIfMajorPerformanceCaveat = false;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle =
        emscripten_webgl_create_context("#canvas", &attributes);
    if (handle <= 0) return nullptr;
    WebContext* c = new WebContext();
    c->handle = handle;
    c->window = w;
    return reinterpret_cast<HGLRC>(c);
}

BOOL wglMakeCurrent(HDC dc, HGLRC context) {
    WebContext* c = reinterpret_cast<WebContext*>(context);
    if (c == nullptr) {
        emscripten_webgl_make_context_current(0);
        g_current = nullptr;
        return TRUE;
    }
    if (FromDc(dc) != c->window || !Live(c->window)) return FALSE;
    if (emscripten_webgl_make_context_current(c->handle) != EMSCRIPTEN_RESULT_SUCCESS)
        return FALSE;
    g_current = c;
    // The game's GL starts afresh on the context, with the window's size as its viewport.
    OrvGlContextMadeCurrent(c->window->width, c->window->height);
    return TRUE;
}

BOOL wglDeleteContext(HGLRC context) {
    WebContext* c = reinterpret_cast<WebContext*>(context);
    if (c == nullptr) return FALSE;
    if (g_current == c) wglMakeCurrent(nullptr, nullptr);
    emscripten_webgl_destroy_context(c->handle);
    delete c;
    return TRUE;
}

BOOL SwapBuffers(HDC dc) {
    WebWindow* w = FromDc(dc);
    if (!Live(w) || g_current == nullptr || g_current->window != w) return FALSE;
    orvweb_next_frame();
    return TRUE;
}

}  // extern "C"
