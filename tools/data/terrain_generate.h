// The deterministic terrain generator behind "terrain.raw": seeded fractal gradient noise shaped
// into islands, remapped so that about a third of the map lies under the water plane, and the
// measurements that check a map against what the scene needs (water share, plants drawn, slopes).
// Plain integer and double arithmetic only, so a seed gives the same bytes on every machine.
#pragma once

#include "plants/field.h"
#include "terrain/heightmap.h"

enum {
    TerrainMapSize = MapSize,                           // samples per side
    TerrainMapBytes = TerrainMapSize * TerrainMapSize,  // byte x + 1024 * y = column x, row y
    TerrainMeshStep = MeshStep,                         // samples between drawn mesh vertices
    TerrainWaterLevel = 121,                            // samples below this lie under water
    TerrainPlantCount = PlantCount,                     // plants the scene places
    TerrainDefaultSeed = 1                              // the seed the build writes the map with
};

// What TerrainMeasure finds in a map. Written by TerrainMeasure only.
struct TerrainStats {
    double waterShare;  // share of samples below TerrainWaterLevel, 0..1
    double plantShare;  // share of samples at or above TerrainPlantLevel, 0..1
    int maximum;        // highest sample, 0..255
    int minimum;        // lowest sample, 0..255
    int plantsDrawn;    // of the scene's 8000 plants, those standing high enough to be drawn
    int maxMeshStep;    // largest height difference between mesh neighbours 16 samples apart
    int maxSampleStep;  // largest height difference between adjacent samples
};

// The lowest sample a plant is drawn on (134), by the plant field's own height rule.
int TerrainPlantLevel(void);

// Fills map (TerrainMapBytes bytes) with the terrain of the given seed.
void TerrainGenerate(unsigned int seed, unsigned char* map);

// Counts the plants the scene would draw on map: the plant field's placement from program start.
// Leaves the program's plant field and random sequence as they were.
int TerrainCountPlants(const unsigned char* map);

// Measures map into stats.
void TerrainMeasure(const unsigned char* map, TerrainStats* stats);
