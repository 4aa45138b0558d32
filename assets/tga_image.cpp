#include "assets/tga_image.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

const int kHeaderSize = 18;

// Image kinds (low 3 bits of the image type); bit 3 marks run-length encoding.
const int kColourMapped = 1;
const int kTrueColour = 2;
const int kGreyscale = 3;
const int kRunLengthBit = 8;

struct ByteSource {
    const unsigned char* at;
    size_t left;

    // Points *out at the next n bytes and moves past them; false when the data ends.
    bool Take(size_t n, const unsigned char** out) {
        if (n > left) return false;
        *out = at;
        at += n;
        left -= n;
        return true;
    }
};

unsigned Word(const unsigned char* p) { return (unsigned)p[0] | ((unsigned)p[1] << 8); }

// 5 bits per channel, red highest; the attribute bit is not used.
void Expand16(unsigned w, unsigned char* rgb) {
    rgb[0] = (unsigned char)(((w >> 10) & 31) * 8);
    rgb[1] = (unsigned char)(((w >> 5) & 31) * 8);
    rgb[2] = (unsigned char)((w & 31) * 8);
}

struct Decoder {
    int kind;
    int valueBytes;  // bytes of one pixel value in the file
    int paletteCount;
    unsigned char palette[256][3];

    // One file pixel value to RGBA. Run-length values go through here as well, so a
    // picture decodes the same whether or not it is compressed. False for an index
    // beyond the colour map.
    bool Convert(const unsigned char* v, unsigned char* out) const {
        if (kind != kTrueColour) {
            if (v[0] >= paletteCount) return false;
            out[0] = palette[v[0]][0];
            out[1] = palette[v[0]][1];
            out[2] = palette[v[0]][2];
            out[3] = 255;
        } else if (valueBytes == 4) {
            out[0] = v[2];
            out[1] = v[1];
            out[2] = v[0];
            out[3] = v[3];
        } else if (valueBytes == 3) {
            out[0] = v[2];
            out[1] = v[1];
            out[2] = v[0];
            out[3] = 255;
        } else {
            Expand16(Word(v), out);
            out[3] = 0;
        }
        return true;
    }
};

}  // namespace

