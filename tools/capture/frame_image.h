// RGB frames as the capture tools and the tests hold them: one record, filled from the GL back
// buffer, written to and read from binary PPM and PNG. Row 0 is the top row of the frame, as PNG
// and PPM store it; a pixel box has the origin top left and holds x0 <= x < x1, y0 <= y < y1.
// GL's rows come bottom first: FrameImageReadBack turns them over, the one place that does.
// The PNG half (frame_png.cpp, libpng) is built only where libpng is, not in the Windows build.
#pragma once

#include <cstddef>
#include <cstdio>
#include <vector>

enum { FrameImageMaxSide = 16384 };  // widest and tallest frame accepted, pixels

struct FrameImage {
    int width;                       // pixels per row
    int height;                      // rows
    std::vector<unsigned char> rgb;  // width * height * 3 bytes, top row first
    const unsigned char* At(int x, int y) const {
        return &rgb[((std::size_t)y * width + x) * 3];
    }
};

struct PixelBox {
    int x0, y0, x1, y1;  // empty when x1 <= x0 or y1 <= y0
};

// A rule a pixel (its three bytes) meets, 1, or does not, 0.
typedef int (*PixelRule)(const unsigned char* rgb);

// Counts the pixels inside window (clipped to the image) that meet rule; writes the smallest box
// holding them to *found, when given: all zero when there is none.
int FrameImageFind(const FrameImage* image, PixelBox window, PixelRule rule, PixelBox* found);

// The current viewport of the current GL context, read from the back buffer (the finished frame
// before the swap presents it).
void FrameImageReadBack(FrameImage* image);
// Writes path as binary PPM (P6, maxval 255). 1, or 0 with a message naming the file in error
// (size errorSize).
int FrameImageWritePpm(const char* path, const FrameImage* image, char* error, int errorSize);
// Writes path as 8-bit RGB PNG. 1, or 0 with the message.
int FrameImageWritePng(const char* path, const FrameImage* image, char* error, int errorSize);
// Reads path as PNG (any colour type libpng converts to 8-bit RGB) or binary PPM, told apart by
// their signatures. 1 on success; 0 with the message and the image left empty.
int FrameImageRead(const char* path, FrameImage* image, char* error, int errorSize);
// The PPM half of FrameImageRead: file is positioned after the "P6" signature. 1 or 0 as above.
int FrameImageReadPpm(std::FILE* file, const char* path, FrameImage* image, char* error,
                      int errorSize);
