// The height map record and its bounded look-up: plain memory, no platform call, so that the
// terrain generator (tools/data) can be built for the build machine from these sources alone.
#include "terrain/heightmap.h"

#include <cstddef>

unsigned char HeightMap[MapSize * MapSize];

// A non-negative remainder, so that negative coordinates wrap instead of indexing before the map.
static int WrapToMap(int value);

int HeightAt(const unsigned char* const map, const int x, const int y) {
    if (map == NULL) {
        return 0;
    }
    return map[WrapToMap(x) + WrapToMap(y) * MapSize];
}

static int WrapToMap(const int value) {
    const int r = value % MapSize;
    return r < 0 ? r + MapSize : r;
}
