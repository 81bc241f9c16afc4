// The scene's per-frame CPU work, replayed without GL (scene_work.h). The calls and their order
// are the passes' own, so the instruction counts match what a frame of the program computes.
#include "tools/bench/scene_work.h"

#include <cstdio>

#include "plants/bend.h"
#include "plants/field.h"
#include "plants/wind.h"
#include "platform/win32/driver.h"
#include "terrain/heightmap.h"
#include "water/normals.h"
#include "water/water.h"

static const int QuadsPerFrame = (WaterGridSize - 1) * (WaterGridSize - 1);

// Keeps the bent shapes observable so that the compiler cannot drop the work.
static volatile float ShapeSink;

int SceneWorkSetUp(const char* const terrainPath) {
    DriverInstall();  // a missing map's message box goes to the driver's log, not the screen
    LoadHeightMap(terrainPath, MapSize * MapSize, HeightMap);
    const int boxes = DriverBoxCount();
    if (boxes > 0) {
        fprintf(stderr, "bench: %s: %s\n", terrainPath, DriverBoxAt(0)->text);
    }
    DriverUninstall();
    if (boxes > 0) {
        return -1;
    }
    PlantFieldInit();
    PlantLeanInit();
    InitWaterGrid();
    SceneWorkWater();  // the first frame after start recomputes nothing
    int drawn = 0;
    for (int i = 0; i < PlantCount; i++) {
        drawn += Plants.baseHeight[i] > PlantMinHeight;
    }
    return drawn;
}

void SceneWorkWater(void) {
    if (UpdateWaves(Wind.strengthPercent)) {
        UpdateWaterNormals();
    }
    for (int q = 0; q < QuadsPerFrame; q++) {
        AdvanceWavePhase();
    }
}

int SceneWorkPlants(const int bend) {
    int drawn = 0;
    PlantShape shape;
    for (int i = 0; i < PlantCount; i++) {
        if (!(Plants.baseHeight[i] > PlantMinHeight)) {
            continue;
        }
        PlantShapeBuild(i, &shape);
        PlantWindNext();
        if (bend) {
            const WindVector w = Wind.windVector;
            const float g = Plants.growth[i];
            const float tip = TipStemLength(g);
            const float ring2 = Ring2StemLength(g);
            const float ring1 = Ring1StemLength(g);
            shape.tip = StemPointBend(shape.tip, w, i, tip);
            shape.ring2.back = StemPointBend(shape.ring2.back, w, i, ring2);
            shape.ring2.left = StemPointBend(shape.ring2.left, w, i, ring2);
            shape.ring2.right = StemPointBend(shape.ring2.right, w, i, ring2);
            shape.ring1.back = StemPointBend(shape.ring1.back, w, i, ring1);
            shape.ring1.left = StemPointBend(shape.ring1.left, w, i, ring1);
            shape.ring1.right = StemPointBend(shape.ring1.right, w, i, ring1);
        }
        ShapeSink = shape.tip.x + shape.ring1.left.z + shape.ring2.right.y;
        drawn++;
    }
    return drawn;
}
