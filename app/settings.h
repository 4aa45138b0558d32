// The window size from the settings file.
#pragma once

// Reads the window size from the settings file; both keys or neither, else 640 x 480.
// Sizes that cannot make a window also fall back to 640 x 480.
void ReadWindowSize(const char* fileName, int* width, int* height);

// Whether the game plays sound: the optional key n_Sound (0 off); on when the key or the
// file is missing.
bool ReadSoundOn(const char* fileName);
