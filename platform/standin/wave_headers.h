// What the stand-ins' wave-out devices share: the checks winmm makes on a format and a
// header, the header's flags (the device owns them while a header is queued; the program
// reads them without a lock, so they change with atomic operations), and the two calls
// that only touch a header.
#pragma once

#include <windows.h>

#include <mmsystem.h>

namespace orvstandin {

// MMSYSERR_NOERROR for what the stand-ins play: PCM, 8 or 16 bits, mono or stereo.
MMRESULT CheckWaveOpen(UINT deviceId, LPCWAVEFORMATEX format, DWORD flags);
bool UsableHeader(LPWAVEHDR header, UINT headerSize);
// The checks of waveOutWrite; on success the header is marked queued.
MMRESULT BeginWaveWrite(LPWAVEHDR header, UINT headerSize);
// The device has played all of it (or dropped it in a reset).
void FinishWaveHeader(WAVEHDR* header);

}  // namespace orvstandin
