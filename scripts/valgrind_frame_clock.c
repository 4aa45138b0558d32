// The frame clock for running the game under valgrind: SDL's performance counter as the
// game reads it, moved on by 1/60 s at every SwapBuffers (under valgrind a frame takes
// about a second, and on the wall clock the game would see one long frame and run out of
// energy at once); the number of frames presented goes to the file ORV_FRAME_FILE names.
// Built by scripts/valgrind.sh as a library preloaded into the game; nothing of the game
// changes.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

static uint64_t presented;
static uint64_t start;

uint64_t SDL_GetPerformanceFrequency(void) { return 1000000000ull; }

uint64_t SDL_GetPerformanceCounter(void) {
    if (start == 0) start = 1000000000ull;
    return start + presented * 1000000000ull / 60ull;
}

void SDL_GL_SwapWindow(void* window) {
    static void (*real)(void*);
    if (real == NULL) real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    real(window);
    ++presented;
    const char* path = getenv("ORV_FRAME_FILE");
    FILE* f = path != NULL ? fopen(path, "w") : NULL;
    if (f != NULL) {
        fprintf(f, "%llu\n", (unsigned long long)presented);
        fclose(f);
    }
}
