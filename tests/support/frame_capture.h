// Captures rendered frames from the swap hook of the test driver, and measures simple properties
// of them (colour classes in regions, bounding boxes) so tests check images without golden files.
#pragma once

#include <cstddef>
#include <vector>

struct Frame {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;  // bottom row first, as GL reads it
    const unsigned char* At(int x, int y) const {
        return &rgb[((std::size_t)y * width + x) * 3];
    }
};

// A region in GL window coordinates: x0 <= x < x1, y0 <= y < y1 (y grows upwards).
struct Region {
    int x0, y0, x1, y1;
};

// Installs a swap hook that keeps the frames whose numbers are listed (the finished frame, read
// from the back buffer just before the swap presents it). `frames` must outlive the run;
// frames[i] receives frame numbers[i].
void CaptureFrames(const int* numbers, int count, Frame* frames);

typedef bool (*PixelClass)(const unsigned char* rgb);
bool IsHudYellow(const unsigned char* rgb);   // exactly (255, 255, 0)
bool IsPlantGreen(const unsigned char* rgb);  // green well above red and blue
bool IsLit(const unsigned char* rgb);         // not black

int CountPixels(const Frame& frame, PixelClass test, Region region);
int CountPixels(const Frame& frame, PixelClass test);
// The smallest region holding every pixel of the class; all zero when there is none.
Region BoundingBox(const Frame& frame, PixelClass test);
