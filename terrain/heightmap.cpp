// The height map record (its look-up is inline in heightmap.h): plain memory, no platform call, so
// that the terrain generator (tools/data) can be built for the build machine from these sources
// alone.
#include "terrain/heightmap.h"

unsigned char HeightMap[MapSize * MapSize];
