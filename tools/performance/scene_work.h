// The scene's per-frame CPU work without any GL call, as the water and plant passes do it: wave
// heights, water normals and the 9801 phase steps; per drawn plant its shape, its wind and (CPU
// bending) seven bent stem points. Shared by the numeric micro-benchmarks and the callgrind run.
#pragma once

// Loads the height map from `terrainPath` and places the field and the grid as the scene set-up
// does, then runs one water step so that later steps recompute the waves as every frame but the
// first does. Returns the plants drawn, or -1 when the map cannot be read (message in stderr).
int SceneWorkSetUp(const char* terrainPath);
// The water's share of one frame.
void SceneWorkWater(void);
// The plants' share of one frame; bend = 1 adds the CPU bending. Returns the plants drawn.
int SceneWorkPlants(int bend);
