// Renders each of the game's sounds, and the drone at a few field mixes, to a 16-bit
// stereo WAV file, for listening to and looking at while choosing them:
//
//   render_sounds FOLDER
//   sox FOLDER/atom_chime.wav -n stat          # peak, RMS, length
//   sox FOLDER/atom_chime.wav -n spectrogram -o atom.png
//
// The game ships no sound files; these are not installed.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "audio/mixer.h"

namespace {

void Put32(std::FILE* f, uint32_t v) {
    const unsigned char b[4] = {(unsigned char)v, (unsigned char)(v >> 8), (unsigned char)(v >> 16),
                                (unsigned char)(v >> 24)};
    std::fwrite(b, 1, 4, f);
}
void Put16(std::FILE* f, uint16_t v) {
    const unsigned char b[2] = {(unsigned char)v, (unsigned char)(v >> 8)};
    std::fwrite(b, 1, 2, f);
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& stereo) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const uint32_t bytes = (uint32_t)(stereo.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    Put32(f, 36 + bytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    Put32(f, 16);
    Put16(f, 1);  // PCM
    Put16(f, 2);
    Put32(f, kSampleRate);
    Put32(f, kSampleRate * 4);
    Put16(f, 4);
    Put16(f, 16);
    std::fwrite("data", 1, 4, f);
    Put32(f, bytes);
    for (int16_t s : stereo) Put16(f, (uint16_t)s);
    return std::fclose(f) == 0;
}

std::vector<int16_t> Render(Mixer& m, float seconds) {
    std::vector<int16_t> out((size_t)(2 * (int)(seconds * kSampleRate)));
    m.Render(out.data(), (int)out.size() / 2);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_sounds FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    const struct {
        Sound sound;
        const char* name;
    } sounds[] = {
        {Sound::Tick, "tick"},
        {Sound::SlideSweep, "slide_sweep"},
        {Sound::AtomChime, "atom_chime"},
        {Sound::FlowerChime, "flower_chime"},
        {Sound::FractalChime, "fractal_chime"},
        {Sound::MeterWarning, "meter_warning"},
        {Sound::HeartLub, "heart_lub"},
        {Sound::HeartDub, "heart_dub"},
        {Sound::GameOverFall, "game_over_fall"},
    };
    bool ok = true;
    for (const auto& s : sounds) {
        Mixer m;
        m.Play(s.sound);
        ok = WriteWav(dir + "/" + s.name + ".wav", Render(m, ShapeOf(s.sound).seconds + 0.05f)) && ok;
    }
    // The drone moving from one source to the next, a second each, then thinning out.
    Mixer m;
    std::vector<int16_t> drone;
    const float mixes[5][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}, {0.25f, 0.25f, 0.25f, 0.25f}};
    for (int i = 0; i < 5; ++i) {
        m.drone().SetTarget(mixes[i], i < 4 ? 1.0f : 0.2f);
        const std::vector<int16_t> part = Render(m, 1.0f);
        drone.insert(drone.end(), part.begin(), part.end());
    }
    ok = WriteWav(dir + "/drone.wav", drone) && ok;
    // A busy moment: a catch over the drone while a meter is full and the heart beats.
    Mixer busy;
    busy.drone().SetTarget(mixes[4], 0.9f);
    busy.Play(Sound::FractalChime, kSampleRate / 4);
    busy.Play(Sound::MeterWarning);
    busy.Play(Sound::HeartLub, kSampleRate / 10);
    busy.Play(Sound::HeartDub, kSampleRate / 10 + (int)(0.16f * kSampleRate));
    ok = WriteWav(dir + "/busy_moment.wav", Render(busy, 1.0f)) && ok;
    if (!ok) std::fprintf(stderr, "render_sounds: could not write into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
