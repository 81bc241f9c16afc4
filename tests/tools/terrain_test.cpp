// Tests of the terrain generator: the generated map suits the scene (water, plant land, hills,
// no walls), the same seed always gives the same bytes, the plant count replays the plant field's
// placement, and the build writes the default map beside the program.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "plants/field.h"
#include "plants/random.h"
#include "terrain/heightmap.h"
#include "tools/data/terrain_generate.h"

namespace {

unsigned char MapA[TerrainMapBytes];
unsigned char MapB[TerrainMapBytes];

int Sample(const unsigned char* map, const int x, const int y) {
    return map[x + y * TerrainMapSize];
}

// Largest height difference between samples `distance` apart along rows and columns, over the
// whole map (not only the mesh lattice).
int SteepestStep(const unsigned char* map, const int distance) {
    int steepest = 0;
    for (int y = 0; y < TerrainMapSize; y++) {
        for (int x = 0; x < TerrainMapSize; x++) {
            if (x + distance < TerrainMapSize) {
                const int d = abs(Sample(map, x, y) - Sample(map, x + distance, y));
                steepest = d > steepest ? d : steepest;
            }
            if (y + distance < TerrainMapSize) {
                const int d = abs(Sample(map, x, y) - Sample(map, x, y + distance));
                steepest = d > steepest ? d : steepest;
            }
        }
    }
    return steepest;
}

std::string ReadWholeFile(const std::string& path) {
    std::string content;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) {
        return content;
    }
    char buffer[65536];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) {
        content.append(buffer, got);
    }
    fclose(file);
    return content;
}

}  // namespace

TEST(TerrainGenerate, SameSeedSameBytesOtherSeedOtherMap) {
    memset(MapA, 0, sizeof MapA);
    memset(MapB, 0xFF, sizeof MapB);
    TerrainGenerate(TerrainDefaultSeed, MapA);
    TerrainGenerate(TerrainDefaultSeed, MapB);
    EXPECT_EQ(0, memcmp(MapA, MapB, TerrainMapBytes));

    TerrainGenerate(TerrainDefaultSeed + 1, MapB);
    int differing = 0;
    for (int i = 0; i < TerrainMapBytes; i++) {
        differing += MapA[i] != MapB[i];
    }
    EXPECT_GT(differing, TerrainMapBytes / 2) << "another seed must give another landscape";
}

// The scene's needs, checked on several seeds so that they hold for the generator, not by luck.
TEST(TerrainGenerate, MapSuitsTheScene) {
    const unsigned int seeds[] = {TerrainDefaultSeed, 2, 77, 123456789};
    for (const unsigned int seed : seeds) {
        SCOPED_TRACE(seed);
        TerrainGenerate(seed, MapA);
        int water = 0;
        int plantLand = 0;
        int maximum = 0;
        for (int i = 0; i < TerrainMapBytes; i++) {
            water += MapA[i] < 121;
            plantLand += MapA[i] >= 134;
            maximum = MapA[i] > maximum ? MapA[i] : maximum;
        }
        EXPECT_NEAR(1.0 / 3.0, (double)water / TerrainMapBytes, 0.05) << "open water";
        EXPECT_NEAR(0.5, (double)plantLand / TerrainMapBytes, 0.05) << "land that carries plants";
        EXPECT_GE(maximum, 230) << "hills";

        // No walls: mesh neighbours (16 apart) within 24, adjacent samples within 2, anywhere.
        EXPECT_LE(SteepestStep(MapA, TerrainMeshStep), 24);
        EXPECT_LE(SteepestStep(MapA, 1), 2);

        // The map's rim is sea, so the land reads as islands rather than a cut-off continent.
        int rimWater = 0;
        for (int i = 0; i < TerrainMapSize; i++) {
            rimWater += Sample(MapA, i, 0) < 121;
            rimWater += Sample(MapA, i, TerrainMapSize - 1) < 121;
            rimWater += Sample(MapA, 0, i) < 121;
            rimWater += Sample(MapA, TerrainMapSize - 1, i) < 121;
        }
        EXPECT_GT(rimWater, 4 * TerrainMapSize / 2);

        const int plants = TerrainCountPlants(MapA);
        EXPECT_GE(plants, 3000);
        EXPECT_LE(plants, 4500);
    }
}

TEST(TerrainCountPlants, DrawsOnlyFromSample134Up) {
    memset(MapA, 0, sizeof MapA);
    EXPECT_EQ(0, TerrainCountPlants(MapA));
    memset(MapA, 133, sizeof MapA);  // 133 * 0.03 = 3.99: not above 4.0
    EXPECT_EQ(0, TerrainCountPlants(MapA));
    memset(MapA, 134, sizeof MapA);  // 4.02
    EXPECT_EQ(TerrainPlantCount, TerrainCountPlants(MapA));
}

