// TGA (Truevision Targa) reader for the bitmap-font pictures.
//
// Decodes colour-mapped, true-colour and greyscale pictures, plain or run-length
// encoded, into 32-bit RGBA pixels with the top row first: exactly what
// glTexImage2D / gluBuild2DMipmaps take as GL_RGBA / GL_UNSIGNED_BYTE.
//
// Malformed pictures (truncated data, zero or oversized dimensions, colour maps larger
// than 256 entries, indices beyond the colour map, depths the format has no meaning
// for) are rejected: the reader returns null and never reads or writes out of bounds.
//
// The readers share one naming: Load... reads a file by name, Load...FromStream an opened
// stream and Load...FromMemory bytes already in memory, their length a size_t.
#pragma once

#include <cstddef>

struct TgaImage {
    unsigned char* pixels;  // width * height * 4 bytes: r, g, b, a; top row first
    int width;
    int height;
};

// Largest accepted width or height; anything bigger is taken as a damaged header.
const int kTgaMaxSide = 16384;

// Reads and decodes a TGA file; null when the file cannot be opened or read, is
// malformed, or memory runs out. Free the result with FreeTga.
TgaImage* LoadTga(const char* fileName);

// The same decoding over a file's bytes already in memory.
TgaImage* LoadTgaFromMemory(const unsigned char* data, size_t size);

// Frees the image and its pixels; null is allowed.
void FreeTga(TgaImage* image);
