// bench_numeric: what one frame's numeric work costs the CPU before any GL call, per part: the
// water (wave heights, normals and 9801 phase steps) and the plants (shape, wind and, with CPU
// bending, seven bent points for every plant above PlantMinHeight). Terrain: --terrain=PATH, else
// $LIMNORA_TERRAIN, else the build's terrain.raw. Usage: bench_numeric [--terrain=PATH] [Google
// Benchmark flags]. The full report of the running program is `bench`.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "plants/field.h"
#include "tools/performance/scene_work.h"
#include "water/water.h"

namespace {

void BM_WaterFrame(benchmark::State& state) {
    for (auto _ : state) {
        SceneWorkWater();
        benchmark::DoNotOptimize(WaterGrid);
    }
}

void BM_PlantFrame(benchmark::State& state) {
    int drawn = 0;
    for (auto _ : state) {
        drawn = SceneWorkPlants(1);
    }
    state.counters["plants"] = drawn;
}

void BM_PlantFrameVertexProgram(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(SceneWorkPlants(0));
    }
}

void BM_NumericFrame(benchmark::State& state) {
    for (auto _ : state) {
        SceneWorkWater();
        benchmark::DoNotOptimize(SceneWorkPlants(1));
    }
}

BENCHMARK(BM_WaterFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlantFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlantFrameVertexProgram)->Unit(benchmark::kMillisecond);
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

}  // namespace

int main(int argc, char** argv) {
    const char* path = TerrainPath(&argc, argv);
    const int drawn = SceneWorkSetUp(path);
    if (drawn < 0) {
        return 1;
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
