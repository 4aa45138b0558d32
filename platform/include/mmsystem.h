// Stand-in for <mmsystem.h>: the waveform-audio output calls the game makes, with the
// real names, types, constants and structure layouts of a 64-bit Windows. Include it
// after <windows.h>, as on Windows. platform/sdl/wave_out_sdl.cpp implements it over
// SDL's audio queue.
#pragma once
#ifndef ORV_STANDIN_MMSYSTEM_H
#define ORV_STANDIN_MMSYSTEM_H

#include <windows.h>

typedef UINT MMRESULT;
typedef ULONG_PTR DWORD_PTR;

struct HWAVEOUT__ { int unused; };
typedef struct HWAVEOUT__* HWAVEOUT;
typedef HWAVEOUT* LPHWAVEOUT;

#pragma pack(push, 1)
typedef struct tWAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
} WAVEFORMATEX, *LPWAVEFORMATEX;
#pragma pack(pop)
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;

typedef struct wavehdr_tag {
    LPSTR lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD dwLoops;
    struct wavehdr_tag* lpNext;
    DWORD_PTR reserved;
} WAVEHDR, *LPWAVEHDR;

#define WAVE_MAPPER ((UINT)-1)
#define WAVE_FORMAT_PCM 1
#define CALLBACK_NULL 0x00000000L

#define WHDR_DONE 0x00000001
#define WHDR_PREPARED 0x00000002
#define WHDR_BEGINLOOP 0x00000004
#define WHDR_ENDLOOP 0x00000008
#define WHDR_INQUEUE 0x00000010

#define MMSYSERR_NOERROR 0
#define MMSYSERR_ERROR 1
#define MMSYSERR_BADDEVICEID 2
#define MMSYSERR_NOTENABLED 3
#define MMSYSERR_ALLOCATED 4
#define MMSYSERR_INVALHANDLE 5
#define MMSYSERR_NODRIVER 6
#define MMSYSERR_NOMEM 7
#define MMSYSERR_INVALFLAG 10
#define MMSYSERR_INVALPARAM 11
#define WAVERR_BADFORMAT 32
#define WAVERR_STILLPLAYING 33
#define WAVERR_UNPREPARED 34

#ifdef __cplusplus
extern "C" {
#endif

// Only CALLBACK_NULL: the caller polls WHDR_DONE.
MMRESULT waveOutOpen(LPHWAVEOUT device, UINT deviceId, LPCWAVEFORMATEX format,
                     DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
MMRESULT waveOutPrepareHeader(HWAVEOUT device, LPWAVEHDR header, UINT headerSize);
MMRESULT waveOutUnprepareHeader(HWAVEOUT device, LPWAVEHDR header, UINT headerSize);
MMRESULT waveOutWrite(HWAVEOUT device, LPWAVEHDR header, UINT headerSize);
MMRESULT waveOutReset(HWAVEOUT device);
MMRESULT waveOutClose(HWAVEOUT device);

#ifdef __cplusplus
}
#endif

#endif
