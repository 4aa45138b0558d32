// The mixer's output to the Windows wave-out device: a ring of short buffers, refilled
// as the device finishes each one (polled through WHDR_DONE: no callbacks, no threads).
// Normally kSteadyBuffers x kFramesPerBuffer samples (50 ms) wait in the device, so a
// sound follows the game closely. A frame later than that lets the device run dry: the
// stream then keeps up to kMostBuffers (150 ms) queued, enough for a machine that is
// busy now and then, and comes back down a buffer a second while frames are in time
// again (a frame is in time while the device never got within 50 ms of running dry). It
// never piles up the sound of a whole gap to catch up with.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>
#include <string>

#include "audio/mixer.h"

class WaveOutStream {
public:
    static constexpr int kSteadyBuffers = 5;
    static constexpr int kMostBuffers = 15;
    static constexpr int kFramesPerBuffer = kSampleRate / 100;  // 10 ms
    static constexpr int kCalmToShrink = 100;  // buffers written in time before one fewer
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
    // How many buffers the stream keeps queued now, and as seconds of sound: how long a
    // sound started now waits before it is heard.
    int Target() const { return target_; }
    float Latency() const { return (float)(target_ * kFramesPerBuffer) / (float)kSampleRate; }

private:
    bool Write(WAVEHDR* header, std::string* why);
    static bool Free(const WAVEHDR& h);

    HWAVEOUT device_ = nullptr;
    int QueuedInRing() const;

    WAVEHDR headers_[kMostBuffers] = {};
    int16_t data_[kMostBuffers][2 * kFramesPerBuffer] = {};
    int next_ = 0;
    int target_ = kSteadyBuffers;
    int calm_ = 0;         // buffers written since a frame was last late
    bool primed_ = false;  // something was written: an empty ring now means it ran dry
    WAVEHDR tail_ = {};
    int16_t* tailData_ = nullptr;
};
