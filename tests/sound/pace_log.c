// The real pace of a game being watched, written down beside it for the sound check:
// preloaded into the game, it notes the monotonic clock at every frame presented
// (SDL_GL_SwapWindow) and at every pull of the audio device (the callback the wave-out
// stand-in gives SDL), with how many sample frames the device had taken before it. The
// sound check then knows, without listening, when each frame of the replay was drawn and
// which stretch of the disk writer's file was played at that moment.
//   ORV_PACE_FILE=FILE  lines "F <ns>" per frame, "A <ns> <sample frames before>" per pull
// Nothing of the game changes: both calls go on to SDL as before.
#define _GNU_SOURCE
#include <SDL.h>
#include <dlfcn.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static FILE* out;
static SDL_AudioCallback realCallback;
static int bytesPerFrame = 4;
static uint64_t taken;

static uint64_t Now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (uint64_t)t.tv_sec * 1000000000ull + (uint64_t)t.tv_nsec;
}

static FILE* Out(void) {
    if (out == NULL) {
        const char* path = getenv("ORV_PACE_FILE");
        if (path != NULL) out = fopen(path, "w");
    }
    return out;
}

void SDL_GL_SwapWindow(SDL_Window* window) {
    static void (*real)(SDL_Window*);
    if (real == NULL) real = (void (*)(SDL_Window*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    real(window);
    if (Out() != NULL) {
        fprintf(out, "F %llu\n", (unsigned long long)Now());
        fflush(out);
    }
}

static void SDLCALL Pull(void* userdata, Uint8* stream, int length) {
    if (Out() != NULL) {
        fprintf(out, "A %llu %llu\n", (unsigned long long)Now(), (unsigned long long)taken);
        fflush(out);
    }
    taken += (uint64_t)(length / bytesPerFrame);
    realCallback(userdata, stream, length);
}

SDL_AudioDeviceID SDL_OpenAudioDevice(const char* device, int iscapture, const SDL_AudioSpec* desired,
                                      SDL_AudioSpec* obtained, int allowed_changes) {
    static SDL_AudioDeviceID (*real)(const char*, int, const SDL_AudioSpec*, SDL_AudioSpec*, int);
    if (real == NULL)
        real = (SDL_AudioDeviceID(*)(const char*, int, const SDL_AudioSpec*, SDL_AudioSpec*, int))dlsym(
            RTLD_NEXT, "SDL_OpenAudioDevice");
    if (desired == NULL || desired->callback == NULL || iscapture)
        return real(device, iscapture, desired, obtained, allowed_changes);
    SDL_AudioSpec mine = *desired;
    realCallback = desired->callback;
    bytesPerFrame = (int)desired->channels * (int)(SDL_AUDIO_BITSIZE(desired->format) / 8);
    taken = 0;
    mine.callback = Pull;
    return real(device, iscapture, &mine, obtained, allowed_changes);
}
