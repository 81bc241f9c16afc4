// Height-image conversion: the row-streaming bilinear resampler and the safe write of the map.
// Only two image rows are held at a time, so the image's size never decides the memory used.
#include "tools/data/height_convert.h"

#include <math.h>
#include <stdio.h>

// The two image rows the current map row lies between, and the map being built.
// Written by HeightmapResample and HeightmapConvert.
static unsigned short RowStore[2][ImageMaxSide];
static unsigned char Map[HeightmapBytes];

// Where map column or row i falls in an image of the given size: the sample before it and the
// weight of the one after. Integer arithmetic, so the last map column lands exactly on the last
// image column.
static void SourcePosition(const int i, const int size, int* before, double* weight) {
    const long long scaled = (long long)i * (size - 1);
    *before = (int)(scaled / (HeightmapSize - 1));
    *weight = (double)(scaled % (HeightmapSize - 1)) / (HeightmapSize - 1);
}

int HeightmapResample(ImageReader* reader, unsigned char* map) {
    static int columnBefore[HeightmapSize];
    static double columnWeight[HeightmapSize];
    for (int x = 0; x < HeightmapSize; x++) {
        SourcePosition(x, reader->width, &columnBefore[x], &columnWeight[x]);
    }

    // upper holds image row `have`, lower the row before it.
    unsigned short* lower = RowStore[0];
    unsigned short* upper = RowStore[1];
    if (!ImageReadRow(reader, upper)) {
        return 0;
    }
    int have = 0;
    for (int y = 0; y < HeightmapSize; y++) {
        int rowBefore = 0;
        double rowWeight = 0.0;
        SourcePosition(y, reader->height, &rowBefore, &rowWeight);
        while (have < rowBefore + 1 && have < reader->height - 1) {
            unsigned short* const swap = lower;
            lower = upper;
            upper = swap;
            if (!ImageReadRow(reader, upper)) {
                return 0;
            }
            have++;
        }
        // On the last image row (or a one-row image) there is no row after: both are the same.
        const unsigned short* const top = have == rowBefore ? upper : lower;
        const unsigned short* const bottom = upper;
        const int lastColumn = reader->width - 1;
        for (int x = 0; x < HeightmapSize; x++) {
            const int c0 = columnBefore[x];
            const int c1 = c0 < lastColumn ? c0 + 1 : c0;
            const double u = columnWeight[x];
            const double above = top[c0] + (top[c1] - top[c0]) * u;
            const double below = bottom[c0] + (bottom[c1] - bottom[c0]) * u;
            const double value = above + (below - above) * rowWeight;
            map[x + y * HeightmapSize] = (unsigned char)floor(value * 255.0 / 65535.0 + 0.5);
        }
    }
    return 1;
}

// Writes map to path through path + ".part"; 1, or 0 with the error and no file left behind.
static int WriteMap(const char* path, const unsigned char* map, char* error, const int errorSize) {
    char partPath[4096];
    if (snprintf(partPath, sizeof partPath, "%s.part", path) >= (int)sizeof partPath) {
        snprintf(error, errorSize, "%s: output path too long", path);
        return 0;
    }
    FILE* file = fopen(partPath, "wb");
    if (!file) {
        snprintf(error, errorSize, "%s: cannot create", partPath);
        return 0;
    }
    const size_t written = fwrite(map, 1, HeightmapBytes, file);
    const int closed = fclose(file) == 0;
    if (written != HeightmapBytes || !closed) {
        snprintf(error, errorSize, "%s: cannot write", partPath);
        remove(partPath);
        return 0;
    }
    if (rename(partPath, path) != 0) {
        snprintf(error, errorSize, "%s: cannot rename to %s", partPath, path);
        remove(partPath);
        return 0;
    }
    return 1;
}

int HeightmapConvert(const char* input, const char* output, char* error, const int errorSize) {
    ImageReader reader;
    if (!ImageOpen(input, &reader)) {
        snprintf(error, errorSize, "%s: %s", input, reader.error);
        return 0;
    }
    const int read = HeightmapResample(&reader, Map) && ImageFinish(&reader);
    if (!read) {
        snprintf(error, errorSize, "%s: %s", input, reader.error);
    }
    ImageClose(&reader);
    return read && WriteMap(output, Map, error, errorSize);
}
