#include "platform/standin/wave_headers.h"

namespace orvstandin {
namespace {

void SetFlags(WAVEHDR* h, DWORD bits) { __atomic_fetch_or(&h->dwFlags, bits, __ATOMIC_RELEASE); }
void ClearFlags(WAVEHDR* h, DWORD bits) {
    __atomic_fetch_and(&h->dwFlags, ~bits, __ATOMIC_RELEASE);
}

}  // namespace

MMRESULT CheckWaveOpen(UINT deviceId, LPCWAVEFORMATEX format, DWORD flags) {
    if (format == nullptr) return MMSYSERR_INVALPARAM;
    if (flags != CALLBACK_NULL) return MMSYSERR_INVALFLAG;
    if (deviceId != WAVE_MAPPER && deviceId != 0) return MMSYSERR_BADDEVICEID;
    const WORD bits = format->wBitsPerSample;
    if (format->wFormatTag != WAVE_FORMAT_PCM || (bits != 8 && bits != 16) ||
        format->nChannels < 1 || format->nChannels > 2 || format->nSamplesPerSec == 0 ||
        format->nBlockAlign != format->nChannels * bits / 8)
        return WAVERR_BADFORMAT;
    return MMSYSERR_NOERROR;
}

bool UsableHeader(LPWAVEHDR header, UINT headerSize) {
    return header != nullptr && headerSize >= sizeof(WAVEHDR) && header->lpData != nullptr;
}

MMRESULT BeginWaveWrite(LPWAVEHDR header, UINT headerSize) {
    if (!UsableHeader(header, headerSize)) return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (header->dwFlags & WHDR_INQUEUE) return MMSYSERR_INVALPARAM;
    ClearFlags(header, WHDR_DONE);
    SetFlags(header, WHDR_INQUEUE);
    return MMSYSERR_NOERROR;
}

void FinishWaveHeader(WAVEHDR* header) {
    ClearFlags(header, WHDR_INQUEUE);
    SetFlags(header, WHDR_DONE);
}

}  // namespace orvstandin

extern "C" {

MMRESULT waveOutPrepareHeader(HWAVEOUT device, LPWAVEHDR header, UINT headerSize) {
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (!orvstandin::UsableHeader(header, headerSize)) return MMSYSERR_INVALPARAM;
    __atomic_fetch_or(&header->dwFlags, (DWORD)WHDR_PREPARED, __ATOMIC_RELEASE);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT device, LPWAVEHDR header, UINT headerSize) {
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (!orvstandin::UsableHeader(header, headerSize)) return MMSYSERR_INVALPARAM;
    if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    __atomic_fetch_and(&header->dwFlags, ~(DWORD)WHDR_PREPARED, __ATOMIC_RELEASE);
    return MMSYSERR_NOERROR;
}

}  // extern "C"
