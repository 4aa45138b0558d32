// A plain window for the stand-in's tests: its class (one per name, with the test's own
// procedure) is registered on first use, and the window is made of it.
#pragma once

#include <windows.h>

#include <cstring>

inline HWND MakeTestWindow(const char* className, WNDPROC proc, DWORD exStyle, DWORD style,
                           int x, int y, int width, int height) {
    WNDCLASSEXA wc;
    std::memset(&wc, 0, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.lpszClassName = className;
    RegisterClassExA(&wc);  // refused, harmlessly, once the class exists
    return CreateWindowExA(exStyle, className, "t", style, x, y, width, height, nullptr,
                           nullptr, nullptr, nullptr);
}
