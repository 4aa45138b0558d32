// Message boxes whose texts are Windows-1250 bytes (the game's Czech texts).
//
// MessageBoxA shows its bytes in the system's ANSI code page, which is 1250 only on
// Central European Windows. This shows them as code page 1250 everywhere: on Windows it
// converts with MultiByteToWideChar and calls MessageBoxW; the stand-in layer's
// MessageBoxA already reads its texts as 1250.
#pragma once

#include <windows.h>

int MessageBox1250(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
