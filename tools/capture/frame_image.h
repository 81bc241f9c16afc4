// RGB frames for comparison: read from PNG (any colour type libpng converts to 8-bit RGB) or from
// binary PPM (P6, maxval 255), the format winshot writes. Rows top first.
#pragma once

#include <vector>

enum { FrameImageMaxSide = 16384 };  // widest and tallest frame accepted, pixels

struct FrameImage {
    int width;                       // pixels per row
    int height;                      // rows
    std::vector<unsigned char> rgb;  // width * height * 3 bytes, top row first
};

// Reads path as PNG or PPM, told apart by their signatures. 1 on success; 0 with a message naming
// the file in error (size errorSize) and the image left empty.
int FrameImageRead(const char* path, FrameImage* image, char* error, int errorSize);
