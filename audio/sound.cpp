#include "audio/sound.h"

#include <cstdio>
#include <string>

#include "audio/game_sound.h"
#include "audio/wave_out_stream.h"
#include "game/frame_driver.h"
#include "game/world.h"

namespace {

struct SoundSystem {
    GameSound sound;
    WaveOutStream stream;
};

SoundSystem* g_sound = nullptr;
// The player's choice outlives a device that failed: M works (and says so) either way.
bool g_muted = false;

void GiveUp(const std::string& why) {
    std::fprintf(stderr, "Orvendale: no sound: %s; playing on in silence.\n", why.c_str());
    std::fflush(stderr);
}

void Follow(SoundSystem& s) {
    s.sound.SetMuted(g_muted);
    s.sound.Follow(game, landscape, s.stream.Latency());
}

void Refill(SoundSystem& s) {
    std::string why;
    if (!s.stream.TopUp(s.sound.mixer(), &why)) GiveUp(why);
}

// The Game Over box holds the loop, so the fall goes to the device whole before it shows.
void BeforeGameOverBox() {
    if (g_sound == nullptr || !g_sound->stream.IsOpen()) return;
    Follow(*g_sound);
    Refill(*g_sound);
    std::string why;
    if (!g_sound->stream.PlayOut(g_sound->sound.mixer(), &why)) GiveUp(why);
}

}  // namespace

void OpenSound(bool wanted) {
    if (!wanted || g_sound != nullptr) return;
    SoundSystem* s = new SoundSystem();
    std::string why;
    if (!s->stream.Open(&why)) {
        GiveUp(why);
        delete s;
        return;
    }
    g_sound = s;
    beforeGameOverBox = BeforeGameOverBox;
}

void UpdateSound() {
    if (g_sound == nullptr || !g_sound->stream.IsOpen()) return;
    Follow(*g_sound);
    Refill(*g_sound);
}

void RestartSound() {
    if (g_sound == nullptr || !g_sound->stream.IsOpen()) return;
    g_sound->sound.Restart();
}

void PlayNewBestFigure() {
    if (g_sound == nullptr || !g_sound->stream.IsOpen() || g_muted) return;
    Mixer& mixer = g_sound->sound.mixer();
    PlayNewBestFigure(mixer);
    std::string why;
    if (!g_sound->stream.PlayOut(mixer, &why)) GiveUp(why);
}

void ToggleSoundMute() {
    g_muted = !g_muted;
}

bool SoundMuted() { return g_muted; }

void CloseSound() {
    if (g_sound == nullptr) return;
    beforeGameOverBox = nullptr;
    delete g_sound;
    g_sound = nullptr;
}
