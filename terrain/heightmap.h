// Height map: the 1024 x 1024 bytes of "terrain.raw", its loader and the bounded sample look-up.
// The sample of column x, row y is the byte at x + y * MapSize. The map is all zero at program
// start and is read again over its old contents at every scene initialisation.
#pragma once

#include <cstddef>

enum {
    MapSize = 1024,  // samples per edge
    MeshStep = 16    // samples between neighbouring terrain mesh vertices
};

const float TerrainScale = 0.03f;  // map units to the plant frame, on all three axes
const float HeightRatio = 1.0f;    // extra factor on the vertical axis only

// Written by LoadHeightMap only; read by the plant field and the terrain mesh.
extern unsigned char HeightMap[MapSize * MapSize];

// Reads up to `length` bytes of the file `name` into `map`. A missing file or a read error is
// told in a message box; a short file fills only the beginning and leaves the rest as it was.
void LoadHeightMap(const char* name, int length, unsigned char* map);

// A non-negative remainder, so that negative coordinates wrap instead of indexing before the map.
inline int WrapToMap(const int value) {
    const int r = value % MapSize;
    return r < 0 ? r + MapSize : r;
}

// The height 0..255 of column x, row y, both wrapped into 0..MapSize-1 (negatives included);
// 0 for a null map. Never reads outside the map. Inline: the terrain pass looks up 15,876 corners
// a frame.
inline int HeightAt(const unsigned char* const map, const int x, const int y) {
    if (map == NULL) {
        return 0;
    }
    return map[WrapToMap(x) + WrapToMap(y) * MapSize];
}
