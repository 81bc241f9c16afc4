// Captures rendered frames from the swap hook of the test driver, and measures simple properties
// of them (colour classes in boxes, bounding boxes) so tests check images without golden files.
// Frames are the capture tools' FrameImage: top row first, boxes with the origin top left.
#pragma once

#include "tools/capture/frame_image.h"

// Installs a swap hook that keeps the frames whose numbers are listed (the finished frame, read
// from the back buffer just before the swap presents it). `frames` must outlive the run;
// frames[i] receives frame numbers[i].
void CaptureFrames(const int* numbers, int count, FrameImage* frames);

typedef bool (*PixelClass)(const unsigned char* rgb);
bool IsHudYellow(const unsigned char* rgb);   // exactly (255, 255, 0)
bool IsPlantGreen(const unsigned char* rgb);  // green well above red and blue
bool IsLit(const unsigned char* rgb);         // not black

int CountPixels(const FrameImage& frame, PixelClass test, PixelBox box);
int CountPixels(const FrameImage& frame, PixelClass test);
// The smallest box holding every pixel of the class; all zero when there is none.
PixelBox BoundingBox(const FrameImage& frame, PixelClass test);
