#include "audio/wave_out_stream.h"

#include <cstdio>

namespace {

std::string Describe(const char* call, MMRESULT result) {
    char text[96];
    std::snprintf(text, sizeof(text), "%s failed (error %u)", call, (unsigned)result);
    return text;
}

DWORD FlagsOf(const WAVEHDR& h) {
    // The device sets the flags behind the program's back.
    return *(const volatile DWORD*)&h.dwFlags;
}

}  // namespace

bool WaveOutStream::Free(const WAVEHDR& h) {
    const DWORD flags = FlagsOf(h);
    return (flags & WHDR_INQUEUE) == 0 || (flags & WHDR_DONE) != 0;
}

bool WaveOutStream::Open(std::string* why) {
    if (device_ != nullptr) return true;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = kSampleRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = kSampleRate * 4;
    HWAVEOUT device = nullptr;
    const MMRESULT opened = waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL);
    if (opened != MMSYSERR_NOERROR) {
        *why = Describe("waveOutOpen", opened);
        return false;
    }
    device_ = device;
    tailData_ = new int16_t[2 * kSampleRate * kTailSeconds];
    for (int i = 0; i <= kMostBuffers; ++i) {
        WAVEHDR& h = i < kMostBuffers ? headers_[i] : tail_;
        h = WAVEHDR();
        h.lpData = i < kMostBuffers ? (LPSTR)data_[i] : (LPSTR)tailData_;
        h.dwBufferLength = i < kMostBuffers ? (DWORD)sizeof(data_[i])
                                        : (DWORD)(sizeof(int16_t) * 2 * kSampleRate * kTailSeconds);
        const MMRESULT prepared = waveOutPrepareHeader(device_, &h, sizeof(WAVEHDR));
        if (prepared != MMSYSERR_NOERROR) {
            *why = Describe("waveOutPrepareHeader", prepared);
            Close();
            return false;
        }
    }
    next_ = 0;
    target_ = kSteadyBuffers;
    calm_ = 0;
    primed_ = false;
    return true;
}

bool WaveOutStream::Write(WAVEHDR* header, std::string* why) {
    const MMRESULT written = waveOutWrite(device_, header, sizeof(WAVEHDR));
    if (written == MMSYSERR_NOERROR) return true;
    *why = Describe("waveOutWrite", written);
    Close();
    return false;
}

bool WaveOutStream::TopUp(Mixer& mixer, std::string* why) {
    if (device_ == nullptr) return true;
    const int queued = QueuedInRing();
    if (primed_ && queued == 0) {
        // Ran dry: this frame came too late for what was queued.
        target_ = kMostBuffers;
        calm_ = 0;
    } else if (queued < target_ - kSteadyBuffers) {
        calm_ = 0;  // nearer than 50 ms to running dry: late, if not too late
    } else if (target_ > kSteadyBuffers && calm_ >= kCalmToShrink) {
        --target_;
        calm_ = 0;
    }
    // Buffers finish in the order they were written, so the oldest is the next to refill.
    for (int n = queued; n < target_ && Free(headers_[next_]); ++n) {
        WAVEHDR& h = headers_[next_];
        mixer.Render(data_[next_], kFramesPerBuffer);
        h.dwBufferLength = (DWORD)sizeof(data_[next_]);
        if (!Write(&h, why)) return false;
        next_ = (next_ + 1) % kMostBuffers;
        primed_ = true;
        ++calm_;
    }
    return true;
}

bool WaveOutStream::PlayOut(Mixer& mixer, std::string* why) {
    if (device_ == nullptr || !Free(tail_)) return true;
    int frames = 0;
    const int most = kSampleRate * kTailSeconds;
    while (frames < most && mixer.ActiveVoices() > 0) {
        const int n = most - frames < kFramesPerBuffer ? most - frames : kFramesPerBuffer;
        mixer.Render(tailData_ + 2 * frames, n);
        frames += n;
    }
    if (frames == 0) return true;
    tail_.dwBufferLength = (DWORD)(sizeof(int16_t) * 2 * frames);
    return Write(&tail_, why);
}

int WaveOutStream::QueuedInRing() const {
    int n = 0;
    for (const WAVEHDR& h : headers_) n += Free(h) ? 0 : 1;
    return n;
}

int WaveOutStream::Queued() const {
    return QueuedInRing() + (device_ != nullptr && !Free(tail_) ? 1 : 0);
}

void WaveOutStream::Close() {
    if (device_ == nullptr) return;
    waveOutReset(device_);
    for (int i = 0; i <= kMostBuffers; ++i)
        waveOutUnprepareHeader(device_, i < kMostBuffers ? &headers_[i] : &tail_, sizeof(WAVEHDR));
    waveOutClose(device_);
    device_ = nullptr;
    delete[] tailData_;
    tailData_ = nullptr;
    for (WAVEHDR& h : headers_) h = WAVEHDR();
    tail_ = WAVEHDR();
}