// The first and last plants of the field stand on the cells the plant field gives them.
TEST(TerrainCountPlants, SamplesThePlantFieldsCells) {
    memset(MapA, 0, sizeof MapA);
    MapA[822 + 633 * TerrainMapSize] = 200;  // plant 0
    EXPECT_EQ(1, TerrainCountPlants(MapA));
    MapA[42 + 818 * TerrainMapSize] = 200;  // plant 7999
    EXPECT_EQ(2, TerrainCountPlants(MapA));
    MapA[823 + 633 * TerrainMapSize] = 200;  // beside plant 0, nothing stands there
    MapA[822 + 634 * TerrainMapSize] = 200;
    EXPECT_EQ(2, TerrainCountPlants(MapA));
}

// The tool's own count agrees with the program's plant field on the generated map.
TEST(TerrainCountPlants, AgreesWithThePlantField) {
    TerrainGenerate(TerrainDefaultSeed, MapA);
    memcpy(HeightMap, MapA, TerrainMapBytes);
    PlantFieldInit();
    int drawn = 0;
    for (int i = 0; i < PlantCount; i++) {
        drawn += Plants.baseHeight[i] > PlantMinHeight;
    }
    EXPECT_EQ(drawn, TerrainCountPlants(MapA));
}

TEST(TerrainMeasure, ReportsSharesExtremesAndSteps) {
    // Upper half 100 (water), lower half 200 (plant land), one 16-sample ramp step of 30.
    for (int y = 0; y < TerrainMapSize; y++) {
        for (int x = 0; x < TerrainMapSize; x++) {
            MapA[x + y * TerrainMapSize] = y < TerrainMapSize / 2 ? 100 : 200;
        }
    }
    TerrainStats stats;
    TerrainMeasure(MapA, &stats);
    EXPECT_DOUBLE_EQ(0.5, stats.waterShare);
    EXPECT_DOUBLE_EQ(0.5, stats.plantShare);
    EXPECT_EQ(200, stats.maximum);
    EXPECT_EQ(100, stats.minimum);
    EXPECT_EQ(100, stats.maxMeshStep);
    EXPECT_EQ(100, stats.maxSampleStep);
    EXPECT_EQ(TerrainCountPlants(MapA), stats.plantsDrawn);

    // A spike off the mesh lattice is a sample step but not a mesh step.
    memset(MapA, 130, sizeof MapA);
    MapA[8 + 8 * TerrainMapSize] = 250;
    TerrainMeasure(MapA, &stats);
    EXPECT_EQ(0, stats.maxMeshStep);
    EXPECT_EQ(120, stats.maxSampleStep);
    EXPECT_EQ(250, stats.maximum);
    // Columns and rows past 1008 are not drawn, so they are no mesh step either.
    MapA[1020 + 16 * TerrainMapSize] = 0;
    MapA[1008 + 16 * TerrainMapSize] = 160;
    TerrainMeasure(MapA, &stats);
    EXPECT_EQ(30, stats.maxMeshStep);
}

// The tool writes the default map and reports it; the build has put the same map beside the
// program.
TEST(TerrainTool, WritesTheDefaultMapAndTheBuildCopy) {
    TerrainGenerate(TerrainDefaultSeed, MapA);
    const std::string expected((const char*)MapA, TerrainMapBytes);

    const std::string output =
        ::testing::TempDir() + "terrain_tool_test_" + std::to_string(getpid()) + ".raw";
    remove(output.c_str());
    const std::string command = std::string(LIMNORA_BIN_DIR) + "/terrain " + output;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(nullptr, pipe);
    char line[512] = "";
    const char* got = fgets(line, sizeof line, pipe);
    EXPECT_EQ(0, pclose(pipe));
    ASSERT_NE(nullptr, got);
    EXPECT_NE(nullptr, strstr(line, "plants drawn")) << line;
    EXPECT_EQ(expected, ReadWholeFile(output));
    EXPECT_TRUE(ReadWholeFile(output + ".part").empty());
    remove(output.c_str());

    EXPECT_EQ(expected, ReadWholeFile(std::string(LIMNORA_BIN_DIR) + "/terrain.raw"));
}

TEST(TerrainTool, RejectsABadSeedAndAnUnwritablePath) {
    const std::string tool = std::string(LIMNORA_BIN_DIR) + "/terrain";
    EXPECT_NE(0, system((tool + " /tmp/never_written.raw 12x 2>/dev/null").c_str()));
    EXPECT_NE(0, system((tool + " /nonexistent-dir/terrain.raw 2>/dev/null").c_str()));
}
