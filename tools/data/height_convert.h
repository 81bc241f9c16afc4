// Turns a height image into the scene's 1024 x 1024 byte map: bilinear resampling with the image's
// corners on the map's corners, then "terrain.raw" written under a temporary name and renamed, so
// a failure never leaves an output file. A much larger image is sampled, not averaged.
#pragma once

#include "tools/data/height_image.h"

enum {
    HeightmapSize = 1024,                           // map samples per side
    HeightmapBytes = HeightmapSize * HeightmapSize  // byte x + 1024 * y = column x, row y
};

// Reads every row of an open reader and resamples it into map (HeightmapBytes bytes);
// 1, or 0 with reader->error set. The reader stays open.
int HeightmapResample(ImageReader* reader, unsigned char* map);

// Converts the image at input to the map file output; 1, or 0 with a message naming the problem
// in error (errorSize bytes) and no file at output.
int HeightmapConvert(const char* input, const char* output, char* error, int errorSize);
