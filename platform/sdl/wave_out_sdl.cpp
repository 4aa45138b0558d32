// waveOut* over SDL's audio device. As with winmm, the buffers a program writes play one
// after the other in the background and each is marked WHDR_DONE when the device has
// taken all of it; the program polls that flag. SDL's audio thread plays the part of the
// driver: its callback copies from the queued headers and, when nothing is queued, plays
// silence. Nothing here is recorded or replayed: sound is output only.
#include <windows.h>

#include <mmsystem.h>

#include <SDL.h>

#include <cstring>
#include <deque>

#include "platform/standin/wave_headers.h"

namespace {

struct WaveOut {
    SDL_AudioDeviceID device = 0;
    int silence = 0;                 // the byte value of silence in the device's format
    std::deque<WAVEHDR*> queue;      // written, not yet fully played; guarded by the device lock
    DWORD offset = 0;                // bytes of queue.front() already played
};

using orvstandin::FinishWaveHeader;

void SDLCALL Play(void* userdata, Uint8* stream, int length) {
    WaveOut* w = static_cast<WaveOut*>(userdata);
    while (length > 0 && !w->queue.empty()) {
        WAVEHDR* h = w->queue.front();
        const DWORD left = h->dwBufferLength - w->offset;
        const DWORD take = left < (DWORD)length ? left : (DWORD)length;
        std::memcpy(stream, h->lpData + w->offset, take);
        stream += take;
        length -= (int)take;
        w->offset += take;
        if (w->offset == h->dwBufferLength) {
            w->queue.pop_front();
            w->offset = 0;
            FinishWaveHeader(h);
        }
    }
    if (length > 0) std::memset(stream, w->silence, (size_t)length);
}

WaveOut* FromHandle(HWAVEOUT device) { return reinterpret_cast<WaveOut*>(device); }

}  // namespace

extern "C" {

MMRESULT waveOutOpen(LPHWAVEOUT device, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR,
                     DWORD_PTR, DWORD flags) {
    if (device == nullptr) return MMSYSERR_INVALPARAM;
    const MMRESULT usable = orvstandin::CheckWaveOpen(deviceId, format, flags);
    if (usable != MMSYSERR_NOERROR) return usable;
    const WORD bits = format->wBitsPerSample;
    // Each open device holds the audio subsystem up; the last close lets it go.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return MMSYSERR_NODRIVER;

    WaveOut* w = new WaveOut();
    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = (int)format->nSamplesPerSec;
    want.format = bits == 16 ? AUDIO_S16LSB : AUDIO_U8;
    want.channels = (Uint8)format->nChannels;
    // A hundredth of a second per pull: a whole number of milliseconds, so that a device
    // paced by sleeping (SDL's disk writer) keeps time with the clock.
    want.samples = (Uint16)(format->nSamplesPerSec / 100 > 0 ? format->nSamplesPerSec / 100 : 1);
    want.callback = Play;
    want.userdata = w;
    w->silence = bits == 16 ? 0 : 0x80;
    w->device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (w->device == 0) {
        delete w;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return MMSYSERR_NODRIVER;
    }
    SDL_PauseAudioDevice(w->device, 0);
    *device = reinterpret_cast<HWAVEOUT>(w);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutWrite(HWAVEOUT device, LPWAVEHDR header, UINT headerSize) {
    WaveOut* w = FromHandle(device);
    if (w == nullptr) return MMSYSERR_INVALHANDLE;
    const MMRESULT begun = orvstandin::BeginWaveWrite(header, headerSize);
    if (begun != MMSYSERR_NOERROR) return begun;
    SDL_LockAudioDevice(w->device);
    if (header->dwBufferLength == 0) {
        FinishWaveHeader(header);
    } else {
        w->queue.push_back(header);
    }
    SDL_UnlockAudioDevice(w->device);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutReset(HWAVEOUT device) {
    WaveOut* w = FromHandle(device);
    if (w == nullptr) return MMSYSERR_INVALHANDLE;
    SDL_LockAudioDevice(w->device);
    for (WAVEHDR* h : w->queue) FinishWaveHeader(h);
    w->queue.clear();
    w->offset = 0;
    SDL_UnlockAudioDevice(w->device);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT device) {
    WaveOut* w = FromHandle(device);
    if (w == nullptr) return MMSYSERR_INVALHANDLE;
    SDL_LockAudioDevice(w->device);
    const bool playing = !w->queue.empty();
    SDL_UnlockAudioDevice(w->device);
    if (playing) return WAVERR_STILLPLAYING;
    SDL_CloseAudioDevice(w->device);
    delete w;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return MMSYSERR_NOERROR;
}

}  // extern "C"
