// bench: what one frame costs the CPU before any GL call, per part: the water (wave heights,
// normals and 9801 phase steps) and the plants (shape, wind and seven bent points for every plant
// above PlantMinHeight). Terrain: --terrain=PATH, else $LIMNORA_TERRAIN, else the build's
// terrain.raw. Usage: bench [--terrain=PATH] [Google Benchmark flags].
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "plants/bend.h"
#include "plants/field.h"
#include "plants/wind.h"
#include "platform/win32/driver.h"
#include "terrain/heightmap.h"
#include "water/normals.h"
#include "water/water.h"

namespace {

const int QuadsPerFrame = (WaterGridSize - 1) * (WaterGridSize - 1);

// The water's share of a frame without its GL calls.
void WaterFrame(void) {
    if (UpdateWaves(Wind.strengthPercent)) {
        UpdateWaterNormals();
    }
    for (int q = 0; q < QuadsPerFrame; q++) {
        AdvanceWavePhase();
    }
}

// The plants' share of a frame in CPU mode without its GL calls; returns the plants drawn.
int PlantFrame(void) {
    int drawn = 0;
    PlantShape shape;
    for (int i = 0; i < PlantCount; i++) {
        if (!(Plants.baseHeight[i] > PlantMinHeight)) {
            continue;
        }
        PlantShapeBuild(i, &shape);
        PlantWindNext();
        const WindVector w = Wind.windVector;
        const float g = Plants.growth[i];
        const float tip = TipStemLength(g), ring2 = Ring2StemLength(g), ring1 = Ring1StemLength(g);
        shape.tip = StemPointBend(shape.tip, w, i, tip);
        shape.ring2.back = StemPointBend(shape.ring2.back, w, i, ring2);
        shape.ring2.left = StemPointBend(shape.ring2.left, w, i, ring2);
        shape.ring2.right = StemPointBend(shape.ring2.right, w, i, ring2);
        shape.ring1.back = StemPointBend(shape.ring1.back, w, i, ring1);
        shape.ring1.left = StemPointBend(shape.ring1.left, w, i, ring1);
        shape.ring1.right = StemPointBend(shape.ring1.right, w, i, ring1);
        benchmark::DoNotOptimize(shape);
        drawn++;
    }
    return drawn;
}

void BM_WaterFrame(benchmark::State& state) {
    for (auto _ : state) {
        WaterFrame();
        benchmark::DoNotOptimize(WaterGrid);
    }
}

void BM_PlantFrame(benchmark::State& state) {
    int drawn = 0;
    for (auto _ : state) {
        drawn = PlantFrame();
    }
    state.counters["plants"] = drawn;
}

void BM_NumericFrame(benchmark::State& state) {
    for (auto _ : state) {
        WaterFrame();
        benchmark::DoNotOptimize(PlantFrame());
    }
}

BENCHMARK(BM_WaterFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlantFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NumericFrame)->Unit(benchmark::kMillisecond);

// The terrain path from --terrain=PATH (removed from argv), the environment or the default.
const char* TerrainPath(int* argc, char** argv) {
    const char* path = getenv("LIMNORA_TERRAIN");
    for (int n = 1; n < *argc; n++) {
        if (strncmp(argv[n], "--terrain=", 10) == 0) {
            path = argv[n] + 10;
            for (int m = n; m < *argc - 1; m++) {
                argv[m] = argv[m + 1];
            }
            (*argc)--;
            break;
        }
    }
    return path != NULL && path[0] != '\0' ? path : LIMNORA_BIN_DIR "/terrain.raw";
}

// Loads the terrain and places the scene as the scene initialisation does; 0 when the map is
// missing or unreadable (a bench on a flat map would measure no plants).
int SceneSetUp(const char* path) {
    DriverInstall();  // message boxes go to the driver's log, never to the screen
    LoadHeightMap(path, MapSize * MapSize, HeightMap);
    const int boxes = DriverBoxCount();
    if (boxes > 0) {
        fprintf(stderr, "bench: %s: %s\n", path, DriverBoxAt(0)->text);
    }
    DriverUninstall();
    if (boxes > 0) {
        return 0;
    }
    PlantFieldInit();
    PlantLeanInit();
    InitWaterGrid();
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const char* path = TerrainPath(&argc, argv);
    if (!SceneSetUp(path)) {
        return 1;
    }
    int drawn = 0;
    for (int i = 0; i < PlantCount; i++) {
        drawn += Plants.baseHeight[i] > PlantMinHeight;
    }
    printf("terrain: %s\nplants drawn: %d of %d\n", path, drawn, PlantCount);
    fflush(stdout);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
