// waveOut* over the page's Web Audio context. Each buffer written is scheduled to play
// right after the one before (or a little ahead of now, when the output ran dry) and is
// marked WHDR_DONE once the audio clock has passed its end; the stand-in looks at every
// pump, which the game's loop makes every frame. The page makes the audio context on the
// player's click (browsers allow sound only after a gesture); without one there is no
// driver. Nothing here is recorded or replayed: sound is output only.
#include <emscripten.h>

#include <deque>

#include "platform/standin/wave_headers.h"
#include "platform/web/web_internal.h"

namespace {

struct WaveOut {
    int id = 0;                   // the page's player
    std::deque<WAVEHDR*> queue;   // written, not yet played, in order
};

WaveOut* g_open = nullptr;  // the page has one output; the game opens one device

EM_JS(int, orvweb_audio_open, (int rate, int channels, int bits), {
    return Module.orvStandIn.audioOpen(rate, channels, bits);
});
EM_JS(void, orvweb_audio_write, (int id, const void* data, int bytes), {
    Module.orvStandIn.audioWrite(id, data, bytes);
});
// How many of the written buffers have played to their end.
EM_JS(int, orvweb_audio_played, (int id), { return Module.orvStandIn.audioPlayed(id); });
EM_JS(void, orvweb_audio_reset, (int id), { Module.orvStandIn.audioReset(id); });
EM_JS(void, orvweb_audio_close, (int id), { Module.orvStandIn.audioClose(id); });

WaveOut* FromHandle(HWAVEOUT device) { return reinterpret_cast<WaveOut*>(device); }

}  // namespace

namespace orvweb {

void FinishPlayedBuffers() {
    if (g_open == nullptr) return;
    for (int n = orvweb_audio_played(g_open->id); n > 0 && !g_open->queue.empty(); --n) {
        orvstandin::FinishWaveHeader(g_open->queue.front());
        g_open->queue.pop_front();
    }
}

}  // namespace orvweb

extern "C" {

MMRESULT waveOutOpen(LPHWAVEOUT device, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR,
                     DWORD_PTR, DWORD flags) {
    if (device == nullptr) return MMSYSERR_INVALPARAM;
    const MMRESULT usable = orvstandin::CheckWaveOpen(deviceId, format, flags);
    if (usable != MMSYSERR_NOERROR) return usable;
    if (g_open != nullptr) return MMSYSERR_ALLOCATED;
    const int id = orvweb_audio_open((int)format->nSamplesPerSec, (int)format->nChannels,
                                     (int)format->wBitsPerSample);
    if (id <= 0) return MMSYSERR_NODRIVER;
    g_open = new WaveOut();
    g_open->id = id;
    *device = reinterpret_cast<HWAVEOUT>(g_open);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutWrite(HWAVEOUT device, LPWAVEHDR header, UINT headerSize) {
    WaveOut* w = FromHandle(device);
    if (w == nullptr) return MMSYSERR_INVALHANDLE;
    const MMRESULT begun = orvstandin::BeginWaveWrite(header, headerSize);
    if (begun != MMSYSERR_NOERROR) return begun;
    if (header->dwBufferLength == 0) {
        orvstandin::FinishWaveHeader(header);
        return MMSYSERR_NOERROR;
    }
    orvweb::FinishPlayedBuffers();
    w->queue.push_back(header);
    orvweb_audio_write(w->id, header->lpData, (int)header->dwBufferLength);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutReset(HWAVEOUT device) {
    WaveOut* w = FromHandle(device);
    if (w == nullptr) return MMSYSERR_INVALHANDLE;
    orvweb_audio_reset(w->id);
    for (WAVEHDR* h : w->queue) orvstandin::FinishWaveHeader(h);
    w->queue.clear();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT device) {
    WaveOut* w = FromHandle(device);
    if (w == nullptr) return MMSYSERR_INVALHANDLE;
    orvweb::FinishPlayedBuffers();
    if (!w->queue.empty()) return WAVERR_STILLPLAYING;
    orvweb_audio_close(w->id);
    if (g_open == w) g_open = nullptr;
    delete w;
    return MMSYSERR_NOERROR;
}

}  // extern "C"
