// Code page 1250 text as UTF-16 for the wide Win32 calls, independent of the system's
// ANSI code page.
#pragma once

#include <vector>

// The text (null means empty) widened from code page 1250, with its terminating zero.
std::vector<wchar_t> Widen1250(const char* text);
