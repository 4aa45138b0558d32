// The window size from the settings file.
#pragma once

// Reads the window size from the settings file; both keys or neither, else 640 x 480.
// Sizes that cannot make a window also fall back to 640 x 480.
void ReadWindowSize(const char* fileName, int* width, int* height);
