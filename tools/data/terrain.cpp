// terrain: writes the generated height map "terrain.raw" and prints one line on how it suits the
// scene. Usage: terrain OUTPUT [SEED]. The file is written under a temporary name and renamed,
// so a failed run never leaves a half-written map behind.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <filesystem>
#include <system_error>

#include "tools/data/terrain_generate.h"

// The map being written. Written by main.
static unsigned char Map[TerrainMapBytes];

// Writes map to path through path + ".part"; 1 on success, 0 after a message on stderr.
static int WriteMap(const char* path, const unsigned char* map) {
    char partPath[4096];
    if (snprintf(partPath, sizeof partPath, "%s.part", path) >= (int)sizeof partPath) {
        fprintf(stderr, "terrain: output path too long: %s\n", path);
        return 0;
    }
    FILE* file = fopen(partPath, "wb");
    if (!file) {
        fprintf(stderr, "terrain: cannot create %s\n", partPath);
        return 0;
    }
    const size_t written = fwrite(map, 1, TerrainMapBytes, file);
    const int closed = fclose(file) == 0;
    if (written != TerrainMapBytes || !closed) {
        fprintf(stderr, "terrain: cannot write %s\n", partPath);
        remove(partPath);
        return 0;
    }
    // std::filesystem::rename replaces an existing map on Windows too, where rename() refuses.
    std::error_code renameError;
    std::filesystem::rename(partPath, path, renameError);
    if (renameError) {
        fprintf(stderr, "terrain: cannot rename %s to %s\n", partPath, path);
        remove(partPath);
        return 0;
    }
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        fprintf(stderr, "usage: terrain OUTPUT [SEED]\n");
        return 1;
    }
    unsigned int seed = TerrainDefaultSeed;
    if (argc == 3) {
        char* end = 0;
        const unsigned long value = strtoul(argv[2], &end, 10);
        if (end == argv[2] || *end != '\0' || value > 0xFFFFFFFFul) {
            fprintf(stderr, "terrain: seed must be a number 0..4294967295: %s\n", argv[2]);
            return 1;
        }
        seed = (unsigned int)value;
    }

    TerrainGenerate(seed, Map);
    if (!WriteMap(argv[1], Map)) {
        return 1;
    }

    TerrainStats stats;
    TerrainMeasure(Map, &stats);
    printf(
        "terrain: seed %u, %.1f%% under water (<%d), %.1f%% plant land (>=%d), heights %d..%d, "
        "%d of %d plants drawn, steepest mesh step %d\n",
        seed, 100.0 * stats.waterShare, TerrainWaterLevel, 100.0 * stats.plantShare,
        TerrainPlantLevel(), stats.minimum, stats.maximum, stats.plantsDrawn, TerrainPlantCount,
        stats.maxMeshStep);
    return 0;
}
