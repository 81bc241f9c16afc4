// Captures rendered frames from the swap hook of the test driver, and measures simple properties
// of them (colour classes in boxes, bounding boxes) so tests check images without golden files.
// Frames are the capture tools' FrameImage: top row first, boxes with the origin top left.
#pragma once

#include "tools/capture/frame_compare.h"
#include "tools/capture/frame_image.h"

// Installs a swap hook that keeps the frames whose numbers are listed (the finished frame, read
// from the back buffer just before the swap presents it). `frames` must outlive the run;
// frames[i] receives frame numbers[i].
void CaptureFrames(const int* numbers, int count, FrameImage* frames);

// The HUD's pixels are framediff's (IsHudPixel: exactly yellow, drawn unlit and unblended).
int IsPlantGreen(const unsigned char* rgb);  // green well above red and blue
int IsLit(const unsigned char* rgb);         // not black

int CountPixels(const FrameImage& frame, PixelRule rule, PixelBox box);
int CountPixels(const FrameImage& frame, PixelRule rule);
// The smallest box holding every pixel that meets the rule; all zero when there is none.
PixelBox BoundingBox(const FrameImage& frame, PixelRule rule);
