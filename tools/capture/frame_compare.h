// Frame comparison for framediff: how many pixels of two frames of the same state agree, leaving
// out the HUD text, whose glyphs differ between platforms (Wine draws them flat, with its own
// font rendering), and whether the HUD is there at all in each of its three corners.
#pragma once

#include "tools/capture/frame_image.h"

// The corners holding HUD lines: the wireframe line, the frame rate, the two wind lines.
enum HudCorner { HudTopLeft, HudTopRight, HudBottomLeft, HudCornerCount };

struct FrameDiffOptions {
    int tolerance;     // largest per-channel difference of two agreeing pixels, 0..255
    int hudMargin;     // pixels added on every side of a corner's HUD text box
    int minHudPixels;  // HUD pixels a corner needs in a frame for its HUD to count as there
    int wholeFrame;    // 1: the HUD text is compared too (both frames drew it with one font)
};

// The result. Written by FrameDiffRun.
struct FrameDiff {
    PixelBox hudBox[HudCornerCount];   // left out: the text of both frames, plus the margin
    int hudPixels[2][HudCornerCount];  // HUD pixels of frame a (0) and b (1) in each corner
    long long compared;                // pixels outside the HUD boxes (all with wholeFrame)
    long long agreeing;                // of those, within the tolerance
    long long lit[2];                  // of those, not black in frame a (0) and b (1)
};

// HUD text colour: exactly yellow, since the HUD is drawn unlit and unblended.
int IsHudPixel(const unsigned char* rgb);
// The window a corner's HUD lines are searched in: a band along the top (15 %) or the bottom
// (20 %) of the frame, in its left or right half.
PixelBox HudCornerWindow(int corner, int width, int height);
// Compares two frames of equal size; 0 (and nothing written) when the sizes differ.
int FrameDiffRun(const FrameImage* a, const FrameImage* b, const FrameDiffOptions* options,
                 FrameDiff* out);
// Share of the compared pixels that agree, 0..1 (0 when nothing was compared).
double FrameDiffAgreement(const FrameDiff* diff);
// 1 when every corner has at least minHudPixels HUD pixels in both frames.
int FrameDiffHudPresent(const FrameDiff* diff, const FrameDiffOptions* options);
