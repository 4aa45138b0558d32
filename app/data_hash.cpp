// The hash of the data files a replay was made with: a replay made with other fonts or
// another ship model still runs, but its pictures and perhaps its play differ, so the
// player is warned.
#include <cstdio>
#include <cstring>

#include "app/replay_session.h"

namespace {

// The files the start-up loads (the settings only size the window, which the replay
// file holds itself).
const char* const kDataFiles[] = {"font.txt", "font_vimra.tga", "font_tech.tga",
                                  "crfighter.3ds"};

const uint64_t kFnvOffset = 14695981039346656037ull;
const uint64_t kFnvPrime = 1099511628211ull;

uint64_t Mix(uint64_t h, const unsigned char* p, size_t n) {
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * kFnvPrime;
    return h;
}

}  // namespace

uint64_t HashDataFiles() {
    uint64_t h = kFnvOffset;
    for (const char* name : kDataFiles) {
        // The terminating zero too, so that names and contents cannot run into each other.
        h = Mix(h, (const unsigned char*)name, std::strlen(name) + 1);
        FILE* f = std::fopen(name, "rb");
        if (f == nullptr) continue;
        unsigned char buffer[65536];
        size_t n;
        uint64_t length = 0;
        while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) {
            h = Mix(h, buffer, n);
            length += n;
        }
        std::fclose(f);
        h = Mix(h, (const unsigned char*)&length, sizeof(length));
    }
    return h;
}
