// The stand-ins' windows and window classes: a class supplies the window procedure that
// message dispatch calls; a window lives on as a record after DestroyWindow.
#include <map>
#include <string>

#include "platform/standin/standin.h"

namespace orvstandin {
namespace {

std::map<std::string, WNDCLASSEXA>& Classes() {
    static std::map<std::string, WNDCLASSEXA> classes;
    return classes;
}

std::vector<Window*>& WindowList() {
    static std::vector<Window*>* windows = new std::vector<Window*>();
    return *windows;
}

}  // namespace

void AddWindow(Window* w) { WindowList().push_back(w); }

const std::vector<Window*>& Windows() { return WindowList(); }

Window* LatestWindow() {
    for (auto it = WindowList().rbegin(); it != WindowList().rend(); ++it)
        if (!(*it)->destroyed) return *it;
    return nullptr;
}

HWND StartWindow(Window* w, WNDPROC proc, DWORD style) {
    w->proc = proc;
    AddWindow(w);
    HWND handle = ToHandle(w);
    w->proc(handle, WM_CREATE, 0, 0);
    if (style & WS_VISIBLE) ShowWindow(handle, SW_SHOW);
    return handle;
}

bool EndWindow(HWND window) {
    Window* w = FromHandle(window);
    if (w == nullptr || w->destroyed) return false;
    w->proc(window, WM_DESTROY, 0, 0);
    w->proc(window, WM_NCDESTROY, 0, 0);
    w->destroyed = true;
    return true;
}

WORD RegisterWindowClass(const WNDCLASSEXA* wc) {
    if (wc == nullptr || wc->lpszClassName == nullptr || wc->lpfnWndProc == nullptr) return 0;
    if (wc->cbSize != sizeof(WNDCLASSEXA)) return 0;
    auto& classes = Classes();
    if (classes.count(wc->lpszClassName)) return 0;  // ERROR_CLASS_ALREADY_EXISTS
    classes[wc->lpszClassName] = *wc;
    return (WORD)(0xC000 + classes.size());
}

const WNDCLASSEXA* FindWindowClass(const char* name) {
    if (name == nullptr) return nullptr;
    auto it = Classes().find(name);
    return it == Classes().end() ? nullptr : &it->second;
}

}  // namespace orvstandin
