// The scene's per-frame CPU work without GL (scene_work.h): the passes' own preparation
// functions, so the instruction counts match what a frame of the program computes.
#include "tools/performance/scene_work.h"

#include <cstdio>

#include "plants/field.h"
#include "plants/prepare.h"
#include "plants/wind.h"
#include "platform/win32_standin/driver.h"
#include "terrain/heightmap.h"
#include "water/water.h"

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
        drawn += PlantIsDrawn(i);
    }
    return drawn;
}

void SceneWorkWater(void) {
    WaterPrepare(Wind.strengthPercent);
}

int SceneWorkPlants(const int bend) {
    int drawn = 0;
    PreparedPlant plant;
    for (int i = 0; i < PlantCount; i++) {
        if (!PlantPrepare(i, bend ? 0 : 1, &plant)) {
            continue;
        }
        ShapeSink = plant.shape.tip.x + plant.shape.ring1.left.z + plant.shape.ring2.right.y;
        drawn++;
    }
    return drawn;
}
