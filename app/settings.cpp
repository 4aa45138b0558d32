#include "app/settings.h"

#include <cstdio>

#include "config/config_file.h"

namespace {

// The largest window and viewport any GL driver is sure to handle; a size beyond it (or
// zero or negative) cannot make a usable window.
const int kLargestSide = 16384;

// Sensitivities beyond these are a slip of the keyboard rather than a wish.
const int kLeastSensitivity = 1;
const int kMostSensitivity = 1000;

}  // namespace

bool UsableWindowSide(int side) { return side > 0 && side <= kLargestSide; }

void ReadWindowSize(const char* fileName, int* width, int* height) {
    *width = 640;
    *height = 480;
    FILE* f = std::fopen(fileName, "r");
    if (f == nullptr) return;
    ConfigFile config;
    config.Parse(f);
    int w = 0, h = 0;
    if (config.GetInt("n_Width", &w) == 0 && config.GetInt("n_Height", &h) == 0 &&
        UsableWindowSide(w) && UsableWindowSide(h)) {
        *width = w;
        *height = h;
    }
    config.Clear();
    std::fclose(f);
}

bool ReadSoundOn(const char* fileName) {
    FILE* f = std::fopen(fileName, "r");
    if (f == nullptr) return true;
    ConfigFile config;
    config.Parse(f);
    int on = 1;
    if (config.GetInt("n_Sound", &on) != 0) on = 1;
    config.Clear();
    std::fclose(f);
    return on != 0;
}

SteeringSettings ReadSteeringSettings(const char* fileName) {
    SteeringSettings settings;
    FILE* f = std::fopen(fileName, "r");
    if (f == nullptr) return settings;
    ConfigFile config;
    config.Parse(f);
    int sensitivity = 0, invert = 0;
    if (config.GetInt("n_Sensitivity", &sensitivity) == 0 && sensitivity >= kLeastSensitivity &&
        sensitivity <= kMostSensitivity)
        settings.sensitivity = sensitivity;
    if (config.GetInt("n_InvertY", &invert) == 0) settings.invertY = invert != 0;
    config.Clear();
    std::fclose(f);
    return settings;
}
