// TGA reader: LoadTgaFromMemory on the input bytes, and LoadTga on the same bytes as a file,
// which must give the same picture (the file path reads only what the header can use).
#include <cstdint>
#include <cstring>

#include "assets/tga_image.h"
#include "fuzz/fuzz_support.h"

namespace {

fuzzsupport::ScratchFile* g_file;

unsigned Word(const uint8_t* p) { return (unsigned)p[0] | ((unsigned)p[1] << 8); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_file = new fuzzsupport::ScratchFile;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TgaImage* image = LoadTgaFromMemory(data, size);
    if (image != nullptr) {
        FUZZ_CHECK(size >= 18);
        FUZZ_CHECK(image->width == (int)Word(data + 12) && image->height == (int)Word(data + 14));
        FUZZ_CHECK(image->width > 0 && image->width <= kTgaMaxSide);
        FUZZ_CHECK(image->height > 0 && image->height <= kTgaMaxSide);
        FUZZ_CHECK(image->pixels != nullptr);
        // Every byte of the promised array must exist (ASan catches a short one).
        const size_t bytes = (size_t)image->width * (size_t)image->height * 4;
        volatile unsigned sum = 0;
        sum = sum + image->pixels[0] + image->pixels[bytes - 1];
    }

    TgaImage* fromFile = LoadTga(g_file->Write(data, size));
    FUZZ_CHECK((image == nullptr) == (fromFile == nullptr));
    if (image != nullptr) {
        FUZZ_CHECK(fromFile->width == image->width && fromFile->height == image->height);
        FUZZ_CHECK(std::memcmp(fromFile->pixels, image->pixels,
                               (size_t)image->width * (size_t)image->height * 4) == 0);
    }
    FreeTga(fromFile);
    FreeTga(image);
    return 0;
}
