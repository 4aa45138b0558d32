// Small helpers for the TGA tests: building files byte by byte and comparing pictures.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "assets/tga_image.h"

namespace tgatest {

typedef std::vector<unsigned char> Bytes;

struct Header {
    int idLength = 0;
    int mapType = 0;
    int imageType = 2;
    int mapFirst = 0;
    int mapLength = 0;
    int mapEntryBits = 0;
    int width = 1;
    int height = 1;
    int depth = 32;
    int descriptor = 0;
};

inline void PutWord(Bytes& b, int v) {
    b.push_back((unsigned char)(v & 255));
    b.push_back((unsigned char)((v >> 8) & 255));
}

inline Bytes Tga(const Header& h, const Bytes& afterHeader) {
    Bytes b;
    b.push_back((unsigned char)h.idLength);
    b.push_back((unsigned char)h.mapType);
    b.push_back((unsigned char)h.imageType);
    PutWord(b, h.mapFirst);
    PutWord(b, h.mapLength);
    b.push_back((unsigned char)h.mapEntryBits);
    PutWord(b, 0);
    PutWord(b, 0);
    PutWord(b, h.width);
    PutWord(b, h.height);
    b.push_back((unsigned char)h.depth);
    b.push_back((unsigned char)h.descriptor);
    b.insert(b.end(), afterHeader.begin(), afterHeader.end());
    return b;
}

// Owns a decoded picture for the length of a test.
struct Image {
    TgaImage* image;
    explicit Image(TgaImage* i) : image(i) {}
    ~Image() { FreeTga(image); }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    TgaImage* operator->() const { return image; }
    bool Ok() const { return image != nullptr; }
    Bytes Pixels() const {
        return Bytes(image->pixels, image->pixels + (size_t)image->width * image->height * 4);
    }
    Bytes Pixel(int x, int y) const {
        const unsigned char* p = image->pixels + ((size_t)y * image->width + x) * 4;
        return Bytes(p, p + 4);
    }
};

inline TgaImage* Decode(const Bytes& b) { return LoadTgaFromMemory(b.data(), b.size()); }

inline bool WriteFile(const std::string& name, const Bytes& b) {
    FILE* f = std::fopen(name.c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = b.empty() || std::fwrite(b.data(), 1, b.size(), f) == b.size();
    return std::fclose(f) == 0 && ok;
}

inline bool ReadFile(const std::string& name, Bytes* out) {
    FILE* f = std::fopen(name.c_str(), "rb");
    if (f == nullptr) return false;
    out->clear();
    unsigned char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        out->insert(out->end(), chunk, chunk + got);
    std::fclose(f);
    return true;
}

}  // namespace tgatest
