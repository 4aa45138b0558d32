// The window size from the settings file.
#pragma once

// Reads the window size from the settings file; both keys or neither, else 640 x 480.
// Sizes that cannot make a window also fall back to 640 x 480.
void ReadWindowSize(const char* fileName, int* width, int* height);

// Whether a window side (width or height) can make a usable window: 1 to 16384.
bool UsableWindowSide(int side);
// Whether the game plays sound: the optional key n_Sound (0 off); on when the key or the
// file is missing.
bool ReadSoundOn(const char* fileName);

// The steering's settings, for mouse and pad alike: n_Sensitivity, percent of the
// movement that steers (1 to 1000; 100, the steering as it was made, without the key or
// with a value out of range), and n_InvertY (not 0: up steers down).
struct SteeringSettings {
    int sensitivity = 100;
    bool invertY = false;
};
SteeringSettings ReadSteeringSettings(const char* fileName);
