// The mixer's output to the Windows wave-out device: a ring of short buffers, refilled
// as the device finishes each one (polled through WHDR_DONE: no callbacks, no threads),
// so that at most kBuffers x kFramesPerBuffer samples (50 ms) wait in the device. A late
// frame lets the ring run dry for a moment instead of piling up sound to catch up with.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>
#include <string>

#include "audio/mixer.h"

class WaveOutStream {
public:
    static constexpr int kBuffers = 5;
    static constexpr int kFramesPerBuffer = kSampleRate / 100;  // 10 ms
    static constexpr int kTailSeconds = 2;

    WaveOutStream() = default;
    WaveOutStream(const WaveOutStream&) = delete;
    WaveOutStream& operator=(const WaveOutStream&) = delete;
    ~WaveOutStream() { Close(); }

    // 16-bit stereo at 44.1 kHz. False, with `why`, when the device cannot be had.
    bool Open(std::string* why);
    bool IsOpen() const { return device_ != nullptr; }

    // Renders into every buffer the device is done with and writes it, oldest first.
    // False, with `why`, when a write fails; the stream is then closed.
    bool TopUp(Mixer& mixer, std::string* why);
    // Writes, after what is queued, what the mixer's sounds still have to play (at most
    // kTailSeconds) in one piece: for a moment when the program stops refilling, such as
    // a box that waits for the player.
    bool PlayOut(Mixer& mixer, std::string* why);

    // Stops at once and lets the device go.
    void Close();

    // Buffers written and not yet played.
    int Queued() const;

private:
    bool Write(WAVEHDR* header, std::string* why);
    static bool Free(const WAVEHDR& h);

    HWAVEOUT device_ = nullptr;
    WAVEHDR headers_[kBuffers] = {};
    int16_t data_[kBuffers][2 * kFramesPerBuffer] = {};
    int next_ = 0;
    WAVEHDR tail_ = {};
    int16_t* tailData_ = nullptr;
};