TgaImage* LoadTgaFromMemory(const unsigned char* data, size_t size) {
    if (data == nullptr) return nullptr;
    ByteSource src = {data, size};
    const unsigned char* h;
    if (!src.Take(kHeaderSize, &h)) return nullptr;

    int idLength = h[0];
    int imageType = h[2];
    int mapLength = (int)Word(h + 5);
    int mapEntryBits = h[7];
    int width = (int)Word(h + 12);
    int height = (int)Word(h + 14);
    int depth = h[16];
    bool topFirst = (h[17] & 0x20) != 0;

    const unsigned char* skip;
    if (!src.Take((size_t)idLength, &skip)) return nullptr;

    Decoder dec;
    std::memset(dec.palette, 0, sizeof dec.palette);
    // The palette holds 256 entries; a longer colour map cannot be stored.
    if (mapLength > 256) return nullptr;
    int entryBytes = 0;
    if (mapEntryBits == 15 || mapEntryBits == 16) entryBytes = 2;
    else if (mapEntryBits == 24) entryBytes = 3;
    else if (mapEntryBits == 32) entryBytes = 4;
    // A colour map we cannot size would leave its bytes to be read as pixels.
    if (mapLength > 0 && entryBytes == 0) return nullptr;
    for (int i = 0; i < mapLength; ++i) {
        const unsigned char* e;
        if (!src.Take((size_t)entryBytes, &e)) return nullptr;
        if (entryBytes == 2) {
            Expand16(Word(e), dec.palette[i]);
        } else {
            dec.palette[i][0] = e[2];
            dec.palette[i][1] = e[1];
            dec.palette[i][2] = e[0];
        }
    }
    dec.paletteCount = mapLength;

    dec.kind = imageType & 7;
    if (dec.kind == kGreyscale) {
        for (int i = 0; i < 256; ++i)
            dec.palette[i][0] = dec.palette[i][1] = dec.palette[i][2] = (unsigned char)i;
        dec.paletteCount = 256;
    }
    if (dec.kind != kColourMapped && dec.kind != kTrueColour && dec.kind != kGreyscale)
        return nullptr;

    // Indices are one byte; true colour is 32, 24 or 15/16 bits. Other depths would
    // make every later pixel read from the wrong place.
    if (dec.kind == kTrueColour) {
        if (depth == 32) dec.valueBytes = 4;
        else if (depth == 24) dec.valueBytes = 3;
        else if (depth == 15 || depth == 16) dec.valueBytes = 2;
        else return nullptr;
    } else {
        if (depth != 8) return nullptr;
        dec.valueBytes = 1;
    }

    if (width <= 0 || height <= 0 || width > kTgaMaxSide || height > kTgaMaxSide) return nullptr;
    const size_t pixelCount = (size_t)width * (size_t)height;
    const bool runLength = (imageType & kRunLengthBit) != 0;
    // Reject data too short for the picture before allocating for it: a packet of
    // header and one value yields at most 128 pixels.
    size_t leastBytes = runLength ? (pixelCount + 127) / 128 * (size_t)(1 + dec.valueBytes)
                                  : pixelCount * (size_t)dec.valueBytes;
    if (src.left < leastBytes) return nullptr;

    TgaImage* image = new (std::nothrow) TgaImage;
    if (image == nullptr) return nullptr;
    image->width = width;
    image->height = height;
    image->pixels = new (std::nothrow) unsigned char[pixelCount * 4];
    if (image->pixels == nullptr) {
        delete image;
        return nullptr;
    }

    // Pixels in file order; file row r lands on row r (top first) or height - 1 - r.
    auto target = [&](size_t n) {
        size_t r = n / (size_t)width;
        size_t c = n % (size_t)width;
        size_t row = topFirst ? r : (size_t)height - 1 - r;
        return image->pixels + (row * (size_t)width + c) * 4;
    };

    bool ok = true;
    size_t n = 0;
    if (!runLength) {
        for (; n < pixelCount && ok; ++n) {
            const unsigned char* v;
            ok = src.Take((size_t)dec.valueBytes, &v) && dec.Convert(v, target(n));
        }
    } else {
        // A packet may carry on into the next row, as older writers emit; what runs past
        // the last pixel of the picture is dropped.
        while (n < pixelCount && ok) {
            const unsigned char* p;
            if (!src.Take(1, &p)) {
                ok = false;
                break;
            }
            size_t count = (size_t)(p[0] & 127) + 1;
            if (count > pixelCount - n) count = pixelCount - n;
            if (p[0] >= 128) {
                const unsigned char* v;
                unsigned char rgba[4];
                ok = src.Take((size_t)dec.valueBytes, &v) && dec.Convert(v, rgba);
                for (size_t i = 0; i < count && ok; ++i, ++n) std::memcpy(target(n), rgba, 4);
            } else {
                for (size_t i = 0; i < count && ok; ++i, ++n) {
                    const unsigned char* v;
                    ok = src.Take((size_t)dec.valueBytes, &v) && dec.Convert(v, target(n));
                }
            }
        }
    }
    if (!ok) {
        FreeTga(image);
        return nullptr;
    }
    return image;
}

TgaImage* LoadTga(const char* fileName) {
    if (fileName == nullptr) return nullptr;
    FILE* f = std::fopen(fileName, "rb");
    if (f == nullptr) return nullptr;

    // The whole file in memory, read in growing chunks; no seeking, so it works the same
    // on every C library. Nothing past the longest data the header can describe is
    // needed (at worst a one-pixel packet per pixel), so a huge file of something else
    // is not held in full.
    size_t limit = (size_t)kHeaderSize + 255 + 256 * 4 +
                   (size_t)kTgaMaxSide * (size_t)kTgaMaxSide * 5;
    bool limitFromHeader = false;
    size_t capacity = 0, size = 0;
    unsigned char* buffer = nullptr;
    bool failed = false;
    for (;;) {
        if (size >= limit) break;
        if (size == capacity) {
            size_t bigger = capacity == 0 ? 65536 : capacity * 2;
            if (bigger > limit) bigger = limit;
            unsigned char* grown = new (std::nothrow) unsigned char[bigger];
            if (grown == nullptr) {
                failed = true;
                break;
            }
            if (size > 0) std::memcpy(grown, buffer, size);
            delete[] buffer;
            buffer = grown;
            capacity = bigger;
        }
        size_t want = (capacity < limit ? capacity : limit) - size;
        size_t got = std::fread(buffer + size, 1, want, f);
        size += got;
        if (!limitFromHeader && size >= (size_t)kHeaderSize) {
            size_t pixels = (size_t)Word(buffer + 12) * (size_t)Word(buffer + 14);
            size_t tight = (size_t)kHeaderSize + 255 + 256 * 4 + pixels * 5;
            if (tight < limit) limit = tight;
            limitFromHeader = true;
            if (size > limit) size = limit;
        }
        if (got == 0) {
            if (std::ferror(f)) failed = true;
            break;
        }
    }
    std::fclose(f);

    TgaImage* image = failed ? nullptr : LoadTgaFromMemory(buffer, size);
    delete[] buffer;
    return image;
}

void FreeTga(TgaImage* image) {
    if (image == nullptr) return;
    delete[] image->pixels;
    delete image;
}
