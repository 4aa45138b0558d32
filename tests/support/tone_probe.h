// Measuring rendered sound: the amplitude of one frequency in a stretch of samples (a
// single DFT bin, windowed), and the strongest frequency in a range. Enough to tell which
// note a sound plays without a full spectrum.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace tone {

// Interleaved 16-bit stereo to mono floats in -1..1.
inline std::vector<float> Mono(const int16_t* stereo, int frames) {
    std::vector<float> m((size_t)frames);
    for (int i = 0; i < frames; ++i)
        m[(size_t)i] = ((float)stereo[2 * i] + (float)stereo[2 * i + 1]) / (2.0f * 32767.0f);
    return m;
}

// Amplitude of a sine of `hz` in samples [start, start + n): a pure sine of amplitude A
// gives about A. Hann-windowed, so neighbouring notes leak little.
inline double Amplitude(const std::vector<float>& s, int rate, double hz, int start, int n) {
    double re = 0.0, im = 0.0, wsum = 0.0;
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < n && start + i < (int)s.size(); ++i) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * pi * i / n);
        const double a = 2.0 * pi * hz * (double)(start + i) / rate;
        re += w * s[(size_t)(start + i)] * std::cos(a);
        im += w * s[(size_t)(start + i)] * std::sin(a);
        wsum += w;
    }
    return wsum > 0.0 ? 2.0 * std::sqrt(re * re + im * im) / wsum : 0.0;
}

// The frequency in [lowHz, highHz] (in steps of stepHz) with the largest amplitude.
inline double Strongest(const std::vector<float>& s, int rate, double lowHz, double highHz,
                        double stepHz, int start, int n) {
    double best = lowHz, bestAmp = -1.0;
    for (double f = lowHz; f <= highHz; f += stepHz) {
        const double a = Amplitude(s, rate, f, start, n);
        if (a > bestAmp) {
            bestAmp = a;
            best = f;
        }
    }
    return best;
}

}  // namespace tone
