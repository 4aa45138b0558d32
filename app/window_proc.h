// The main window's procedure: focus in and out, Escape, and the close that ends the loop.
#pragma once

#include <windows.h>

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
